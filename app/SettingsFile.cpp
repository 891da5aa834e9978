#include "app/SettingsFile.h"

#include "platform/FileStatus.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace settings {

QByteArray filePath(const QByteArray &configDirectory) {
    return configDirectory + "/yk32.ini";
}

ReadResult read(const QByteArray &path) {
    ReadResult result;
    const platform::FileKind kind = platform::fileKind(path);
    if (kind == platform::FileKind::Missing || kind == platform::FileKind::Directory)
        return result;
    // Only a regular file is read: opening a FIFO or a device could block or have effects.
    if (kind != platform::FileKind::Regular) {
        result.status = ReadResult::Unreadable;
        return result;
    }
    QFile file(QFile::decodeName(path));
    if (!file.open(QIODevice::ReadOnly)) {
        result.status = ReadResult::Unreadable;
        return result;
    }
    QByteArray line = file.readLine();
    if (file.error() != QFile::NoError) {
        result.status = ReadResult::Unreadable;
        return result;
    }
    while (line.endsWith('\n') || line.endsWith('\r'))
        line.chop(1);
    result.status = ReadResult::Ok;
    result.firstLine = line;
    return result;
}

bool write(const QByteArray &path, const QByteArray &directory) {
    const QString name = QFile::decodeName(path);
    QDir().mkpath(QFileInfo(name).absolutePath());
    QSaveFile file(name);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(directory + "\r\n");
    return file.commit();
}

QString cannotOpenText(const QByteArray &path) {
    return QStringLiteral("Cannot open file %1").arg(QString::fromUtf8(path));
}

QString cannotCreateText(const QByteArray &path) {
    return QStringLiteral("Cannot create file %1").arg(QString::fromUtf8(path));
}

} // namespace settings
