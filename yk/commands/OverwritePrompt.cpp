#include "commands/OverwritePrompt.h"

#include "commands/Messages.h"

namespace yk {

Answer parseAnswer(const std::string &reply) {
    size_t b = 0, e = reply.size();
    while (b < e && (reply[b] == ' ' || reply[b] == '\t'))
        ++b;
    while (e > b && (reply[e - 1] == ' ' || reply[e - 1] == '\t' || reply[e - 1] == '\n' ||
                     reply[e - 1] == '\r'))
        --e;
    const std::string r = reply.substr(b, e - b);
    const struct {
        const char *latin;
        const char *const *russian; // both cases, or none
        Answer answer;
    } replies[] = {{"y", msg::replyYes, Answer::Yes},
                   {"n", msg::replyNo, Answer::No},
                   {"a", msg::replyAll, Answer::All},
                   {"q", nullptr, Answer::Quit}};
    for (const auto &reply : replies) {
        if (r.size() == 1 && (r[0] | 0x20) == reply.latin[0])
            return reply.answer;
        if (reply.russian && (r == reply.russian[0] || r == reply.russian[1]))
            return reply.answer;
    }
    return Answer::Unknown;
}

OverwritePrompt::OverwritePrompt(bool interactive, bool yesToAll, FILE *in, FILE *out)
    : interactive_(interactive), all_(yesToAll), in_(in), out_(out) {}

Answer OverwritePrompt::ask(const std::string &name) {
    if (all_)
        return Answer::Yes;
    if (!interactive_)
        return Answer::No;
    for (;;) {
        std::fputs(msg::overwritePrompt(name).c_str(), out_);
        std::fflush(out_);
        std::string reply;
        int c;
        while ((c = std::fgetc(in_)) != EOF && c != '\n')
            reply += static_cast<char>(c);
        if (c == EOF && reply.empty()) {
            std::fputc('\n', out_);
            return Answer::Quit;
        }
        const Answer a = parseAnswer(reply);
        if (a == Answer::All)
            all_ = true;
        if (a == Answer::All)
            return Answer::Yes;
        if (a != Answer::Unknown)
            return a;
    }
}

} // namespace yk
