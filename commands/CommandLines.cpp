#include "commands/CommandLines.h"

#include "platform/CommandLine.h"
#include "platform/Files.h"

#include <algorithm>

namespace commands {

namespace {

QByteArray extensionOf(const QByteArray &name) {
    const int dot = int(name.lastIndexOf('.'));
    return dot < 0 ? QByteArray() : name.mid(dot);
}

int sequenceLength(unsigned char lead) {
    if (lead >= 0xC2 && lead <= 0xDF)
        return 2;
    if (lead >= 0xE0 && lead <= 0xEF)
        return 3;
    if (lead >= 0xF0 && lead <= 0xF4)
        return 4;
    return 1;
}

bool holdsWildcard(const QByteArray &name) {
    return name.contains('*') || name.contains('?');
}

// The add line; quoted for the launcher, or as it reads before our quoting and our literal
// names switch, which is what the button's length limit counts.
QByteArray composeAdd(ArchiverOptions options, const QByteArray &archiveName,
                      const QList<QByteArray> &names, bool allFiles, bool quoted) {
    // The selected names are files, never patterns: one that holds '*' or '?' must not take
    // its neighbours along, so the archiver is told to read every name literally. The
    // program's own "*.*" stays a pattern.
    if (quoted && !allFiles && std::any_of(names.begin(), names.end(), holdsWildcard))
        options.switches.set(yk::Switch::LiteralNames);
    const QByteArray run = switchRun(Command::Add, options);
    auto piece = [quoted](const QByteArray &text) {
        return quoted ? platform::quoteArgument(text) : text;
    };
    QByteArray line = QByteArray(ProgramName) + ' ' + run + ' ' + piece(archiveName) + ' ';
    if (allFiles)
        return line + AllFiles;
    for (const QByteArray &name : names)
        line += piece(name) + ' ';
    return line;
}

} // namespace

QByteArray switchRun(Command command, const ArchiverOptions &options) {
    return QByteArray::fromStdString(yk::composeWord({command, options.switches, options.method}));
}

platform::ShowMode showMode(Command command, const ArchiverOptions &options) {
    return yk::windowless({command, options.switches}) ? platform::ShowHidden
                                                       : platform::ShowNormal;
}

bool wantsShortForm(const QByteArray &name) {
    return lineLength(extensionOf(name)) > 3;
}

bool isArchivePath(const QByteArray &path) {
    return yk::hasArchiveExtension(std::string_view(path.constData(), size_t(path.size())));
}

int lineLength(const QByteArray &line) {
    int count = 0;
    const int n = int(line.size());
    for (int i = 0; i < n; ++count) {
        const int len = sequenceLength(static_cast<unsigned char>(line[i]));
        bool whole = len > 1 && i + len <= n;
        for (int k = 1; whole && k < len; ++k)
            whole = (static_cast<unsigned char>(line[i + k]) & 0xC0) == 0x80;
        i += whole ? len : 1;
    }
    return count;
}

QByteArray addCommandLine(const ArchiverOptions &options, const QByteArray &archiveName,
                          const QList<QByteArray> &names, bool allFiles) {
    return composeAdd(options, archiveName, names, allFiles, true);
}

QByteArray archiveCommandLine(Command command, const ArchiverOptions &options,
                              const QByteArray &archive) {
    return QByteArray(ProgramName) + ' ' + switchRun(command, options) + ' ' +
           platform::quoteArgument(archive);
}

std::optional<Launch> planAdd(AddPath path, const AddRequest &request) {
    const bool byButton = path == AddPath::Button;
    QList<QByteArray> names;
    for (const QByteArray &name : request.selectedNames) {
        if (byButton && wantsShortForm(name)) {
            // A name whose short form cannot be had (it vanished) goes as listed.
            const std::optional<QByteArray> shortForm =
                platform::shortPathName(platform::joinPath(request.directory, name));
            names.append(shortForm ? shortForm->mid(shortForm->lastIndexOf('/') + 1) : name);
        } else {
            names.append(name);
        }
    }
    const bool allFiles = byButton && request.allFiles;
    const QByteArray line = addCommandLine(request.options, request.archiveName, names, allFiles);
    if (byButton && lineLength(composeAdd(request.options, request.archiveName, names, allFiles,
                                          false)) >= AddLineLimit)
        return std::nullopt;
    return Launch{line, showMode(Command::Add, request.options)};
}

std::optional<Launch> planArchiveCommand(Command command, const ArchiverOptions &options,
                                         const QByteArray &currentFile) {
    if (currentFile.isEmpty() || !isArchivePath(currentFile))
        return std::nullopt;
    // An archive whose short form cannot be had (it vanished) goes by its full path: the
    // archiver then reports it missing.
    const QByteArray archive = platform::shortPathName(currentFile).value_or(currentFile);
    return Launch{archiveCommandLine(command, options, archive), showMode(command, options)};
}

} // namespace commands
