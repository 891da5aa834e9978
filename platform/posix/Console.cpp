#include "platform/Console.h"

#include "platform/Files.h"
#include "platform/Launcher.h"
#include "platform/posix/ConsoleStart.h"
#include "platform/posix/Spawn.h"

#include <QCoreApplication>
#include <QDir>

#include <clocale>
#include <cstdlib>
#include <cstring>
#include <langinfo.h>
#include <locale.h>
#include <unistd.h>

extern char **environ;

namespace platform {

namespace {

// Claims the run (noclobber makes the redirection an exclusive create), runs the program,
// then keeps the window open so that its output can be read. The claim and the program with
// its arguments arrive as "$@": the shell parses nothing of them, and needs no other program.
constexpr char ConsoleWrapper[] =
    "set -C; true 2>/dev/null >\"$1\" || exit 0; set +C; shift; "
    "\"$@\"; printf '\\n%s' 'Нажмите Enter, чтобы закрыть окно.'; read -r _";
constexpr char ConsoleName[] = "yk-console";

// Terminal emulators and the options after which they take a program and its arguments
// (empty: the program follows directly).
struct KnownTerminal {
    const char *name;
    const char *option;
};
constexpr KnownTerminal KnownTerminals[] = {
    {"x-terminal-emulator", "-e"},
    {"xterm", "-e"},
    {"urxvt", "-e"},
    {"konsole", "-e"},
    {"xfce4-terminal", "-x"},
    {"mate-terminal", "-x"},
    {"gnome-terminal", "--"},
    {"lxterminal", "-e"},
    {"qterminal", "-e"},
    {"terminator", "-x"},
    {"tilix", "-e"},
    {"alacritty", "-e"},
    {"kitty", ""},
    {"foot", ""},
    {"uxterm", "-e"},
    {"lxterm", "-e"},
    {"rxvt", "-e"},
    {OwnConsoleName, "-e"},
};

struct ConsoleOverrides {
    QList<QList<QByteArray>> candidates;
    int tryTime = 0;
};
ConsoleOverrides &overrides() {
    static ConsoleOverrides o;
    return o;
}

QByteArray optionFor(const QByteArray &program) {
    const QByteArray base = program.mid(program.lastIndexOf('/') + 1);
    for (const KnownTerminal &t : KnownTerminals)
        if (base == t.name)
            return t.option;
    return "-e";
}

// A program name found in dirs (a name with a '/' is taken as it is); empty when not found.
QByteArray lookUp(const QByteArray &name, const QList<QByteArray> &dirs) {
    if (name.isEmpty() || name.contains('\0'))
        return {};
    if (name.contains('/'))
        return posix::isExecutableFile(name) ? name : QByteArray();
    for (const QByteArray &dir : dirs) {
        const QByteArray path = joinPath(dir, name);
        if (posix::isExecutableFile(path))
            return path;
    }
    return {};
}

QList<QList<QByteArray>> usualCandidates() {
    QList<QList<QByteArray>> list;
    const QByteArray chosen = qgetenv("TERMINAL").trimmed();
    if (!chosen.isEmpty())
        list.append({chosen, optionFor(chosen)});
    for (const KnownTerminal &t : KnownTerminals) {
        if (qstrcmp(t.name, OwnConsoleName) == 0)
            continue;
        QList<QByteArray> entry{t.name};
        if (*t.option)
            entry.append(t.option);
        list.append(entry);
    }
    return list;
}

bool isUtf8Locale(const char *name) {
    const locale_t loc = ::newlocale(LC_CTYPE_MASK, name, locale_t(nullptr));
    if (loc == locale_t(nullptr))
        return false;
    const bool utf8 = std::strcmp(::nl_langinfo_l(CODESET, loc), "UTF-8") == 0;
    ::freelocale(loc);
    return utf8;
}

} // namespace

QList<Terminal> findTerminals() {
    const bool overridden = !overrides().candidates.isEmpty();
    if (!overridden && qgetenv("DISPLAY").isEmpty() && qgetenv("WAYLAND_DISPLAY").isEmpty())
        return {};
    const QList<QByteArray> dirs = searchPath().split(':');
    QList<Terminal> found;
    auto add = [&found](const QByteArray &program, const QList<QByteArray> &options) {
        for (const Terminal &t : found)
            if (t.program == program && t.execOptions == options)
                return;
        found.append({program, options});
    };
    for (const QList<QByteArray> &c : overridden ? overrides().candidates : usualCandidates()) {
        if (c.isEmpty())
            continue;
        const QByteArray program = lookUp(c.first(), dirs);
        if (!program.isEmpty())
            add(program, c.mid(1));
    }
    if (!overridden) {
        QList<QByteArray> own = dirs;
        own.prepend(ownDirectory());
        const QByteArray program = lookUp(OwnConsoleName, own);
        if (!program.isEmpty())
            add(program, {"-e"});
    }
    return found;
}

QList<QByteArray> consoleArguments(const Terminal &terminal, const QByteArray &claim,
                                   const QList<QByteArray> &argv) {
    QList<QByteArray> args{terminal.program};
    args += terminal.execOptions;
    args += {"/bin/sh", "-c", ConsoleWrapper, ConsoleName, claim};
    args += argv;
    return args;
}

QList<QByteArray> consoleEnvironment(const QList<QByteArray> &env) {
    // The locale that decides the characters: the first of these that is set and not empty.
    QByteArray chosen;
    for (const char *name : {"LC_ALL=", "LC_CTYPE=", "LANG="}) {
        for (const QByteArray &e : env) {
            if (e.startsWith(name) && e.size() > int(std::strlen(name))) {
                chosen = e.mid(int(std::strlen(name)));
                break;
            }
        }
        if (!chosen.isEmpty())
            break;
    }
    if (!chosen.isEmpty() && isUtf8Locale(chosen.constData()))
        return env;
    QList<QByteArray> result;
    for (const QByteArray &e : env)
        if (!e.startsWith("LC_ALL="))
            result.append(e);
    result.append("LC_ALL=C.UTF-8");
    return result;
}

bool startConsole(const QList<QByteArray> &argv, const QByteArray &workingDir) {
    if (argv.isEmpty() || !QCoreApplication::instance())
        return false;
    const QList<Terminal> terminals = findTerminals();
    if (terminals.isEmpty())
        return false;
    QList<QByteArray> env;
    for (char **e = environ; *e; ++e)
        env.append(*e);
    auto *start = new posix::ConsoleStart(terminals, argv, workingDir, consoleEnvironment(env),
                                          overrides().tryTime > 0 ? overrides().tryTime : 10000,
                                          QCoreApplication::instance());
    return start->begin();
}

void setTerminalCandidates(const QList<QList<QByteArray>> &candidates) {
    overrides().candidates = candidates;
}

void setConsoleTryTime(int milliseconds) {
    overrides().tryTime = milliseconds;
}

} // namespace platform
