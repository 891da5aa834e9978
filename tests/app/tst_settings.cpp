// The settings file: its name, reading at start-up, writing by "Выход".
#include "TestSupport.h"
#include "app/DirectoryListBox.h"
#include "app/SettingsFile.h"
#include "app/Unit1.h"
#include "platform/WorkingDir.h"
#include "ui_Unit1.h"

#include <QTemporaryDir>
#include <QtTest>
#include <sys/stat.h>
#include <unistd.h>

class TestSettings : public QObject {
    Q_OBJECT
    QTemporaryDir m_root;
    QByteArray m_config;
    QByteArray m_start;
    QByteArray m_saved;

    QByteArray ini() const { return m_config + "/yk32.ini"; }

private slots:
    void init() {
        QVERIFY(m_root.isValid());
        const QByteArray root = QFile::encodeName(m_root.path());
        m_config = root + "/config";
        m_start = root + "/start";
        m_saved = root + "/saved dir";
        ::mkdir(m_config.constData(), 0755);
        ::mkdir(m_start.constData(), 0755);
        ::mkdir(m_saved.constData(), 0755);
        ::unlink(ini().constData());
        qputenv("XDG_CONFIG_HOME", m_config);
        QVERIFY(platform::setWorkingDirectory(m_start));
    }

    void fileName() {
        QCOMPARE(settings::filePath("/home/u/.config"), QByteArray("/home/u/.config/yk32.ini"));
        // A long configuration directory is not cut short.
        const QByteArray longDir = "/" + QByteArray(120, 'd');
        QCOMPARE(settings::filePath(longDir), longDir + "/yk32.ini");
    }

    void noFileStaysInStartDirectory() {
        RecordingMessenger messenger;
        TForm1 form(messenger);
        QCOMPARE(form.form()->DirectoryListBox1->directory(), m_start);
        QCOMPARE(form.form()->FileLB1->directory(), m_start);
        QVERIFY(messenger.errors.isEmpty());
    }

    void firstLineOnly() {
        QVERIFY(makeFile(ini()));
        QFile f(QFile::decodeName(ini()));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(m_saved + "\r\n/elsewhere\r\n");
        f.close();
        RecordingMessenger messenger;
        TForm1 form(messenger);
        QCOMPARE(form.form()->DirectoryListBox1->directory(), m_saved);
        QCOMPARE(form.form()->FileLB1->directory(), m_saved);
        QCOMPARE(platform::workingDirectory(), m_saved);
    }

    void emptyFileChangesNothing() {
        QVERIFY(makeFile(ini()));
        RecordingMessenger messenger;
        TForm1 form(messenger);
        QCOMPARE(form.form()->DirectoryListBox1->directory(), m_start);
        QVERIFY(messenger.errors.isEmpty());
    }

    // A first line far longer than any path is ignored, and read only as far as the limit:
    // a 100 MB one-line file (sparse, so it costs no disk) neither names a directory nor
    // comes into memory whole.
    void hugeFirstLineIsIgnored_data() {
        QTest::addColumn<qint64>("lineBytes");
        QTest::newRow("100 MB of NUL bytes, no line break") << qint64(100) * 1000 * 1000;
        QTest::newRow("one byte over the limit, then a directory") << settings::FirstLineLimit + 1;
    }
    void hugeFirstLineIsIgnored() {
        QFETCH(qint64, lineBytes);
        QFile f(QFile::decodeName(ini()));
        QVERIFY(f.open(QIODevice::WriteOnly));
        if (lineBytes > settings::FirstLineLimit * 2) {
            QVERIFY(f.resize(lineBytes));
        } else {
            f.write(QByteArray(int(lineBytes), 'd'));
            f.write("\r\n" + m_saved + "\r\n");
        }
        f.close();
        const settings::ReadResult read = settings::read(ini());
        QCOMPARE(read.status, settings::ReadResult::Ok);
        QCOMPARE(read.firstLine, QByteArray());
        RecordingMessenger messenger;
        TForm1 form(messenger);
        QCOMPARE(form.form()->DirectoryListBox1->directory(), m_start);
        QVERIFY(messenger.errors.isEmpty());
    }

    void vanishedDirectoryIsSilent() {
        QFile f(QFile::decodeName(ini()));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(m_saved + "/gone\r\n");
        f.close();
        RecordingMessenger messenger;
        TForm1 form(messenger);
        QCOMPARE(form.form()->DirectoryListBox1->directory(), m_start);
        QVERIFY(messenger.errors.isEmpty());
    }

    void directoryNamedLikeTheFileCountsAsNone() {
        QVERIFY(makeDir(ini()));
        RecordingMessenger messenger;
        TForm1 form(messenger);
        QCOMPARE(form.form()->DirectoryListBox1->directory(), m_start);
        QVERIFY(messenger.errors.isEmpty());
        ::rmdir(ini().constData());
    }

    void unreadableFileIsReportedAndStartUpGoesOn() {
        // A FIFO cannot be read as a settings file, and must not make start-up wait.
        QCOMPARE(::mkfifo(ini().constData(), 0644), 0);
        RecordingMessenger messenger;
        TForm1 form(messenger);
        QCOMPARE(messenger.errors,
                 QStringList{"Cannot open file " + QString::fromUtf8(ini()) + "."});
        QCOMPARE(form.form()->DirectoryListBox1->directory(), m_start);
        ::unlink(ini().constData());
    }

    void exitWritesOneLineWithCrLf() {
        RecordingMessenger messenger;
        {
            TForm1 form(messenger);
            form.show();
            form.form()->DirectoryListBox1->setDirectory(m_saved);
            form.form()->N3->trigger();
            QVERIFY(!form.isVisible());
        }
        QCOMPARE(readAll(ini()), m_saved + "\r\n");
        QVERIFY(platform::setWorkingDirectory(m_start));
        TForm1 again(messenger);
        QCOMPARE(again.form()->DirectoryListBox1->directory(), m_saved);
        QVERIFY(messenger.errors.isEmpty());
    }

    void exitCreatesMissingConfigDirectory() {
        const QByteArray nested = m_config + "/new/deeper";
        qputenv("XDG_CONFIG_HOME", nested);
        RecordingMessenger messenger;
        TForm1 form(messenger);
        form.form()->N3->trigger();
        QCOMPARE(readAll(nested + "/yk32.ini"), m_start + "\r\n");
    }

    void longConfigDirectoryIsUsedWhole() {
        // Far beyond the 79 characters an old fixed buffer would have held.
        QByteArray deep = m_config;
        while (deep.size() < 200)
            deep += "/a-rather-long-folder-name";
        qputenv("XDG_CONFIG_HOME", deep);
        RecordingMessenger messenger;
        {
            TForm1 form(messenger);
            form.form()->DirectoryListBox1->setDirectory(m_saved);
            form.form()->N3->trigger();
        }
        QCOMPARE(readAll(deep + "/yk32.ini"), m_saved + "\r\n");
        QVERIFY(platform::setWorkingDirectory(m_start));
        TForm1 again(messenger);
        QCOMPARE(again.form()->DirectoryListBox1->directory(), m_saved);
        QVERIFY(messenger.errors.isEmpty());
    }

    void nonUtf8DirectoryRoundTrips() {
        const QByteArray odd = QFile::encodeName(m_root.path()) + "/\xff\xfe odd";
        QVERIFY(makeDir(odd));
        RecordingMessenger messenger;
        {
            TForm1 form(messenger);
            form.form()->DirectoryListBox1->setDirectory(odd);
            form.form()->N3->trigger();
        }
        QCOMPARE(readAll(ini()), odd + "\r\n");
        QVERIFY(platform::setWorkingDirectory(m_start));
        TForm1 again(messenger);
        QCOMPARE(again.form()->DirectoryListBox1->directory(), odd);
    }

    void closeBoxWritesNothing() {
        QVERIFY(settings::write(ini(), m_start));
        RecordingMessenger messenger;
        TForm1 form(messenger);
        form.show();
        form.form()->DirectoryListBox1->setDirectory(m_saved);
        QVERIFY(form.close());
        QCOMPARE(readAll(ini()), m_start + "\r\n");
    }

    void writeFailureIsReportedAndWindowStays() {
        // The configuration "directory" is a file, so nothing can be created below it.
        const QByteArray blocker = QFile::encodeName(m_root.path()) + "/plainfile";
        QVERIFY(makeFile(blocker));
        qputenv("XDG_CONFIG_HOME", blocker);
        RecordingMessenger messenger;
        TForm1 form(messenger);
        form.show();
        form.form()->N3->trigger();
        QCOMPARE(messenger.errors,
                 QStringList{"Cannot create file " + QString::fromUtf8(blocker) + "/yk32.ini."});
        QVERIFY(form.isVisible());
    }

    // "Выход" writes through a link only into a regular file of our own user: a link to
    // another user's file (or to no file) is refused with the usual report, and that file
    // stays as it was.
    void linkIntoAnotherUsersFileIsNotWritten_data() {
        QTest::addColumn<int>("owner"); // of the link's target; -1: no target
        QTest::addColumn<bool>("written");
        QTest::newRow("our own file: written through the link") << int(::geteuid()) << true;
        QTest::newRow("another user's file") << 65534 << false;
        QTest::newRow("a dangling link") << -1 << false;
    }
    void linkIntoAnotherUsersFileIsNotWritten() {
        QFETCH(int, owner);
        QFETCH(bool, written);
        if (owner != int(::geteuid()) && owner >= 0 && ::geteuid() != 0)
            QSKIP("only root can make a file that another user owns");
        const QByteArray target = QFile::encodeName(m_root.path()) + "/target file";
        ::unlink(target.constData());
        if (owner >= 0) {
            QVERIFY(makeFile(target, 5));
            QCOMPARE(::chown(target.constData(), uid_t(owner), gid_t(-1)), 0);
        }
        QCOMPARE(::symlink(target.constData(), ini().constData()), 0);
        RecordingMessenger messenger;
        TForm1 form(messenger);
        form.show();
        form.form()->N3->trigger();
        struct stat st;
        QCOMPARE(::lstat(ini().constData(), &st), 0);
        QVERIFY(S_ISLNK(st.st_mode)); // the link itself stays
        if (written) {
            QVERIFY(messenger.errors.isEmpty());
            QCOMPARE(readAll(target), m_start + "\r\n");
        } else {
            QCOMPARE(messenger.errors,
                     QStringList{"Cannot create file " + QString::fromUtf8(ini()) + "."});
            QVERIFY(form.isVisible());
            if (owner >= 0)
                QCOMPARE(readAll(target), QByteArray(5, 'x'));
            else
                QCOMPARE(::lstat(target.constData(), &st), -1);
        }
        ::unlink(ini().constData());
        ::unlink(target.constData());
    }

    void rewriteReplacesWhole() {
        QVERIFY(settings::write(ini(), "/a/very/long/directory/name/that/is/longer"));
        QVERIFY(settings::write(ini(), "/b"));
        QCOMPARE(readAll(ini()), QByteArray("/b\r\n"));
        // No temporary file is left beside it.
        QCOMPARE(QDir(QFile::decodeName(m_config)).entryList(QDir::Files | QDir::Hidden),
                 QStringList{"yk32.ini"});
    }
};

QTEST_MAIN(TestSettings)
#include "tst_settings.moc"
