#include "app/StatusTexts.h"

namespace status {

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

} // namespace status
