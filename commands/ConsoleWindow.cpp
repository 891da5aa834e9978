#include "commands/ConsoleWindow.h"

#include "platform/Pty.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QScrollBar>
#include <QTextBlock>

namespace commands {

namespace {
constexpr int StartColumns = 80;
// Lines kept for scrolling back; older ones are dropped.
constexpr int ScrollbackLines = 100000;
constexpr int StartRows = 24;
} // namespace

ConsoleWindow::ConsoleWindow(QWidget *parent)
    : QPlainTextEdit(parent), pty_(new platform::PtyProcess(this)) {
    setWindowTitle(QStringLiteral("yk"));
    setReadOnly(true);
    setUndoRedoEnabled(false);
    // Like a terminal's scrollback: a listing of millions of entries must not hold them all.
    setMaximumBlockCount(ScrollbackLines);
    setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setWordWrapMode(QTextOption::WrapAnywhere);
    // The keys go to the program; the mouse still selects text to copy.
    setTextInteractionFlags(Qt::TextSelectableByMouse);
    const QFontMetrics fm(font());
    const int frame = 2 * frameWidth() + 2 * int(document()->documentMargin());
    resize(fm.horizontalAdvance(QLatin1Char('M')) * StartColumns + frame +
               verticalScrollBar()->sizeHint().width(),
           fm.lineSpacing() * StartRows + frame);
    connect(pty_, &platform::PtyProcess::output, this, &ConsoleWindow::showOutput);
    connect(pty_, &platform::PtyProcess::finished, this, &ConsoleWindow::programEnded);
}

bool ConsoleWindow::start(const QList<QByteArray> &argv, const QList<QByteArray> &env,
                          const QByteArray &workingDir) {
    const QSize c = cells();
    if (!pty_->start(argv, env, workingDir, c.width(), c.height())) {
        error_ = pty_->errorText();
        return false;
    }
    return true;
}

QSize ConsoleWindow::cells() const {
    const QFontMetrics fm(font());
    const int margin = 2 * int(document()->documentMargin());
    const int cw = qMax(1, fm.horizontalAdvance(QLatin1Char('M')));
    const int lh = qMax(1, fm.lineSpacing());
    return {qMax(1, (viewport()->width() - margin) / cw),
            qMax(1, (viewport()->height() - margin) / lh)};
}

void ConsoleWindow::showOutput(const QByteArray &bytes) {
    screen_.feed(bytes);
    QScrollBar *bar = verticalScrollBar();
    const bool atEnd = bar->value() == bar->maximum();
    const QStringList lines = screen_.takeFinishedLines();
    QString text = lines.join(QLatin1Char('\n'));
    if (!lines.isEmpty())
        text += QLatin1Char('\n');
    text += screen_.currentLine();
    // The last block is the line being written: it is written again with what came.
    QTextCursor cursor(document());
    cursor.movePosition(QTextCursor::End);
    cursor.movePosition(QTextCursor::StartOfBlock, QTextCursor::KeepAnchor);
    cursor.insertText(text);
    if (atEnd)
        bar->setValue(bar->maximum());
}

void ConsoleWindow::programEnded() {
    ended_ = true;
    screen_.finish();
    showOutput({});
    close();
}

void ConsoleWindow::keyPressEvent(QKeyEvent *event) {
    const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
    if (mods == (Qt::ControlModifier | Qt::ShiftModifier) && event->key() == Qt::Key_C) {
        copy();
        return;
    }
    if (mods == (Qt::ControlModifier | Qt::ShiftModifier) && event->key() == Qt::Key_V) {
        pty_->write(QApplication::clipboard()->text().toUtf8());
        return;
    }
    switch (event->key()) {
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        verticalScrollBar()->triggerAction(event->key() == Qt::Key_PageUp
                                               ? QAbstractSlider::SliderPageStepSub
                                               : QAbstractSlider::SliderPageStepAdd);
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        pty_->write("\r"); // the terminal makes it a line feed
        return;
    case Qt::Key_Backspace:
        pty_->write("\x7f");
        return;
    default:
        break;
    }
    const QByteArray bytes = event->text().toUtf8();
    if (!bytes.isEmpty())
        pty_->write(bytes);
}

void ConsoleWindow::closeEvent(QCloseEvent *event) {
    if (pty_->isRunning()) {
        // Hung up, the program ends (or is killed a little later); the window goes at once
        // and the end closes it for good.
        hide();
        event->ignore();
        pty_->hangUp();
        return;
    }
    event->accept();
    if (ended_)
        emit done();
}

void ConsoleWindow::resizeEvent(QResizeEvent *event) {
    QPlainTextEdit::resizeEvent(event);
    const QSize c = cells();
    pty_->resize(c.width(), c.height());
}

} // namespace commands
