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
