#include "commands/ConsoleScreen.h"

namespace commands {

namespace {
constexpr char32_t Replacement = 0xFFFD;
constexpr int TabWidth = 8;
constexpr int MaxParams = 64;  // a sequence longer than this is not one we know
constexpr int MaxLine = 65536; // a line without end is cut into lines of this length

bool isBidiControl(char32_t c) {
    return (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069) || c == 0x200E ||
           c == 0x200F || c == 0x061C;
}

// How many bytes at the end of data begin a UTF-8 sequence that the next read completes.
int incompleteTail(const QByteArray &data) {
    for (int back = 1; back <= 3 && back <= data.size(); ++back) {
        const auto b = static_cast<unsigned char>(data[data.size() - back]);
        if ((b & 0xC0) == 0x80)
            continue; // a continuation byte: look further back
        const int need = b < 0xC2 || b > 0xF4 ? 0 : b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : 2;
        return need > back ? back : 0;
    }
    return 0;
}

} // namespace

void ConsoleScreen::feed(const QByteArray &bytes) {
    QByteArray data = held_ + bytes;
    const int keep = incompleteTail(data);
    held_ = data.right(keep);
    data.chop(keep);
    show(QString::fromUtf8(data)); // bytes that are not UTF-8 become U+FFFD
}

void ConsoleScreen::finish() {
    show(QString::fromUtf8(held_));
    held_.clear();
}

void ConsoleScreen::show(const QString &s) {
    for (char32_t c : s.toUcs4())
        put(c);
}

QStringList ConsoleScreen::takeFinishedLines() {
    QStringList lines;
    lines.swap(finished_);
    return lines;
}

QString ConsoleScreen::currentLine() const {
    return QString::fromUcs4(line_.data(), qsizetype(line_.size()));
}

void ConsoleScreen::put(char32_t c) {
    switch (state_) {
    case State::Text:
        if (c == 0x1B)
            state_ = State::Escape;
        else
            text(c);
        return;
    case State::Escape:
        if (c == '[') {
            params_.clear();
            state_ = State::Csi;
        } else if (c == ']') {
            state_ = State::Osc;
        } else {
            state_ = State::Text; // a two-character sequence: dropped
            if (c < 0x20 || c == 0x7F)
                text(c);
        }
        return;
    case State::Csi:
        if (c >= 0x40 && c <= 0x7E) {
            state_ = State::Text;
            sequenceEnd(c);
        } else if (c >= 0x20 && c <= 0x3F && params_.size() < MaxParams) {
            params_ += char(c);
        } else {
            // Not a sequence we take: drop what was gathered, show the character.
            state_ = State::Text;
            text(c);
        }
        return;
    case State::Osc:
        if (c == 0x07)
            state_ = State::Text;
        else if (c == 0x1B)
            state_ = State::OscEscape;
        return;
    case State::OscEscape:
        state_ = c == '\\' ? State::Text : State::Osc;
        return;
    }
}

void ConsoleScreen::text(char32_t c) {
    if (c < 0x20 || c == 0x7F || (c >= 0x80 && c < 0xA0)) {
        control(c);
        return;
    }
    if (isBidiControl(c))
        c = Replacement; // would turn the rest of the line around
    if (col_ >= size_t(MaxLine))
        endLine();
    if (col_ < line_.size())
        line_[col_] = c;
    else {
        line_.resize(col_, U' ');
        line_.push_back(c);
    }
    ++col_;
}

void ConsoleScreen::endLine() {
    finished_.append(currentLine());
    line_.clear();
    col_ = 0;
}

void ConsoleScreen::control(char32_t c) {
    switch (c) {
    case '\n':
        endLine();
        return;
    case '\r':
        col_ = 0;
        return;
    case '\b':
        if (col_ > 0)
            --col_;
        return;
    case '\t':
        col_ = std::min<size_t>((col_ / TabWidth + 1) * TabWidth, MaxLine);
        return;
    case 0x07: // bell
        return;
    default:
        // Shown as a sign, never obeyed: U+2400.. for C0, U+2421 for DEL, U+FFFD for C1.
        text(c < 0x20 ? 0x2400 + c : c == 0x7F ? 0x2421 : Replacement);
    }
}

void ConsoleScreen::sequenceEnd(char32_t final) {
    if (final != 'K')
        return; // colours, cursor moves and the like: not shown
    const int mode = params_.isEmpty() ? 0 : params_.toInt();
    if (mode == 0) {
        if (col_ < line_.size())
            line_.resize(col_);
    } else if (mode == 1) {
        for (size_t i = 0; i <= col_ && i < line_.size(); ++i)
            line_[i] = U' ';
    } else if (mode == 2) {
        line_.clear();
    }
}

} // namespace commands
