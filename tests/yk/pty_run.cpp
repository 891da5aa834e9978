// Runs a command on a pseudo-terminal and answers its questions, as a person at a terminal
// would: each time the output shows a question (a line ending in ": " after "[q]"), the next
// answer is typed. Prints everything the command wrote; exits with the command's status, or 124
// when it does not finish within the time limit.
// Usage: yk_pty_run "ANSWER1 ANSWER2 ..." COMMAND [ARG...]

#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

int main(int argc, char **argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: yk_pty_run \"ANSWERS\" COMMAND [ARG...]\n");
        return 2;
    }
    std::vector<std::string> answers;
    std::istringstream words(argv[1]);
    for (std::string w; words >> w;)
        answers.push_back(w);

    int master = -1;
    const pid_t pid = forkpty(&master, nullptr, nullptr, nullptr);
    if (pid < 0) {
        std::perror("forkpty");
        return 2;
    }
    if (pid == 0) {
        execvp(argv[2], argv + 2);
        std::perror("execvp");
        _exit(127);
    }
    std::string seen;
    size_t answered = 0, questions = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    for (;;) {
        if (std::chrono::steady_clock::now() > deadline) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
            std::fwrite(seen.data(), 1, seen.size(), stdout);
            std::fprintf(stderr, "timeout\n");
            return 124;
        }
        pollfd p{master, POLLIN, 0};
        if (poll(&p, 1, 200) > 0) {
            char buf[4096];
            const ssize_t n = read(master, buf, sizeof buf);
            if (n <= 0)
                break; // the command closed the terminal: it has ended
            seen.append(buf, static_cast<size_t>(n));
            // Count the questions asked so far; answer each new one once.
            size_t count = 0;
            for (size_t at = seen.find("[q]"); at != std::string::npos;
                 at = seen.find("[q]", at + 3))
                ++count;
            while (questions < count) {
                ++questions;
                const std::string reply =
                    (answered < answers.size() ? answers[answered++] : "") + "\n";
                if (write(master, reply.data(), reply.size()) < 0)
                    break;
            }
        }
    }
    int status = 0;
    waitpid(pid, &status, 0);
    std::fwrite(seen.data(), 1, seen.size(), stdout);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}
