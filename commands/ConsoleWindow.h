#pragma once
// A console window of our own, for desktops without a terminal emulator that works: runs a
// program on a pseudo-terminal, shows its output as it comes, sends it what is typed, and
// closes when the program ends. Closing it while the program runs hangs the program up, as
// closing a terminal window does.
#include "commands/ConsoleScreen.h"

#include <QPlainTextEdit>

namespace platform {
class PtyProcess;
}

namespace commands {

class ConsoleWindow : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit ConsoleWindow(QWidget *parent = nullptr);
    // Starts argv (argv[0] a path) with the environment env in workingDir (the current one
    // when empty). False, with the reason in errorText(), when it could not be started.
    bool start(const QList<QByteArray> &argv, const QList<QByteArray> &env,
               const QByteArray &workingDir = {});
    QString errorText() const { return error_; }
    // The window's size in character cells.
    QSize cells() const;

signals:
    // The program has ended and the window is closed.
    void done();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void showOutput(const QByteArray &bytes);
    void programEnded();

    platform::PtyProcess *pty_;
    ConsoleScreen screen_;
    QString error_;
    bool ended_ = false;
};

} // namespace commands
