// The main window: its layout, keys, handlers of the file panel, the error report.
#include "TestSupport.h"
#include "app/Application.h"
#include "app/Texts.h"
#include "app/Unit1.h"
#include "app/Unit5.h"
#include "platform/Shell.h"
#include "platform/WorkingDir.h"
#include "ui_Unit1.h"

#include <QTemporaryDir>
#include <QtTest>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace {
class Thrower : public QObject {
public:
    bool event(QEvent *e) override {
        if (e->type() == QEvent::User)
            throw std::runtime_error("Something broke");
        return QObject::event(e);
    }
};
} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT
    QTemporaryDir m_tmp;
    QByteArray m_dir;
    RecordingMessenger m_messenger;
    std::unique_ptr<TForm1> m_form;

    Ui::TForm1 *ui() const { return m_form->form(); }
    QByteArray path(const QByteArray &name) const { return m_dir + "/" + name; }

    static QWidget *nextTabStop(QWidget *w) {
        do
            w = w->nextInFocusChain();
        while (!(w->focusPolicy() & Qt::TabFocus) || !w->isEnabled());
        return w;
    }

    // Clicks a file row the way a user does.
    void clickRow(int row, Qt::KeyboardModifiers mods = {}) {
        FileListBox *list = ui()->FileLB1;
        const QRect r = list->visualRect(list->model()->index(row, 0));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, mods, r.center());
    }

private slots:
    void init() {
        static int n = 0;
        m_dir = QFile::encodeName(m_tmp.path()) + "/w" + QByteArray::number(++n);
        QVERIFY(makeCaseDir(m_dir));
        QVERIFY(makeFile(path("report.old.txt"), 1023));
        QVERIFY(makeFile(path("README"), 1048576));
        QVERIFY(makeFile(path("setup.exe"), 10));
        QVERIFY(makeDir(path("sub")));
        QVERIFY(platform::setWorkingDirectory(m_dir));
        m_messenger = RecordingMessenger();
        m_form = std::make_unique<TForm1>(m_messenger);
        m_form->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
    }
    void cleanup() { m_form.reset(); }

    void layout() {
        QCOMPARE(m_form->windowTitle(), QStringLiteral("Win INterface for YK archiver v0.7"));
        QCOMPARE(m_form->centralWidget()->size(), QSize(593, 373));
        QVERIFY(!(m_form->windowFlags() & Qt::WindowMaximizeButtonHint));
        QCOMPARE(m_form->minimumSize(), m_form->maximumSize());
        QCOMPARE(qRound(m_form->windowOpacity() * 255), 200);
        QVERIFY(!m_form->windowIcon().isNull());
        QCOMPARE(ui()->FileLB1->geometry(), QRect(296, 110, 289, 190));
        QCOMPARE(ui()->DirectoryListBox1->geometry(), QRect(8, 88, 281, 212));
        QCOMPARE(ui()->DriveComboBox1->geometry(), QRect(296, 88, 289, 19));
        QCOMPARE(ui()->Edit1->text(), QStringLiteral("archive"));
        QCOMPARE(ui()->Edit1->maxLength(), 11);
        QCOMPARE(ui()->Label4->text(), QString());
        QVERIFY(ui()->StatusBar1->isVisible());
        QVERIFY(!ui()->StatusBar1->isEnabled());
        QCOMPARE(ui()->StatusBar1->toolTip(), QStringLiteral("AAAAA"));
        QCOMPARE(ui()->ToolButton1->text(), QString::fromUtf8("Добавить"));
        QCOMPARE(ui()->ToolButton5->toolTip(), QString::fromUtf8("Удалить выбранный архив."));
        QVERIFY(!ui()->ToolButton3->icon().isNull());
        QCOMPARE(ui()->N14->shortcut(), QKeySequence(Qt::Key_Delete));
        QCOMPARE(ui()->N3->shortcut(), QKeySequence(Qt::Key_Escape));
        QCOMPARE(ui()->N10->shortcut(), QKeySequence(Qt::ALT | Qt::Key_A));
        QCOMPARE(m_form->timer1()->interval(), 2000);
        QVERIFY(!m_form->timer1()->isActive());
        QCOMPARE(m_form->timer2()->interval(), 300);
        QVERIFY(!m_form->timer2()->isActive());
        QVERIFY(m_form->timer3()->isActive());
        // Tab order: file list, directory list, archive name, drive box, check box.
        QCOMPARE(nextTabStop(ui()->FileLB1), ui()->DirectoryListBox1);
        QCOMPARE(nextTabStop(ui()->DirectoryListBox1), ui()->Edit1);
        QCOMPARE(nextTabStop(ui()->Edit1), ui()->DriveComboBox1);
        QCOMPARE(nextTabStop(ui()->DriveComboBox1), ui()->cbAll);
    }

    void emptyWindowForm5() {
        TForm5 form5;
        QCOMPARE(form5.windowTitle(), QStringLiteral("Form5"));
        QCOMPARE(form5.size(), QSize(544, 375));
        QVERIFY(!form5.isVisible());
    }

    void clickShowsFileDetails() {
        clickRow(1); // rows: README, report.old.txt, setup.exe
        QCOMPARE(ui()->Label4->text(), QString::fromUtf8(path("report.old.txt")));
        QCOMPARE(ui()->Edit1->text(), QStringLiteral("report.o"));
        QCOMPARE(ui()->StatusBar1->panelText(0), QString::fromUtf8(" Файл: report.old.txt"));
        QCOMPARE(ui()->StatusBar1->panelText(1), QString::fromUtf8(" Размер: 1023 байт"));
        struct stat st;
        QCOMPARE(::stat(path("report.old.txt").constData(), &st), 0);
        QCOMPARE(ui()->StatusBar1->panelText(2), texts::fileTimeText(st.st_mtime));
        QVERIFY(ui()->StatusBar1->panelText(2).endsWith(QLatin1Char('0')) ||
                QString("2468").contains(ui()->StatusBar1->panelText(2).back()));

        clickRow(0);
        QCOMPARE(ui()->Edit1->text(), QStringLiteral("README"));
        QCOMPARE(ui()->StatusBar1->panelText(1), QString::fromUtf8(" Размер: 1048576 байт"));
    }

    void clickBelowTheRowsClearsTheCurrentFile() {
        clickRow(1);
        QVERIFY(!ui()->Label4->text().isEmpty());
        QTest::mouseClick(ui()->FileLB1->viewport(), Qt::LeftButton, {}, QPoint(20, 180));
        QVERIFY(ui()->FileLB1->selectedRows().isEmpty());
        QCOMPARE(ui()->Label4->text(), QString());
        QCOMPARE(ui()->Edit1->text(), QString());
    }

    void vanishedFileKeepsPanels() {
        clickRow(1);
        const QString panel0 = ui()->StatusBar1->panelText(0);
        QCOMPARE(::unlink(path("setup.exe").constData()), 0);
        clickRow(2);
        QCOMPARE(ui()->Label4->text(), QString::fromUtf8(path("setup.exe")));
        QCOMPARE(ui()->Edit1->text(), QStringLiteral("setup"));
        QCOMPARE(ui()->StatusBar1->panelText(0), panel0);
    }

    void specialFilesDoNotBlock() {
        QCOMPARE(::mkfifo(path("zpipe").constData(), 0644), 0);
        ui()->FileLB1->refresh();
        clickRow(3);
        QCOMPARE(ui()->StatusBar1->panelText(0), QString::fromUtf8(" Файл: zpipe"));
        QCOMPARE(ui()->StatusBar1->panelText(1), QString::fromUtf8(" Размер: 0 байт"));
    }

    void clickWhileAllTickedClearsEverything() {
        clickRow(0);
        const QString panel0 = ui()->StatusBar1->panelText(0);
        ui()->cbAll->setChecked(true);
        QCOMPARE(ui()->FileLB1->selectedRows(), (QList<int>{0, 1, 2}));
        clickRow(1);
        QVERIFY(!ui()->cbAll->isChecked());
        QVERIFY(ui()->FileLB1->selectedRows().isEmpty());
        QCOMPARE(ui()->Label4->text(), QString());
        QCOMPARE(ui()->Edit1->text(), QString());
        QCOMPARE(ui()->StatusBar1->panelText(0), panel0);
    }

    void checkAllFollowsTheTick() {
        ui()->cbAll->setChecked(true);
        QCOMPARE(ui()->FileLB1->selectedRows().size(), 3);
        ui()->FileLB1->selectionModel()->clearSelection();
        ui()->cbAll->setChecked(true); // the same state runs nothing
        QVERIFY(ui()->FileLB1->selectedRows().isEmpty());
        ui()->FileLB1->setAllSelected(true);
        ui()->cbAll->setChecked(false);
        QVERIFY(ui()->FileLB1->selectedRows().isEmpty());
    }

    void directoryClickUnticksAll() {
        ui()->cbAll->setChecked(true);
        DirectoryListBox *dirs = ui()->DirectoryListBox1;
        const QRect r = dirs->visualRect(dirs->model()->index(0, 0));
        QTest::mouseClick(dirs->viewport(), Qt::LeftButton, {}, r.center());
        QVERIFY(!ui()->cbAll->isChecked());
        QVERIFY(ui()->FileLB1->selectedRows().isEmpty());
        QCOMPARE(ui()->DirectoryListBox1->directory(), m_dir);
    }

    void doubleClickOnCurrentDirectoryRereadsFiles() {
        QVERIFY(makeFile(path("new.yk")));
        QCOMPARE(ui()->FileLB1->count(), 3);
        DirectoryListBox *dirs = ui()->DirectoryListBox1;
        const int currentRow = dirs->currentIndex().row();
        const QRect r = dirs->visualRect(dirs->model()->index(currentRow, 0));
        QTest::mouseDClick(dirs->viewport(), Qt::LeftButton, {}, r.center());
        QCOMPARE(ui()->FileLB1->count(), 4);
        QCOMPARE(dirs->directory(), m_dir);
    }

    void doubleClickOnSubdirectoryEntersIt() {
        DirectoryListBox *dirs = ui()->DirectoryListBox1;
        const int subRow = dirs->count() - 1;
        QCOMPARE(dirs->rowPath(subRow), path("sub"));
        const QRect r = dirs->visualRect(dirs->model()->index(subRow, 0));
        QTest::mouseDClick(dirs->viewport(), Qt::LeftButton, {}, r.center());
        QCOMPARE(dirs->directory(), path("sub"));
        QCOMPARE(ui()->FileLB1->count(), 0);
        QCOMPARE(platform::workingDirectory(), path("sub"));
    }

    void doubleClickOpensTheFile() {
        // The opener is a script that records what it was given.
        const QByteArray record = path("opened");
        const QByteArray opener = path("opener.sh");
        QFile script(QFile::decodeName(opener));
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write("#!/bin/sh\nprintf '%s' \"$1\" > '" + record + "'\n");
        script.close();
        QCOMPARE(::chmod(opener.constData(), 0755), 0);
        platform::setShellOpener(opener);
        const FileListBox *list = ui()->FileLB1;
        const QRect r = list->visualRect(list->model()->index(0, 0));
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, r.center());
        QTRY_COMPARE(readAll(record), path("README"));
        platform::setShellOpener(QByteArray());
    }

    void clockRuns() {
        QTRY_VERIFY_WITH_TIMEOUT(!ui()->StatusBar1->panelText(3).isEmpty(), 10000);
        QVERIFY(QRegularExpression("^\\d\\d:\\d\\d:\\d\\d   \\d\\d\\.\\d\\d\\.\\d{4}$")
                    .match(ui()->StatusBar1->panelText(3))
                    .hasMatch());
    }

    void shortcutsWinOverTheArchiveNameBox() {
        ui()->Edit1->setFocus();
        QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
        ui()->Edit1->setText("abc");
        ui()->Edit1->setCursorPosition(0);
        QSignalSpy del(ui()->N14, &QAction::triggered);
        QTest::keyClick(ui()->Edit1, Qt::Key_Delete);
        QCOMPARE(del.count(), 1);
        QCOMPARE(ui()->Edit1->text(), QStringLiteral("abc"));

        for (const QKeySequence &key :
             {QKeySequence(Qt::CTRL | Qt::Key_O), QKeySequence(Qt::CTRL | Qt::Key_W),
              QKeySequence(Qt::CTRL | Qt::Key_H)}) {
            QTest::keySequence(ui()->Edit1, key);
            QCOMPARE(ui()->Edit1->text(), QStringLiteral("abc"));
        }
        QVERIFY(m_form->isVisible());

        QTest::keyClick(ui()->Edit1, Qt::Key_X); // ordinary typing still reaches the box
        QCOMPARE(ui()->Edit1->text(), QStringLiteral("xabc"));
    }

    void escapeInArchiveNameBoxExits() {
        ui()->Edit1->setFocus();
        QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
        QTest::keyClick(ui()->Edit1, Qt::Key_Escape);
        QVERIFY(!m_form->isVisible());
        QCOMPARE(readAll(path("config/yk32.ini")), m_dir + "\r\n");
    }

    void escapeCharacterClosesWithoutSaving() {
        ui()->FileLB1->setFocus();
        QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
        // Ctrl+[ types the Escape character without being the Esc key.
        QTest::sendKeyEvent(QTest::Press, ui()->FileLB1, Qt::Key_BracketLeft, QString(QChar(27)),
                            Qt::ControlModifier);
        QVERIFY(!m_form->isVisible());
        QVERIFY(!QFile::exists(QFile::decodeName(path("config/yk32.ini"))));
    }

    void errorEscapingAHandlerIsReported() {
        auto *app = qobject_cast<Application *>(qApp);
        QVERIFY(app);
        RecordingMessenger recorder;
        app->setMessenger(&recorder);
        Thrower thrower;
        QCoreApplication::postEvent(&thrower, new QEvent(QEvent::User));
        QTRY_COMPARE(recorder.errors, QStringList{"Something broke."});
        app->setMessenger(nullptr);
        QVERIFY(m_form->isVisible()); // and the program goes on
    }
};

int main(int argc, char **argv) {
    Application app(argc, argv);
    TestMainWindow test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_mainwindow.moc"
