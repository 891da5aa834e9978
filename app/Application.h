#pragma once
// The application object: catches an error that escapes an event handler, shows the error
// report and lets the program go on with the next event.
#include <QApplication>

class Messenger;

class Application : public QApplication {
    Q_OBJECT
public:
    Application(int &argc, char **argv);
    void setMessenger(Messenger *messenger) { m_messenger = messenger; }
    bool notify(QObject *receiver, QEvent *event) override;

private:
    Messenger *m_messenger = nullptr;
};
