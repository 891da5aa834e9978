#include "app/Messenger.h"

#include "Version.h"

#include <QMessageBox>

QString applicationTitle() {
    return QStringLiteral("WinYk v" WINYK_VERSION);
}

QString errorReportText(const QString &message) {
    if (!message.isEmpty() && message.back() > QLatin1Char('.'))
        return message + QLatin1Char('.');
    return message;
}

void Messenger::message(QWidget *parent, const QString &text) {
    QMessageBox box(QMessageBox::NoIcon, applicationTitle(), text, QMessageBox::Ok, parent);
    box.exec();
}

void Messenger::error(QWidget *parent, const QString &text) {
    QMessageBox box(QMessageBox::Critical, applicationTitle(), text, QMessageBox::Ok, parent);
    box.exec();
}
