#pragma once
// Starting a program as a child that we watch (a terminal emulator, or a program on a
// pseudo-terminal of our own), and learning when it ends. Not part of the platform interface.
#include <QByteArray>
#include <QList>
#include <QObject>

#include <sys/types.h>

class QSocketNotifier;
class QTimer;

namespace platform::posix {

struct StartedChild {
    pid_t pid = -1;
    int ptyMaster = -1;       // non-blocking, close-on-exec; only when started on a pseudo-terminal
    int error = 0;            // errno of the failed start when pid is -1
    bool inDirectory = false; // that failure was entering workingDir
};

// Starts program (a path) with argv and the environment env ("NAME=value" each) in a session
// of its own, signal dispositions and mask at their defaults, none of our descriptors. With
// onPty its standard streams are the slave of a new pseudo-terminal of cols x rows, which
// becomes its controlling terminal; otherwise they are /dev/null. workingDir, when not empty,
// is entered first. Returns once the program has been executed or has failed to start. An
// orphan is started by a middle child, reaped at once, so that it is left to init.
StartedChild startChild(const QByteArray &program, const QList<QByteArray> &argv,
                        const QList<QByteArray> &env, const QByteArray &workingDir, bool onPty,
                        int cols = 80, int rows = 24, bool orphan = false);

// Reaps one child when it ends and says so, without blocking: through a pidfd where the kernel
// has them, else by polling. A child still running when the watch is destroyed is left alone.
class ChildWatch : public QObject {
    Q_OBJECT
public:
    ChildWatch(pid_t pid, QObject *parent);
    ~ChildWatch() override;
    pid_t pid() const { return pid_; }
    bool hasEnded() const { return ended_; }
    int status() const { return status_; } // as waitpid gives it, once ended
    // Checks at once, for callers that must know before the next event.
    bool poll();

signals:
    void ended(int status);

private:
    pid_t pid_;
    int pidFd_ = -1;
    bool ended_ = false;
    int status_ = 0;
    QSocketNotifier *notifier_ = nullptr;
    QTimer *timer_ = nullptr;
};

} // namespace platform::posix
