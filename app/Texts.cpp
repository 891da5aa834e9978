#include "app/Texts.h"

#include "platform/Launcher.h"

#include "Version.h"

#include <cstring>

namespace texts {

QString applicationTitle() {
    return QStringLiteral("WinYk v" WINYK_VERSION);
}

QString errorReportText(const QString &message) {
    if (!message.isEmpty() && message.back() > QLatin1Char('.'))
        return message + QLatin1Char('.');
    return message;
}

QString unknownErrorText() {
    return QStringLiteral("Unknown error");
}

QString cannotOpenText(const QByteArray &path) {
    return QStringLiteral("Cannot open file %1").arg(QString::fromUtf8(path));
}

QString cannotCreateText(const QByteArray &path) {
    return QStringLiteral("Cannot create file %1").arg(QString::fromUtf8(path));
}

QString launchFailedText(const platform::LaunchError &error) {
    const QString start = QString::fromUtf8("Не удалось запустить архиватор: ");
    const QString path = QString::fromUtf8(error.path);
    switch (error.reason) {
    case platform::LaunchError::None:
        return {};
    case platform::LaunchError::BadLine:
        return start + QString::fromUtf8("пустая командная строка.");
    case platform::LaunchError::NotFound:
        return start + QString::fromUtf8("программа %1 не найдена ни в каталоге WinYk, ни в "
                                         "каталогах PATH.")
                           .arg(path);
    case platform::LaunchError::NotExecutable:
        return start + QString::fromUtf8("файл %1 нельзя запустить: нет права на выполнение "
                                         "или это не программа.")
                           .arg(path);
    case platform::LaunchError::TooLong:
        return start + QString::fromUtf8("командная строка длиннее, чем позволяет система. "
                                         "Отметьте меньше файлов.");
    case platform::LaunchError::NoDirectory:
        return start + QString::fromUtf8("нельзя войти в каталог %1.").arg(path);
    case platform::LaunchError::NoResources:
        return start + QString::fromUtf8("системе не хватает ресурсов для нового процесса.");
    case platform::LaunchError::Other:
        break;
    }
    return start + QString::fromUtf8("ошибка системы %1 (%2).")
                       .arg(error.systemError)
                       .arg(QString::fromLocal8Bit(std::strerror(error.systemError)));
}

QString addTooLongText() {
    return QString::fromUtf8("Сумма длин имен отмеченных файлов больше 255 символов :-(");
}

QString notAnArchiveText() {
    return QString::fromUtf8("Это не архив YK!");
}

QString deleteFailedText(const QByteArray &name) {
    return QString::fromUtf8(name) + QString::fromUtf8(" - файл не существует!");
}

QString fileNameText(const QString &name) {
    return QStringLiteral(" Файл: ") + name;
}

QString sizeText(qint64 size, int unitIndex) {
    QString prefix;
    if (unitIndex == 1) {
        size /= 1024;
        prefix = QStringLiteral("К");
    } else if (unitIndex == 2) {
        size = size / 1024 / 1024;
        prefix = QStringLiteral("М");
    }
    return QStringLiteral(" Размер: ") + QString::number(size) + QLatin1Char(' ') + prefix +
           QStringLiteral("байт");
}

QString fileTimeText(qint64 mtimeSecondsSinceEpoch) {
    QDateTime local = QDateTime::fromSecsSinceEpoch(mtimeSecondsSinceEpoch, Qt::LocalTime);
    const int year = local.date().year();
    if (year >= 1980 && year <= 2107) {
        const QTime t = local.time();
        local.setTime(QTime(t.hour(), t.minute(), t.second() & ~1));
    }
    return local.toString(QStringLiteral("dd.MM.yyyy  hh:mm:ss"));
}

QString clockText(const QDateTime &now) {
    return now.toString(QStringLiteral("hh:mm:ss   dd.MM.yyyy"));
}

} // namespace texts
