#include "platform/posix/ConsoleStart.h"

#include "platform/posix/Child.h"
#include "platform/posix/Spawn.h"

#include <QTimer>

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace platform::posix {

namespace {

// A private directory (mode 700) for the claims: the runtime directory when usable, else /tmp.
QByteArray makeClaimDirectory() {
    QByteArray base = qgetenv("XDG_RUNTIME_DIR");
    struct stat st;
    if (base.isEmpty() || ::stat(base.constData(), &st) != 0 || !S_ISDIR(st.st_mode) ||
        ::access(base.constData(), W_OK | X_OK) != 0)
        base = "/tmp";
    QByteArray templ = base + "/yk32-console-XXXXXX";
    return ::mkdtemp(templ.data()) ? templ : QByteArray();
}

} // namespace

ConsoleStart::ConsoleStart(QList<Terminal> terminals, QList<QByteArray> argv, QByteArray workingDir,
                           QList<QByteArray> env, int tryTime, QObject *parent)
    : QObject(parent), terminals_(std::move(terminals)), argv_(std::move(argv)),
      workingDir_(std::move(workingDir)), env_(std::move(env)), poll_(new QTimer(this)),
      deadline_(new QTimer(this)) {
    poll_->setInterval(50);
    connect(poll_, &QTimer::timeout, this, &ConsoleStart::check);
    deadline_->setSingleShot(true);
    deadline_->setInterval(tryTime);
    connect(deadline_, &QTimer::timeout, this, &ConsoleStart::giveUp);
}

ConsoleStart::~ConsoleStart() {
    if (placed_ || current_ < 0 || current_ >= terminals_.size())
        return;
    // The program ends before the try now running has claimed the run: nobody would be left
    // to give it up, nor to remove the directory. Give it up now, so that a window showing
    // later runs nothing, and run the program without a window in its place.
    if (takeBack(current_))
        spawnDetached(argv_.first(), argv_, workingDir_);
    placed();
}

bool ConsoleStart::begin() {
    dir_ = makeClaimDirectory();
    if (dir_.isEmpty()) {
        deleteLater();
        return false;
    }
    tryNext();
    return true;
}

QByteArray ConsoleStart::claimPath(int index) const {
    return dir_ + '/' + QByteArray::number(index);
}

bool ConsoleStart::claimed(int index) const {
    struct stat st;
    return ::lstat(claimPath(index).constData(), &st) == 0;
}

bool ConsoleStart::takeBack(int index) const {
    const int fd =
        ::open(claimPath(index).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd >= 0)
        ::close(fd);
    return !(fd < 0 && errno == EEXIST);
}

void ConsoleStart::tryNext() {
    for (++current_; current_ < terminals_.size(); ++current_) {
        const QList<QByteArray> args =
            consoleArguments(terminals_[current_], claimPath(current_), argv_);
        const StartedChild child =
            startChild(terminals_[current_].program, args, env_, workingDir_, false);
        if (child.pid < 0) {
            // Not started at all: nothing can claim this try, but make sure of it.
            takeBack(current_);
            continue;
        }
        watch_ = new ChildWatch(child.pid, this);
        connect(watch_, &ChildWatch::ended, this, [this, w = watch_] {
            if (w == watch_)
                check();
            finishWhenIdle();
        });
        poll_->start();
        deadline_->start();
        return;
    }
    runWithoutWindow();
}

void ConsoleStart::check() {
    if (placed_)
        return;
    if (claimed(current_)) {
        placed();
        return;
    }
    // A terminal that ends with a failure before its wrapper claimed the run has shown
    // nothing. One that ends well may have handed the window to a server: wait for the claim.
    if (watch_ && watch_->hasEnded()) {
        const int st = watch_->status();
        if (!WIFEXITED(st) || WEXITSTATUS(st) != 0)
            giveUp();
    }
}

void ConsoleStart::giveUp() {
    if (placed_)
        return;
    poll_->stop();
    deadline_->stop();
    if (!takeBack(current_)) {
        placed(); // the wrapper claimed it just now
        return;
    }
    watch_ = nullptr; // still reaped when it ends
    tryNext();
}

void ConsoleStart::placed() {
    placed_ = true;
    poll_->stop();
    deadline_->stop();
    // Late windows of given-up tries find their claims gone with the directory and run
    // nothing; it is renamed first so that no claim can be made while it is emptied.
    const QByteArray gone = dir_ + ".done";
    if (::rename(dir_.constData(), gone.constData()) == 0) {
        for (int i = 0; i <= current_ && i < terminals_.size(); ++i)
            ::unlink((gone + '/' + QByteArray::number(i)).constData());
        ::rmdir(gone.constData());
    }
    finishWhenIdle();
}

void ConsoleStart::runWithoutWindow() {
    spawnDetached(argv_.first(), argv_, workingDir_);
    placed();
}

void ConsoleStart::finishWhenIdle() {
    if (!placed_)
        return;
    for (const ChildWatch *w : findChildren<ChildWatch *>())
        if (!w->hasEnded())
            return;
    deleteLater();
}

} // namespace platform::posix
