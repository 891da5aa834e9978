#pragma once
// What a console window shows of a program's output: the bytes as they come from the
// terminal, decoded as UTF-8 (a character cut between two reads is joined), with carriage
// return, backspace, tab and erase-in-line done as a terminal does them (so progress lines
// redrawn with "\r" stay one line), and every other control character or escape sequence
// made harmless: shown as a visible sign, or dropped when it is a sequence.
#include <QString>
#include <QStringList>

#include <string>

namespace commands {

class ConsoleScreen {
public:
    void feed(const QByteArray &bytes);
    // The end of the output: a character left incomplete becomes U+FFFD.
    void finish();
    // Lines ended (by a line feed) since the last call, oldest first.
    QStringList takeFinishedLines();
    // The line being written, with what is written over it so far.
    QString currentLine() const;
    int cursorColumn() const { return int(col_); }

private:
    void show(const QString &s);
    void put(char32_t c);
    void text(char32_t c);
    void endLine();
    void control(char32_t c);
    void sequenceEnd(char32_t final);

    enum class State { Text, Escape, Csi, Osc, OscEscape };
    QByteArray held_; // the start of a character whose end has not come yet
    State state_ = State::Text;
    QByteArray params_;
    std::u32string line_;
    size_t col_ = 0;
    QStringList finished_;
};

} // namespace commands
