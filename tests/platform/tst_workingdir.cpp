#include "platform/WorkingDir.h"

#include "TempTree.h"

#include <QTest>

#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

class TestWorkingDir : public QObject {
    Q_OBJECT
    TempTree tmp_;
    QByteArray start_;
    QByteArray root_; // the scratch directory with symbolic links resolved

private slots:
    void initTestCase() {
        QVERIFY(tmp_.isValid());
        char buf[PATH_MAX];
        QVERIFY(::getcwd(buf, sizeof buf));
        start_ = buf;
        char *real = ::realpath(tmp_.path().constData(), nullptr);
        QVERIFY(real);
        root_ = real;
        std::free(real);
    }
    void cleanup() { QVERIFY(::chdir(start_.constData()) == 0); }

    void entersAndReports_data() {
        QTest::addColumn<QByteArray>("name");
        QTest::newRow("plain") << QByteArray("plain");
        QTest::newRow("blanks and quotes") << QByteArray(" it's \"here\" ");
        QTest::newRow("non-UTF-8") << QByteArray("caf\xe9\xff");
        QTest::newRow("leading dash") << QByteArray("-P");
        QTest::newRow("newline") << QByteArray("a\nb");
    }
    void entersAndReports() {
        QFETCH(QByteArray, name);
        const QByteArray dir = root_ + '/' + name;
        QVERIFY(::mkdir(dir.constData(), 0755) == 0);
        QVERIFY(platform::setWorkingDirectory(dir));
        QCOMPARE(platform::workingDirectory(), dir);
        QVERIFY(::chdir("/") == 0);
        QVERIFY(::rmdir(dir.constData()) == 0);
    }

    void refusals_data() {
        QTest::addColumn<QByteArray>("path");
        QTest::addColumn<int>("error");
        QTest::newRow("missing") << QByteArray("/nonexistent/winyk") << int(ENOENT);
        QTest::newRow("file") << QByteArray("FILE") << int(ENOTDIR);
        QTest::newRow("empty") << QByteArray() << int(ENOENT);
        QTest::newRow("long and missing")
            << QByteArray("/nonexistent/" + QByteArray(PATH_MAX, 'x').replace(200, 1, "/"))
            << int(ENOENT);
    }
    void refusals() {
        QFETCH(QByteArray, path);
        if (path == "FILE") {
            path = root_ + "/file";
            const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
            QVERIFY(fd >= 0);
            ::close(fd);
        }
        QVERIFY(platform::setWorkingDirectory(root_));
        errno = 0;
        QVERIFY(!platform::setWorkingDirectory(path));
        QTEST(errno, "error");
        QCOMPARE(platform::workingDirectory(), root_);
    }

    void vanishedWorkingDirectory() {
        const QByteArray dir = root_ + "/gone";
        QVERIFY(::mkdir(dir.constData(), 0755) == 0);
        QVERIFY(platform::setWorkingDirectory(dir));
        QVERIFY(::rmdir(dir.constData()) == 0);
        QCOMPARE(platform::workingDirectory(), QByteArray());
    }

    // Deeper than PATH_MAX: getcwd needs a bigger buffer, chdir needs the path in pieces.
    void beyondPathMax() {
        const QByteArray component(200, 'd');
        QByteArray deep = root_ + "/deep";
        QVERIFY(::mkdir(deep.constData(), 0755) == 0);
        QVERIFY(::chdir(deep.constData()) == 0);
        for (int i = 0; i < 45; ++i) {
            QVERIFY(::mkdir(component.constData(), 0755) == 0);
            QVERIFY(::chdir(component.constData()) == 0);
            deep += '/' + component;
        }
        QVERIFY(deep.size() > 2 * PATH_MAX);
        QCOMPARE(platform::workingDirectory(), deep);

        QVERIFY(::chdir("/") == 0);
        QVERIFY(platform::setWorkingDirectory(deep));
        QCOMPARE(platform::workingDirectory(), deep);

        // A piece that fails half-way leaves the working directory where it was.
        QVERIFY(platform::setWorkingDirectory(root_));
        QByteArray wrong = deep;
        wrong.replace(root_.size() + 6 + 201 * 30, 1, "e"); // beyond the first piece
        errno = 0;
        QVERIFY(!platform::setWorkingDirectory(wrong));
        QCOMPARE(errno, ENOENT);
        QCOMPARE(platform::workingDirectory(), root_);
    }
};

QTEST_GUILESS_MAIN(TestWorkingDir)
#include "tst_workingdir.moc"
