#include "commands/CommandLines.h"

#include "platform/CommandLine.h"
#include "platform/Files.h"

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

} // namespace

QString addTooLongText() {
    return QString::fromUtf8("Сумма длин имен отмеченных файлов больше 255 символов :-(");
}

QString notAnArchiveText() {
    return QString::fromUtf8("Это не архив YK!");
}

QString deleteFailedText(const QByteArray &name) {
    return QString::fromUtf8(name) + QString::fromUtf8(" - файл не существует!");
}

bool wantsShortForm(const QByteArray &name) {
    return lineLength(extensionOf(name)) > 3;
}

bool isArchivePath(const QByteArray &path) {
    const QByteArray name = path.mid(path.lastIndexOf('/') + 1);
    return extensionOf(name).toUpper() == ".YK";
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
    QByteArray line = QByteArray(ProgramName) + ' ' + switchRun(Command::Add, options) + ' ' +
                      platform::quoteArgument(archiveName) + ' ';
    if (allFiles)
        return line + AllFiles;
    for (const QByteArray &name : names)
        line += platform::quoteArgument(name) + ' ';
    return line;
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
    const QByteArray line =
        addCommandLine(request.options, request.archiveName, names, byButton && request.allFiles);
    if (byButton && lineLength(line) >= AddLineLimit)
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
