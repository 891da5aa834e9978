#pragma once
// Tries terminal emulators in turn for one program shown in a console window, on the event
// loop. Not part of the platform interface.
#include "platform/Console.h"

#include <QObject>

class QTimer;

namespace platform::posix {

class ChildWatch;

// Each try gets a claim file of its own in a private directory; the wrapper in the terminal
// creates it (exclusively) before it runs the program. A try that ends with a failure, or
// has not claimed within its time, is given up by creating its claim ourselves, so that a
// window that shows late runs nothing; if our create finds the claim already made, the try
// won after all. So the program runs exactly once. When every terminal has been given up
// the program runs without a window. The object deletes itself once the run is placed and
// every terminal it started has ended (it reaps them). When the program ends before the try
// running has claimed the run, that try is given up and the program runs without a window;
// the directory goes in every case.
class ConsoleStart : public QObject {
    Q_OBJECT
public:
    ConsoleStart(QList<Terminal> terminals, QList<QByteArray> argv, QByteArray workingDir,
                 QList<QByteArray> env, int tryTime, QObject *parent);
    // Makes the claim directory and starts the first try. False (and deletes itself later)
    // when the directory cannot be made.
    bool begin();
    // The program ends: a try not yet claimed is given up and the program runs without a
    // window; the directory is removed.
    ~ConsoleStart() override;

private:
    QByteArray claimPath(int index) const;
    bool claimed(int index) const;
    // Gives a try up by making its claim ourselves. False when its wrapper had claimed it.
    bool takeBack(int index) const;
    void tryNext();
    void check();
    void giveUp();
    void placed();
    void runWithoutWindow();
    void finishWhenIdle();

    QList<Terminal> terminals_;
    QList<QByteArray> argv_;
    QByteArray workingDir_;
    QList<QByteArray> env_;
    QByteArray dir_;
    int current_ = -1;
    bool placed_ = false;
    ChildWatch *watch_ = nullptr; // the current try's terminal
    QTimer *poll_;
    QTimer *deadline_;
};

} // namespace platform::posix
