#pragma once
// The question asked before an existing file is replaced during extraction.

#include <cstdio>
#include <string>

namespace yk {

enum class Answer { Yes, No, All, Quit, Unknown };

// Reads one reply line: y/n/a/q, or the Russian д (да), н (нет), в (все), any case.
Answer parseAnswer(const std::string &reply);

class OverwritePrompt {
public:
    // `interactive` is whether a person can answer (stdin is a terminal); `yesToAll` is "y".
    OverwritePrompt(bool interactive, bool yesToAll, FILE *in, FILE *out);

    // Asks about `name` until the reply is understood. With "y" or after "all" returns Yes
    // without asking; with no one to ask returns No. End of input counts as Quit.
    Answer ask(const std::string &name);

    bool interactive() const { return interactive_; }

private:
    bool interactive_;
    bool all_;
    FILE *in_;
    FILE *out_;
};

} // namespace yk
