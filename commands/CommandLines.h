#pragma once
// The archiver's command lines, composed from the options, the selection and the archive.
// Every piece that holds a blank, a tab or a double quote is quoted by the convention the
// launcher splits by, so any name reaches the archiver as one argument; other pieces come out
// exactly as they are. Command words follow the archiver's own grammar.
#include "cli/Grammar.h"
#include "platform/Launcher.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

namespace commands {

using yk::Command;

struct ArchiverOptions {
    int method = 1; // item index of the method group: 0, 1 or 2
    yk::Switches switches;
    ArchiverOptions() { switches.set(yk::Switch::OverwriteAll); } // at start only CheckBox1's
};

// The command letter and its switch run; for add, the method digit follows ("asq1").
QByteArray switchRun(Command command, const ArchiverOptions &options);
// Hidden (no window) when the command carries the quiet switch, else Normal.
platform::ShowMode showMode(Command command, const ArchiverOptions &options);

// The archiver as command lines name it; the launcher also finds it without ".exe".
inline constexpr char ProgramName[] = "yk.exe";
// The add button refuses command lines of this many characters or more.
inline constexpr int AddLineLimit = 256;
// What the add button puts in place of the names while "all files" is ticked.
inline constexpr char AllFiles[] = "*.*";

// A name whose extension (from its last '.', the dot included) is longer than 3 characters.
bool wantsShortForm(const QByteArray &name);
// The archive test: the path ends in ".yk" in any ASCII case, as the archiver names archives.
bool isArchivePath(const QByteArray &path);
// Characters of a command line: a UTF-8 sequence counts once, any other byte once.
int lineLength(const QByteArray &line);

// "yk.exe a<switches><digit> ARCHIVE NAME NAME ... " (each name followed by a blank), or with
// allFiles "yk.exe a<switches><digit> ARCHIVE *.*". With names holding '*' or '?' (and not
// allFiles) the literal names switch ('n') is added too.
QByteArray addCommandLine(const ArchiverOptions &options, const QByteArray &archiveName,
                          const QList<QByteArray> &names, bool allFiles);
// "yk.exe <letter><switches> ARCHIVE" for extract, list and test.
QByteArray archiveCommandLine(Command command, const ArchiverOptions &options,
                              const QByteArray &archive);

struct Launch {
    QByteArray commandLine;
    platform::ShowMode showMode = platform::ShowNormal;
};

enum class AddPath {
    Button, // toolbar button, menu item: short forms, "all files", the length limit
    Enter,  // Enter in the archive-name field: names as listed, nothing checked
};

struct AddRequest {
    ArchiverOptions options;
    QByteArray archiveName;
    QByteArray directory;            // the file list's directory; the names live there
    QList<QByteArray> selectedNames; // in list order
    bool allFiles = false;           // the "all files" box
};

// The add command of either path; empty when the button path refuses a line that is too long.
// The limit counts the line without the quotes and the literal names switch that we add.
std::optional<Launch> planAdd(AddPath path, const AddRequest &request);

// Extract, list or test of the current file; empty when it is not an archive (or empty).
std::optional<Launch> planArchiveCommand(Command command, const ArchiverOptions &options,
                                         const QByteArray &currentFile);

} // namespace commands
