#pragma once
// The set-up of a child between fork and exec, shared by every way we start programs.
// Not part of the platform interface.

#include <QByteArray>
#include <QList>

#include <sys/types.h>
#include <vector>

namespace platform::posix {

// Moves a descriptor clear of 0..2, which the child overwrites; closes the original.
int aboveStdStreams(int fd);

// The highest descriptor to mark by hand on kernels without close_range: sysconf is not safe
// to call after fork, so this is read before it.
int descriptorLimit();

// The strings of store as the null-ended array exec takes, pointing into store; empty when one
// holds a NUL, which exec could not pass.
std::vector<char *> execArray(QList<QByteArray> &store);

// Both starts fill it by a brace list, in the order of its fields.
struct ExecPlan {
    const char *program = nullptr;
    char *const *argv = nullptr;
    char *const *envp = nullptr;
    const char *workingDir = nullptr; // entered first when not null
    int streamFd = -1;                // becomes the standard streams
    bool controllingTty = false;      // streamFd is a terminal to make the controlling one
    int reportFd = -1;                // close-on-exec; receives the errno of a failure
    int maxFd = 0;                    // descriptorLimit()
    bool orphan = false;              // started by a middle child that ends at once
};

// Runs in the child after fork: async-signal-safe calls only. An orphan plan forks again and
// ends, leaving the program to init (a fork that fails is reported). Starts a session, takes the
// streams, leaves no other descriptor of ours across exec, resets signal dispositions and mask,
// enters the directory and executes. On failure writes the errno to reportFd (negated when the
// directory could not be entered) and exits 127.
[[noreturn]] void execPlanned(const ExecPlan &plan);

// Forks with every signal blocked, so that no handler of ours runs in the child before exec
// (execPlanned clears the child's mask). The parent's mask is restored; when the fork fails
// *forkErr holds its errno.
pid_t forkBlocked(int *forkErr);

// Writes err to fd for the parent; safe after fork.
void reportErrno(int fd, int err);

// Reads the report of a start: 0 when exec succeeded (end of file), else the value written
// (EIO when it came short). Closes fd.
int readReport(int fd);

} // namespace platform::posix
