#pragma once
// Every text the program shows, in one place. Three kinds live elsewhere, each for a reason:
// - the windows' captions, labels, menus and hints stay in their layouts (resources/Unit*.ui),
//   where Designer shows and edits them in place;
// - the console window's last line, "Нажмите Enter, чтобы закрыть окно.", is part of the shell
//   text run in the terminal (platform/posix/Console.cpp): platform/ may not use app/, and it
//   is the only text the platform shows; our own console window's caption ("yk") and its
//   program's usage lines are in commands/ (ConsoleWindow, ConsoleMain), which app/ uses and
//   not the other way round;
// - the archiver's own texts are in yk/commands/Messages.
#include <QByteArray>
#include <QDateTime>
#include <QString>

namespace platform {
struct LaunchError;
}

namespace texts {

// The caption of every message box.
QString applicationTitle();
// The error report's text: the message, with a full stop added when its last character sorts
// after '.'.
QString errorReportText(const QString &message);
// What the error report says of an error that gives no message of its own.
QString unknownErrorText();

// The settings file could not be read, or written.
QString cannotOpenText(const QByteArray &path);
QString cannotCreateText(const QByteArray &path);

QString addTooLongText();
QString notAnArchiveText();
// "NAME - файл не существует!", the name shown as the file list shows it.
QString deleteFailedText(const QByteArray &name);
// What the program says when the archiver could not be started, and why.
QString launchFailedText(const platform::LaunchError &error);

// The status bar. Panel 0: " Файл: " and the name.
QString fileNameText(const QString &name);
// Panel 1: " Размер: ", the size in the unit (0 bytes, 1 kilobytes, 2 megabytes; fractions
// dropped at each division), a blank, the unit prefix and "байт". Sizes are 64-bit.
QString sizeText(qint64 size, int unitIndex);
// Panel 2: the last-write time in local time, "dd.mm.yyyy  hh:mm:ss". Times the DOS date can hold
// (1980 to 2107) are shown at its two-second resolution, so seconds are even; others as they are.
QString fileTimeText(qint64 mtimeSecondsSinceEpoch);
// Panel 3: the clock, "hh:mm:ss   dd.mm.yyyy".
QString clockText(const QDateTime &now);

} // namespace texts
