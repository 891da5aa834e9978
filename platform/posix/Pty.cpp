#include "platform/Pty.h"

#include "platform/posix/Child.h"

#include <QSocketNotifier>
#include <QTimer>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace platform {

namespace {
constexpr int ReadChunk = 64 * 1024;
}

PtyProcess::PtyProcess(QObject *parent) : QObject(parent), killTimer_(new QTimer(this)) {
    killTimer_->setSingleShot(true);
    connect(killTimer_, &QTimer::timeout, this, [this] {
        if (isRunning())
            ::kill(-watch_->pid(), SIGKILL);
    });
}

PtyProcess::~PtyProcess() {
    if (isRunning()) {
        ::kill(-watch_->pid(), SIGHUP);
        ::kill(-watch_->pid(), SIGCONT);
    }
    closeMaster();
}

bool PtyProcess::start(const QList<QByteArray> &argv, const QList<QByteArray> &env,
                       const QByteArray &workingDir, int cols, int rows) {
    if (argv.isEmpty() || watch_) {
        error_ = QString::fromLocal8Bit(std::strerror(EINVAL));
        return false;
    }
    const posix::StartedChild child =
        posix::startChild(argv.first(), argv, env, workingDir, true, cols, rows);
    if (child.pid < 0) {
        error_ = QString::fromLocal8Bit(std::strerror(child.error));
        return false;
    }
    master_ = child.ptyMaster;
    readNotifier_ = new QSocketNotifier(master_, QSocketNotifier::Read, this);
    connect(readNotifier_, &QSocketNotifier::activated, this, &PtyProcess::readMaster);
    writeNotifier_ = new QSocketNotifier(master_, QSocketNotifier::Write, this);
    writeNotifier_->setEnabled(false);
    connect(writeNotifier_, &QSocketNotifier::activated, this, &PtyProcess::writePending);
    watch_ = new posix::ChildWatch(child.pid, this);
    connect(watch_, &posix::ChildWatch::ended, this, &PtyProcess::drainAndFinish);
    return true;
}

bool PtyProcess::isRunning() const {
    return watch_ && !watch_->hasEnded();
}

void PtyProcess::readMaster() {
    // One read per wake-up: a program that writes without pause cannot hold up the window.
    QByteArray buf(ReadChunk, Qt::Uninitialized);
    const ssize_t n = ::read(master_, buf.data(), size_t(buf.size()));
    if (n > 0) {
        buf.truncate(int(n));
        emit output(buf);
    } else if (n == 0 || (errno != EAGAIN && errno != EINTR)) {
        // Every holder of the terminal has closed it (EIO); the end comes from the watch.
        readNotifier_->setEnabled(false);
    }
}

void PtyProcess::write(const QByteArray &bytes) {
    if (master_ < 0)
        return;
    pending_ += bytes;
    writePending();
}

void PtyProcess::writePending() {
    while (master_ >= 0 && !pending_.isEmpty()) {
        const ssize_t n = ::write(master_, pending_.constData(), size_t(pending_.size()));
        if (n > 0) {
            pending_.remove(0, int(n));
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno == EAGAIN) {
            writeNotifier_->setEnabled(true);
            return;
        }
        pending_.clear(); // the terminal is gone
    }
    if (writeNotifier_)
        writeNotifier_->setEnabled(false);
}

void PtyProcess::resize(int cols, int rows) {
    if (master_ < 0 || cols <= 0 || rows <= 0)
        return;
    struct winsize ws = {};
    ws.ws_col = static_cast<unsigned short>(cols);
    ws.ws_row = static_cast<unsigned short>(rows);
    ::ioctl(master_, TIOCSWINSZ, &ws); // the kernel tells the program (SIGWINCH)
}

void PtyProcess::hangUp(int killAfterMs) {
    if (!isRunning())
        return;
    closeMaster();
    ::kill(-watch_->pid(), SIGHUP);
    ::kill(-watch_->pid(), SIGCONT);
    killTimer_->start(killAfterMs);
}

void PtyProcess::drainAndFinish(int status) {
    killTimer_->stop();
    // What the program wrote before it ended is still in the terminal.
    while (master_ >= 0) {
        QByteArray buf(ReadChunk, Qt::Uninitialized);
        const ssize_t n = ::read(master_, buf.data(), size_t(buf.size()));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        buf.truncate(int(n));
        emit output(buf);
    }
    closeMaster();
    emit finished(status);
}

void PtyProcess::closeMaster() {
    if (master_ < 0)
        return;
    delete readNotifier_;
    delete writeNotifier_;
    readNotifier_ = writeNotifier_ = nullptr;
    ::close(master_);
    master_ = -1;
    pending_.clear();
}

} // namespace platform
