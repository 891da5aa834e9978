#pragma once
// A program on a pseudo-terminal of our own: what it writes arrives as it comes, what the user
// types goes to it, and its end is reported. Never blocks the event loop.
#include <QByteArray>
#include <QList>
#include <QObject>

class QSocketNotifier;
class QTimer;

namespace platform {

namespace posix {
class ChildWatch;
}

class PtyProcess : public QObject {
    Q_OBJECT
public:
    explicit PtyProcess(QObject *parent = nullptr);
    // A program still running is hung up (see hangUp).
    ~PtyProcess() override;

    // Starts argv (argv[0] a path) on a new terminal of cols x rows, in workingDir (the
    // current directory when empty), with the environment env ("NAME=value" each). False
    // when it could not be started, with errno's text in errorText().
    bool start(const QList<QByteArray> &argv, const QList<QByteArray> &env,
               const QByteArray &workingDir, int cols, int rows);
    QString errorText() const { return error_; }
    bool isRunning() const;

    // What the user typed; the terminal echoes it and hands it to the program by its rules.
    void write(const QByteArray &bytes);
    void resize(int cols, int rows);
    // As a terminal window that is closed: the terminal hangs up and the program's process
    // group gets SIGHUP; what still runs after killAfterMs gets SIGKILL.
    void hangUp(int killAfterMs = 3000);

signals:
    void output(const QByteArray &bytes);
    // The program has ended and all it wrote has been delivered. status as waitpid gives it.
    void finished(int status);

private:
    void readMaster();
    void writePending();
    void drainAndFinish(int status);
    void closeMaster();

    int master_ = -1;
    QSocketNotifier *readNotifier_ = nullptr;
    QSocketNotifier *writeNotifier_ = nullptr;
    posix::ChildWatch *watch_ = nullptr;
    QTimer *killTimer_;
    QByteArray pending_;
    QString error_;
};

} // namespace platform
