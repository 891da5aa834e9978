#include "platform/ConfigDir.h"

#include <QTest>

#include <pwd.h>
#include <unistd.h>

class TestConfigDir : public QObject {
    Q_OBJECT
    QByteArray savedXdg_, savedHome_;
    bool hadXdg_ = false, hadHome_ = false;

    static void set(const char *name, bool isSet, const QByteArray &value) {
        if (isSet)
            qputenv(name, value);
        else
            qunsetenv(name);
    }

private slots:
    void initTestCase() {
        hadXdg_ = qEnvironmentVariableIsSet("XDG_CONFIG_HOME");
        hadHome_ = qEnvironmentVariableIsSet("HOME");
        savedXdg_ = qgetenv("XDG_CONFIG_HOME");
        savedHome_ = qgetenv("HOME");
    }
    void cleanupTestCase() {
        set("XDG_CONFIG_HOME", hadXdg_, savedXdg_);
        set("HOME", hadHome_, savedHome_);
    }

    void directory_data() {
        QTest::addColumn<bool>("xdgSet");
        QTest::addColumn<QByteArray>("xdg");
        QTest::addColumn<bool>("homeSet");
        QTest::addColumn<QByteArray>("home");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("XDG_CONFIG_HOME absolute")
            << true << QByteArray("/srv/cfg") << true << QByteArray("/home/u")
            << QByteArray("/srv/cfg");
        QTest::newRow("XDG_CONFIG_HOME with trailing slashes")
            << true << QByteArray("/srv/cfg//") << true << QByteArray("/home/u")
            << QByteArray("/srv/cfg");
        QTest::newRow("XDG_CONFIG_HOME non-UTF-8")
            << true << QByteArray("/srv/caf\xe9") << true << QByteArray("/home/u")
            << QByteArray("/srv/caf\xe9");
        QTest::newRow("XDG_CONFIG_HOME is the root")
            << true << QByteArray("/") << true << QByteArray("/home/u") << QByteArray("/");
        QTest::newRow("XDG_CONFIG_HOME relative is ignored")
            << true << QByteArray("rel/cfg") << true << QByteArray("/home/u")
            << QByteArray("/home/u/.config");
        QTest::newRow("XDG_CONFIG_HOME empty")
            << true << QByteArray() << true << QByteArray("/home/u")
            << QByteArray("/home/u/.config");
        QTest::newRow("XDG_CONFIG_HOME unset")
            << false << QByteArray() << true << QByteArray("/home/u")
            << QByteArray("/home/u/.config");
        QTest::newRow("HOME with trailing slash")
            << false << QByteArray() << true << QByteArray("/home/u/")
            << QByteArray("/home/u/.config");
        QTest::newRow("HOME is the root")
            << false << QByteArray() << true << QByteArray("/") << QByteArray("/.config");
    }
    void directory() {
        QFETCH(bool, xdgSet);
        QFETCH(QByteArray, xdg);
        QFETCH(bool, homeSet);
        QFETCH(QByteArray, home);
        set("XDG_CONFIG_HOME", xdgSet, xdg);
        set("HOME", homeSet, home);
        QTEST(platform::configDirectory(), "expected");
    }

    void homeFromPasswordDatabase_data() {
        QTest::addColumn<bool>("homeSet");
        QTest::newRow("HOME unset") << false;
        QTest::newRow("HOME empty") << true;
    }
    void homeFromPasswordDatabase() {
        QFETCH(bool, homeSet);
        const passwd *pw = ::getpwuid(::getuid());
        if (!pw || !pw->pw_dir || !*pw->pw_dir)
            QSKIP("this user has no entry with a home directory in the password database");
        QByteArray home = pw->pw_dir;
        if (home == "/")
            home.clear();
        qunsetenv("XDG_CONFIG_HOME");
        set("HOME", homeSet, QByteArray());
        QCOMPARE(platform::configDirectory(), home + "/.config");
    }
};

QTEST_GUILESS_MAIN(TestConfigDir)
#include "tst_configdir.moc"
