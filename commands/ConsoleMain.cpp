// yk32-console: the console window of our own, started like a terminal emulator:
//   yk32-console [-e] PROGRAM [ARGUMENT...]
// It runs PROGRAM on a pseudo-terminal and closes when it ends.
#include "commands/ConsoleWindow.h"

#include <QApplication>
#include <QFile>
#include <QStandardPaths>

#include <cstdio>
#include <cstring>

extern char **environ;

int main(int argc, char **argv) {
    // The program and its arguments are taken before Qt reads the command line: it would take
    // arguments such as "-style" or "-title" (a file name, say) for its own.
    QList<QByteArray> args;
    int i = 1;
    if (i < argc && std::strcmp(argv[i], "-e") == 0)
        ++i;
    for (; i < argc; ++i)
        args.append(argv[i]);
    if (args.isEmpty()) {
        std::fputs("usage: yk32-console [-e] PROGRAM [ARGUMENT...]\n", stderr);
        return 2;
    }
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    app.setQuitOnLastWindowClosed(false);

    if (!args.first().contains('/')) {
        const QString found = QStandardPaths::findExecutable(QFile::decodeName(args.first()));
        if (found.isEmpty()) {
            std::fprintf(stderr, "yk32-console: %s: not found\n", args.first().constData());
            return 127;
        }
        args.first() = QFile::encodeName(found);
    }
    // The window understands no terminal commands beyond line editing.
    QList<QByteArray> env;
    for (char **e = environ; *e; ++e)
        if (std::strncmp(*e, "TERM=", 5) != 0)
            env.append(*e);
    env.append("TERM=dumb");

    commands::ConsoleWindow window;
    if (!window.start(args, env)) {
        std::fprintf(stderr, "yk32-console: %s: %s\n", args.first().constData(),
                     qPrintable(window.errorText()));
        return 127;
    }
    QObject::connect(&window, &commands::ConsoleWindow::done, &app, &QCoreApplication::quit);
    window.show();
    return app.exec();
}
