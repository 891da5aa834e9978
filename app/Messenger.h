#pragma once
// The program's message boxes. Windows show messages through a Messenger so that tests can
// record them instead of blocking on a modal box.
#include <QString>

class QWidget;

class Messenger {
public:
    virtual ~Messenger() = default;
    // A plain modal box with one OK button, captioned with the application title.
    virtual void message(QWidget *parent, const QString &text);
    // The error report: the same box with an error icon.
    virtual void error(QWidget *parent, const QString &text);
};
