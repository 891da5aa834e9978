#include "app/Messenger.h"

#include "app/Texts.h"

#include <QMessageBox>

void Messenger::message(QWidget *parent, const QString &text) {
    QMessageBox box(QMessageBox::NoIcon, texts::applicationTitle(), text, QMessageBox::Ok, parent);
    box.exec();
}

void Messenger::error(QWidget *parent, const QString &text) {
    QMessageBox box(QMessageBox::Critical, texts::applicationTitle(), text, QMessageBox::Ok,
                    parent);
    box.exec();
}
