// The archiver commands of the main window with a recording launcher: exact command lines and
// show modes for add (button, menu, Alt+A, Enter), extract, list and test, the refreshes and
// Timer1, the delete pass and Timer2, and the working directory after every kind of move.
#include "TestSupport.h"
#include "app/DirectoryListBox.h"
#include "app/DriveComboBox.h"
#include "app/Unit1.h"
#include "commands/Launcher.h"
#include "commands/Unit2.h"
#include "platform/WorkingDir.h"
#include "ui_Unit1.h"

#include <QCheckBox>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct Launched {
    QByteArray line;
    int showMode;
    QByteArray workingDir;
    QByteArray processDir; // the process's own working directory at the launch
};

class RecordingLauncher : public commands::Launcher {
public:
    platform::LaunchError launch(const QByteArray &line, platform::ShowMode showMode,
                                 const QByteArray &workingDir) override {
        launched.append({line, showMode, workingDir, platform::workingDirectory()});
        return failure;
    }
    QList<Launched> launched;
    platform::LaunchError failure; // what every launch answers
};

bool exists(const QByteArray &path) {
    struct stat st;
    return ::lstat(path.constData(), &st) == 0;
}

} // namespace

class TestCommandBar : public QObject {
    Q_OBJECT
    QTemporaryDir m_tmp;
    QByteArray m_dir;
    RecordingMessenger m_messenger;
    RecordingLauncher m_launcher;
    std::unique_ptr<TForm1> m_form;
    TForm2 *m_options = nullptr;

    Ui::TForm1 *ui() const { return m_form->form(); }
    FileListBox *list() const { return ui()->FileLB1; }
    QByteArray path(const QByteArray &name) const { return m_dir + "/" + name; }

    void clickRow(int row, Qt::KeyboardModifiers mods = {}) {
        const QRect r = list()->visualRect(list()->model()->index(row, 0));
        QTest::mouseClick(list()->viewport(), Qt::LeftButton, mods, r.center());
    }
    int rowOf(const QByteArray &name) const {
        for (int i = 0; i < list()->count(); ++i)
            if (list()->rowName(i) == name)
                return i;
        return -1;
    }
    void select(const QList<QByteArray> &names) {
        for (const QByteArray &n : names) {
            QVERIFY2(rowOf(n) >= 0, n.constData());
            clickRow(rowOf(n), Qt::ControlModifier);
        }
    }
    // A message box that stays up while `during` runs.
    class BoxMessenger : public RecordingMessenger {
    public:
        std::function<void()> during;
        void message(QWidget *w, const QString &text) override {
            RecordingMessenger::message(w, text);
            if (during)
                during();
        }
    };
    void restartWith(Messenger &messenger) {
        m_form.reset();
        QVERIFY(platform::setWorkingDirectory(m_dir));
        m_form = std::make_unique<TForm1>(messenger);
        m_form->setLauncher(&m_launcher);
        m_form->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
    }
    Launched last() const { return m_launcher.launched.value(m_launcher.launched.size() - 1); }

    void startIn(const QByteArray &dir) {
        QVERIFY(platform::setWorkingDirectory(dir));
        m_messenger = RecordingMessenger();
        m_launcher.launched.clear();
        m_launcher.failure = {};
        m_form = std::make_unique<TForm1>(m_messenger);
        m_options = new TForm2(m_form.get());
        m_form->setDialogs(m_options, nullptr, nullptr);
        m_form->setLauncher(&m_launcher);
        m_form->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
    }

private slots:
    void init() {
        static int n = 0;
        m_dir = QFile::encodeName(m_tmp.path()) + "/w" + QByteArray::number(++n);
        QVERIFY(makeCaseDir(m_dir));
        for (const char *name :
             {"a.c", "a.txt", "a.yk", "backup.YK", "notes", "readme", "quarterly report.html"})
            QVERIFY(makeFile(path(name), 10));
        startIn(m_dir);
    }
    void cleanup() { m_form.reset(); }

    void addByButtonAtStartUp() {
        select({"notes", "quarterly report.html"});
        ui()->Edit1->setText("backup");
        QTest::mouseClick(ui()->ToolButton1, Qt::LeftButton);
        QCOMPARE(m_launcher.launched.size(), 1);
        QCOMPARE(last().line, QByteArray("yk.exe a1 backup notes \"quarterly report.html\" "));
        QCOMPARE(last().showMode, 1);
        QCOMPARE(last().workingDir, m_dir);
        QCOMPARE(last().processDir, m_dir);
        // Refreshed at once (no selection left), and once more by Timer1.
        QVERIFY(list()->selectedRows().isEmpty());
        QVERIFY(m_form->timer1()->isActive());
        QVERIFY(m_messenger.messages.isEmpty());
        // An immediate second press launches a line with no names.
        QTest::mouseClick(ui()->ToolButton1, Qt::LeftButton);
        QCOMPARE(last().line, QByteArray("yk.exe a1 backup "));
    }

    void addSameByMenuAndAltA() {
        select({"a.txt", "a.yk", "a.c", "readme"});
        ui()->Edit1->setText("a");
        ui()->N10->trigger();
        QCOMPARE(last().line, QByteArray("yk.exe a1 a a.c a.txt a.yk readme "));
        select({"readme"});
        ui()->Edit1->setText("a");
        ui()->Edit1->setFocus();
        QTest::keyClick(ui()->Edit1, Qt::Key_A, Qt::AltModifier);
        QCOMPARE(m_launcher.launched.size(), 2);
        QCOMPARE(last().line, QByteArray("yk.exe a1 a readme "));
        QCOMPARE(ui()->Edit1->text(), QStringLiteral("a")); // the key typed nothing
    }

    void addAllFilesByButtonOnly() {
        ui()->cbAll->setChecked(true);
        ui()->Edit1->setText("all");
        QTest::mouseClick(ui()->ToolButton1, Qt::LeftButton);
        QCOMPARE(last().line, QByteArray("yk.exe a1 all *.*"));
        ui()->cbAll->setChecked(false); // ticked again: every file selected again
        ui()->cbAll->setChecked(true);
        ui()->Edit1->setFocus();
        QTest::keyClick(ui()->Edit1, Qt::Key_Return);
        QCOMPARE(last().line, QByteArray("yk.exe a1 all a.c a.txt a.yk backup.YK notes "
                                         "\"quarterly report.html\" readme "));
    }

    // Enter in the field launches the add and still reaches the field.
    void addByEnter() {
        select({"quarterly report.html", "notes"});
        ui()->Edit1->setText("backup");
        ui()->Edit1->setFocus();
        QSignalSpy returned(ui()->Edit1, &QLineEdit::returnPressed);
        QTest::keyClick(ui()->Edit1, Qt::Key_Return);
        QCOMPARE(returned.count(), 1);
        QCOMPARE(last().line, QByteArray("yk.exe a1 backup notes \"quarterly report.html\" "));
        QVERIFY(m_form->timer1()->isActive());
        QVERIFY(list()->selectedRows().isEmpty());
        // Other characters are left to the field.
        QTest::keyClicks(ui()->Edit1, "x");
        QCOMPARE(m_launcher.launched.size(), 1);
        QCOMPARE(ui()->Edit1->text(), QStringLiteral("backupx"));
    }

    // A held Enter or Alt+A is one press: its key repeats start nothing, each real press one.
    void heldKeyStartsOneArchiver_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("stamped"); // unmarked repeats, as an X server's reach us
        QTest::newRow("Enter in the archive name")
            << int(Qt::Key_Return) << int(Qt::NoModifier) << QStringLiteral("\r") << false;
        QTest::newRow("Enter, repeats known by their time stamps")
            << int(Qt::Key_Return) << int(Qt::NoModifier) << QStringLiteral("\r") << true;
        QTest::newRow("Alt+A") << int(Qt::Key_A) << int(Qt::AltModifier) << QString() << false;
        QTest::newRow("Alt+T") << int(Qt::Key_T) << int(Qt::AltModifier) << QString() << false;
    }
    void heldKeyStartsOneArchiver() {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QString, text);
        QFETCH(bool, stamped);
        const auto mods = Qt::KeyboardModifiers(modifiers);
        clickRow(rowOf("a.yk"));
        ui()->Edit1->setText("held");
        ui()->Edit1->setFocus();
        // Each repeat is a release and a press with one time stamp, neither marked a repeat.
        quint64 now = 100000;
        auto send = [&](bool press, bool repeat) {
            if (!stamped) {
                QTest::simulateEvent(ui()->Edit1, press, key, mods, text, repeat);
                return;
            }
            QKeyEvent event(press ? QEvent::KeyPress : QEvent::KeyRelease, key, mods, text);
            event.setTimestamp(now);
            QApplication::sendEvent(ui()->Edit1, &event);
        };
        auto hold = [&](int repeats) {
            send(true, false);
            now += 660;
            for (int i = 0; i < repeats; ++i, now += 40) {
                send(false, true);
                send(true, true);
            }
            send(false, false);
            now += 1000;
        };
        hold(30);
        QCOMPARE(m_launcher.launched.size(), 1);
        clickRow(rowOf("a.yk"));
        hold(0);
        QCOMPARE(m_launcher.launched.size(), 2);
    }

    // When the archiver cannot be started the user is told why, and nothing else happens: no
    // re-read (the selection stays for a retry), no Timer1.
    void launchFailureIsSaid_data() {
        QTest::addColumn<int>("reason");
        QTest::addColumn<QByteArray>("path");
        QTest::addColumn<QString>("text");
        QTest::newRow("not found")
            << int(platform::LaunchError::NotFound) << QByteArray("yk.exe")
            << QString::fromUtf8("Не удалось запустить архиватор: программа yk.exe не найдена ни "
                                 "в каталоге WinYk, ни в каталогах PATH.");
        QTest::newRow("not executable")
            << int(platform::LaunchError::NotExecutable) << QByteArray("/opt/yk")
            << QString::fromUtf8("Не удалось запустить архиватор: файл /opt/yk нельзя запустить: "
                                 "нет права на выполнение или это не программа.");
        QTest::newRow("too long") << int(platform::LaunchError::TooLong) << QByteArray()
                                  << QString::fromUtf8(
                                         "Не удалось запустить архиватор: командная строка "
                                         "длиннее, чем позволяет система. Отметьте меньше файлов.");
    }
    void launchFailureIsSaid() {
        QFETCH(int, reason);
        QFETCH(QByteArray, path);
        QFETCH(QString, text);
        m_launcher.failure.reason = platform::LaunchError::Reason(reason);
        m_launcher.failure.path = path;
        select({"notes", "a.yk"});
        QTest::mouseClick(ui()->ToolButton1, Qt::LeftButton);
        ui()->Edit1->setFocus();
        QTest::keyClick(ui()->Edit1, Qt::Key_Return);
        QTest::mouseClick(ui()->ToolButton2, Qt::LeftButton);
        QCOMPARE(m_launcher.launched.size(), 3);
        QCOMPARE(m_messenger.messages, QStringList(3, text));
        QCOMPARE(list()->selectedRows().size(), 2);
        QVERIFY(!m_form->timer1()->isActive());
    }

    void tooLongByButtonRefused() {
        QList<QByteArray> names;
        for (int i = 0; i < 30; ++i) {
            names << "long name number " + QByteArray::number(100 + i);
            QVERIFY(makeFile(path(names.last())));
        }
        list()->refresh();
        select(names);
        ui()->Edit1->setText("b");
        QTest::mouseClick(ui()->ToolButton1, Qt::LeftButton);
        QVERIFY(m_launcher.launched.isEmpty());
        QCOMPARE(m_messenger.messages,
                 QStringList{QString::fromUtf8(
                     "Сумма длин имен отмеченных файлов больше 255 символов :-(")});
        QVERIFY(!m_form->timer1()->isActive());
        QCOMPARE(list()->selectedRows().size(), 30); // not refreshed
        // The Enter path checks nothing and cuts nothing.
        ui()->Edit1->setFocus();
        QTest::keyClick(ui()->Edit1, Qt::Key_Return);
        QCOMPARE(m_launcher.launched.size(), 1);
        QVERIFY(last().line.size() > 600);
        QVERIFY(last().line.endsWith("\"long name number 129\" "));
    }

    void quietAndOptionsAreReadAtCommandTime() {
        m_options->checkBox(8)->setChecked(true);
        m_options->setItemIndex(0);
        select({"notes"});
        ui()->Edit1->setText("q");
        QTest::mouseClick(ui()->ToolButton1, Qt::LeftButton);
        QCOMPARE(last().line, QByteArray("yk.exe aq0 q notes "));
        QCOMPARE(last().showMode, 0);
        clickRow(rowOf("backup.YK"));
        QTest::mouseClick(ui()->ToolButton3, Qt::LeftButton); // list ignores quiet
        QCOMPARE(last().line, "yk.exe l " + path("backup.YK"));
        QCOMPARE(last().showMode, 1);
        QTest::mouseClick(ui()->ToolButton4, Qt::LeftButton);
        QCOMPARE(last().line, "yk.exe tq " + path("backup.YK"));
        QCOMPARE(last().showMode, 0);
    }

    void archiveCommands_data() {
        QTest::addColumn<int>("button");
        QTest::addColumn<QList<int>>("ticked");
        QTest::addColumn<QByteArray>("run");
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("refreshes");
        QTest::newRow("extract at start-up") << 2 << QList<int>{} << QByteArray("xy") << 1 << true;
        QTest::newRow("extract, every switch")
            << 2 << QList<int>{7, 8, 6, 2} << QByteArray("eqaty") << 0 << true;
        QTest::newRow("list") << 3 << QList<int>{} << QByteArray("l") << 1 << false;
        QTest::newRow("list, full") << 3 << QList<int>{4} << QByteArray("lf") << 1 << false;
        QTest::newRow("test") << 4 << QList<int>{} << QByteArray("t") << 1 << false;
        QTest::newRow("test, quiet") << 4 << QList<int>{8} << QByteArray("tq") << 0 << false;
    }
    void archiveCommands() {
        QFETCH(int, button);
        QFETCH(QList<int>, ticked);
        QFETCH(QByteArray, run);
        QFETCH(int, mode);
        QFETCH(bool, refreshes);
        for (int n : ticked)
            m_options->checkBox(n)->setChecked(true);
        QToolButton *buttons[] = {nullptr, nullptr, ui()->ToolButton2, ui()->ToolButton3,
                                  ui()->ToolButton4};
        QAction *items[] = {nullptr, nullptr, ui()->N11, ui()->N12, ui()->N13};
        // Several rows selected: only the focused one counts; Edit1 plays no part.
        clickRow(rowOf("a.txt"));
        clickRow(rowOf("a.yk"), Qt::ControlModifier);
        ui()->Edit1->setText("ignored");
        QTest::mouseClick(buttons[button], Qt::LeftButton);
        QCOMPARE(m_launcher.launched.size(), 1);
        QCOMPARE(last().line, "yk.exe " + run + ' ' + path("a.yk"));
        QCOMPARE(last().showMode, mode);
        QCOMPARE(last().workingDir, m_dir);
        QCOMPARE(list()->selectedRows().isEmpty(), refreshes);
        QCOMPARE(m_form->timer1()->isActive(), refreshes);
        // The menu item runs the same handler.
        clickRow(rowOf("backup.YK"));
        items[button]->trigger();
        QCOMPARE(last().line, "yk.exe " + run + ' ' + path("backup.YK"));
    }

    // Each option ticked alone in the dialog, and the four commands through the window.
    void everyOptionThroughTheWindow_data() {
        QTest::addColumn<int>("box");
        QTest::addColumn<int>("method");
        QTest::addColumn<QByteArray>("add");
        QTest::addColumn<QByteArray>("extract");
        QTest::addColumn<QByteArray>("list");
        QTest::addColumn<QByteArray>("test");
        QTest::addColumn<int>("mode");
        const struct {
            int box, method;
            const char *add, *extract, *list, *test;
            int mode;
        } rows[] = {
            {0, 0, "a0", "x", "l", "t", 1},  {0, 2, "a2", "x", "l", "t", 1},
            {1, 1, "a1", "xy", "l", "t", 1}, {2, 1, "a1", "xt", "l", "t", 1},
            {3, 1, "ar1", "x", "l", "t", 1}, {4, 1, "a1", "x", "lf", "t", 1},
            {5, 1, "am1", "x", "l", "t", 1}, {6, 1, "a1", "xa", "l", "t", 1},
            {7, 1, "ae1", "e", "l", "t", 1}, {8, 1, "aq1", "xq", "l", "tq", 0},
            {9, 1, "as1", "x", "l", "t", 1}, {10, 1, "ad1", "x", "l", "t", 1},
        };
        for (const auto &r : rows)
            QTest::newRow(qPrintable(r.box ? QStringLiteral("CheckBox%1").arg(r.box)
                                           : QStringLiteral("method %1").arg(r.method)))
                << r.box << r.method << QByteArray(r.add) << QByteArray(r.extract)
                << QByteArray(r.list) << QByteArray(r.test) << r.mode;
    }
    void everyOptionThroughTheWindow() {
        QFETCH(int, box);
        QFETCH(int, method);
        QFETCH(QByteArray, add);
        QFETCH(QByteArray, extract);
        QFETCH(QByteArray, list);
        QFETCH(QByteArray, test);
        QFETCH(int, mode);
        m_options->checkBox(1)->setChecked(false);
        if (box)
            m_options->checkBox(box)->setChecked(true);
        m_options->setItemIndex(method);
        select({"notes"});
        ui()->Edit1->setText("b");
        QTest::mouseClick(ui()->ToolButton1, Qt::LeftButton);
        QCOMPARE(last().line, "yk.exe " + add + " b notes ");
        QCOMPARE(last().showMode, mode);
        const QByteArray arc = path("backup.YK");
        const std::pair<QToolButton *, QByteArray> archiveCommands[] = {
            {ui()->ToolButton2, extract}, {ui()->ToolButton3, list}, {ui()->ToolButton4, test}};
        for (const auto &[button, run] : archiveCommands) {
            clickRow(rowOf("backup.YK"));
            QTest::mouseClick(button, Qt::LeftButton);
            QCOMPARE(last().line, "yk.exe " + run + ' ' + arc);
            QCOMPARE(last().showMode, button == ui()->ToolButton3 ? 1 : mode);
        }
        QCOMPARE(m_launcher.launched.size(), 4);
    }

    // The shown directory vanished: the archiver is not sent to the directory before it.
    void launchInTheShownDirectoryEvenWhenItVanished() {
        QVERIFY(makeDir(path("sub")));
        ui()->DirectoryListBox1->setDirectory(path("sub"));
        QVERIFY(::rmdir(path("sub").constData()) == 0);
        ui()->DirectoryListBox1->setDirectory(m_dir + "/sub/../sub");
        list()->refresh();
        QCOMPARE(list()->directory(), path("sub"));
        ui()->Edit1->setFocus();
        QTest::keyClick(ui()->Edit1, Qt::Key_Return);
        QCOMPARE(last().workingDir, path("sub"));
    }

    // An archive removed after it was clicked goes by its full path; the archiver reports it.
    void vanishedArchiveGoesByFullPath() {
        clickRow(rowOf("a.yk"));
        QVERIFY(::unlink(path("a.yk").constData()) == 0);
        QTest::mouseClick(ui()->ToolButton4, Qt::LeftButton);
        QCOMPARE(last().line, "yk.exe t " + path("a.yk"));
        QVERIFY(m_messenger.messages.isEmpty());
    }

    void notAnArchive_data() {
        QTest::addColumn<QByteArray>("focused");
        QTest::addColumn<bool>("deselect");
        QTest::newRow("no extension") << QByteArray("readme") << false;
        QTest::newRow("other extension") << QByteArray("a.txt") << false;
        QTest::newRow("focused row deselected") << QByteArray("a.yk") << true;
        QTest::newRow("nothing clicked") << QByteArray() << false;
    }
    void notAnArchive() {
        QFETCH(QByteArray, focused);
        QFETCH(bool, deselect);
        if (!focused.isEmpty()) {
            clickRow(rowOf("backup.YK"));
            clickRow(rowOf(focused), Qt::ControlModifier);
            if (deselect)
                clickRow(rowOf(focused), Qt::ControlModifier);
        }
        for (QToolButton *b : {ui()->ToolButton2, ui()->ToolButton3, ui()->ToolButton4})
            QTest::mouseClick(b, Qt::LeftButton);
        QVERIFY(m_launcher.launched.isEmpty());
        QCOMPARE(m_messenger.messages, QStringList(3, QString::fromUtf8("Это не архив YK!")));
        QVERIFY(!m_form->timer1()->isActive());
    }

    // A second launch within two seconds shares the first one's delayed re-read; the tick
    // re-reads the list and switches the timer off.
    void timer1IsNotRestarted() {
        select({"notes"});
        QTest::mouseClick(ui()->ToolButton1, Qt::LeftButton);
        QTest::qWait(600);
        const int before = m_form->timer1()->remainingTime();
        QTest::mouseClick(ui()->ToolButton1, Qt::LeftButton);
        QVERIFY(m_form->timer1()->remainingTime() <= before);
        QVERIFY(makeFile(path("written later")));
        QTRY_VERIFY_WITH_TIMEOUT(!m_form->timer1()->isActive(), 10000);
        QVERIFY(rowOf("written later") >= 0);
    }

    void deleteSelectedFiles() {
        select({"a.c", "notes"});
        ui()->ToolButton5->click();
        QVERIFY(!exists(path("a.c")) && !exists(path("notes")));
        QVERIFY(exists(path("a.txt")));
        QCOMPARE(m_form->lastDeleteIndex(), 4);
        QVERIFY(m_messenger.messages.isEmpty());
        QVERIFY(m_form->timer2()->isActive());
        QCOMPARE(list()->count(), 7); // not rebuilt until the tick
        QTRY_VERIFY_WITH_TIMEOUT(!m_form->timer2()->isActive(), 10000);
        QCOMPARE(list()->count(), 5);
        QVERIFY(list()->selectedRows().isEmpty());
        QCOMPARE(list()->focusedRow(), 3);
    }

    void deleteNothingSelected() {
        ui()->N14->trigger();
        QCOMPARE(list()->count(), 7);
        QVERIFY(m_messenger.messages.isEmpty());
        QVERIFY(!m_form->timer2()->isActive());
    }

    void deleteKeyInArchiveNameDeletes() {
        select({"readme"});
        ui()->Edit1->setFocus();
        ui()->Edit1->setCursorPosition(0);
        QTest::keyClick(ui()->Edit1, Qt::Key_Delete);
        QVERIFY(!exists(path("readme")));
        QCOMPARE(ui()->Edit1->text(), QStringLiteral("readme")); // proposed by the click
    }

    void focusRuleAfterDelete() {
        for (int i = 0; i < 5; ++i)
            QVERIFY(makeFile(path("z" + QByteArray::number(i))));
        list()->refresh();
        clickRow(3, Qt::ControlModifier);
        clickRow(7, Qt::ControlModifier);
        m_form->ToolButton5Click();
        m_form->Timer2Timer();
        QCOMPARE(list()->focusedRow(), 6);
    }

    // Rows 3 and 7 selected, row 3 deleted and row 7's file already gone: the focus goes to
    // row 6 even when Timer2 fires while the failure for row 7 is on the screen.
    void focusWhileFailureIsShown() {
        for (int i = 0; i < 5; ++i)
            QVERIFY(makeFile(path("z" + QByteArray::number(i))));
        BoxMessenger messenger;
        restartWith(messenger);
        clickRow(3, Qt::ControlModifier);
        clickRow(7, Qt::ControlModifier);
        QVERIFY(::unlink(path(list()->rowName(7)).constData()) == 0);
        // The box stays up until Timer2 has fired, as a user reading it would.
        messenger.during = [&] { QTRY_VERIFY_WITH_TIMEOUT(!m_form->timer2()->isActive(), 10000); };
        m_form->ToolButton5Click();
        QCOMPARE(messenger.messages.size(), 1);
        QCOMPARE(list()->focusedRow(), 6);
        m_form.reset();
    }

    // The last selected row fails, an earlier one succeeds: one message, one rebuild, and
    // LastDeleteIndex is the failed row's position.
    void deleteFailureIsReportedAndPassGoesOn() {
        select({"a.c", "readme"});
        QVERIFY(::unlink(path("readme").constData()) == 0);
        ui()->ToolButton5->click();
        QCOMPARE(m_messenger.messages,
                 QStringList{QString::fromUtf8("readme - файл не существует!")});
        QCOMPARE(m_form->lastDeleteIndex(), 6);
        QVERIFY(!exists(path("a.c")));
        QVERIFY(m_form->timer2()->isActive());
    }

    // A refresh that falls due while a failure is on the screen rebuilds the list mid-pass:
    // the pass still deletes and names exactly the files that were selected.
    void refreshMidPassChangesNothing() {
        BoxMessenger messenger;
        restartWith(messenger);
        // Rows: a.c a.txt a.yk backup.YK notes "quarterly report.html" readme
        select({"a.c", "a.txt", "notes", "readme"});
        QVERIFY(::unlink(path("a.txt").constData()) == 0);
        messenger.during = [&] {
            m_form->Timer2Timer(); // the tick after the first success, while the box is up
            messenger.during = nullptr;
        };
        ui()->ToolButton5->click();
        QCOMPARE(messenger.messages, QStringList{QString::fromUtf8("a.txt - файл не существует!")});
        QVERIFY(!exists(path("a.c")) && !exists(path("notes")) && !exists(path("readme")));
        QVERIFY(exists(path("a.yk")) && exists(path("backup.YK")) &&
                exists(path("quarterly report.html")));
        QCOMPARE(m_form->lastDeleteIndex(), 6);
        m_form.reset();
    }

    // The archiver always starts in the directory the file list shows, after every kind of
    // move, and the process's working directory is there too.
    void workingDirectoryAfterEveryMove() {
        QVERIFY(makeDir(path("sub")));
        QVERIFY(makeDir(path("sub/deeper dir")));
        QVERIFY(makeDir(path("gone")));
        QVERIFY(makeDir(path("vol")));
        for (const char *d : {"sub", "sub/deeper dir", "vol", "gone"})
            QVERIFY(makeFile(path(d) + "/x.yk"));
        DirectoryListBox *dirs = ui()->DirectoryListBox1;
        auto check = [&](const char *move) {
            const QByteArray shown = list()->directory();
            QCOMPARE(dirs->directory(), shown);
            const int row = rowOf("x.yk") >= 0 ? rowOf("x.yk") : rowOf("a.yk");
            clickRow(row);
            m_launcher.launched.clear();
            QTest::mouseClick(ui()->ToolButton4, Qt::LeftButton);
            QVERIFY2(m_launcher.launched.size() == 1, move);
            QVERIFY2(last().workingDir == shown, move);
            QVERIFY2(last().processDir == shown, move);
            QVERIFY2(m_form->workingDirectory().path() == shown, move);
            QVERIFY2(last().line.endsWith(shown + "/" + list()->rowName(row)) ||
                         last().line.endsWith(shown + "/" + list()->rowName(row) + "\""),
                     move);
        };
        check("start-up");
        dirs->setDirectory(path("sub"));
        check("set directory");
        const int sub = [&] {
            for (int i = 0; i < dirs->count(); ++i)
                if (dirs->rowPath(i) == path("sub/deeper dir"))
                    return i;
            return -1;
        }();
        QVERIFY(sub >= 0);
        const QRect r = dirs->visualRect(dirs->model()->index(sub, 0));
        QTest::mouseDClick(dirs->viewport(), Qt::LeftButton, {}, r.center());
        QCOMPARE(dirs->directory(), path("sub/deeper dir"));
        check("double click on a subdirectory");
        dirs->setCurrentIndex(dirs->model()->index(dirs->count() - 1, 0));
        for (int i = 0; i < dirs->count(); ++i)
            if (dirs->rowPath(i) == path("sub"))
                dirs->setCurrentIndex(dirs->model()->index(i, 0));
        dirs->setFocus();
        QTest::keyClick(dirs, Qt::Key_Return);
        QCOMPARE(dirs->directory(), path("sub"));
        check("Enter on a path row");
        dirs->setDirectory(path("gone/../sub/deeper dir/x.yk"));
        check("a file's path");
        dirs->setDirectory(path("missing"));
        check("a directory that does not exist");
        dirs->setDirectory(path("gone"));
        QVERIFY(::unlink(path("gone/x.yk").constData()) == 0);
        QVERIFY(::rmdir(path("gone").constData()) == 0);
        dirs->setDirectory(m_dir);
        check("back from a directory that vanished");
        std::vector<platform::Volume> volumes(2);
        volumes[0].root = "/";
        volumes[1].root = path("vol");
        ui()->DriveComboBox1->setVolumes(volumes);
        ui()->DriveComboBox1->setCurrentIndex(1);
        emit ui()->DriveComboBox1->activated(1);
        QCOMPARE(list()->directory(), path("vol"));
        check("another volume");
        ui()->DriveComboBox1->setCurrentIndex(0);
        emit ui()->DriveComboBox1->activated(0);
        QCOMPARE(list()->directory(), m_dir);
        check("back to the first volume's own directory");
        select({"a.yk"});
        QTest::mouseClick(ui()->ToolButton1, Qt::LeftButton); // the re-read after an add
        check("after an add");
    }
};

QTEST_MAIN(TestCommandBar)
#include "tst_commandbar.moc"
