#pragma once
// Routes keys in one window: a key that is the shortcut of one of the window's actions runs it
// in every control (line edits would otherwise claim keys like Delete for themselves), once
// however long it is held, and every typed character is shown to the window before the focused
// control sees it.
#include <QObject>
#include <functional>

class QKeyEvent;
class QWidget;

// Tells a held key's repeats from presses. An X server repeats a held key as a release and a
// press with one time stamp; Qt marks that press as a repeat only when the press has already
// arrived as it handles the release, which it mostly has not. So a press of the key last let
// go, within 10 ms of it (faster than any hand), is a repeat too.
class HeldKeys {
public:
    void released(const QKeyEvent *key);
    bool isRepeat(const QKeyEvent *press) const;

private:
    int m_key = 0; // the last key let go, and when (the server's milliseconds; 0: unknown)
    quint64 m_at = 0;
};

class KeyRouting : public QObject {
    Q_OBJECT
public:
    using KeyPreview = std::function<void(QChar)>;
    // Installs itself on the application; keys count only in window's own controls.
    KeyRouting(QWidget *window, KeyPreview preview);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool inWindow(QObject *watched) const;
    bool isActionShortcut(int keyCombination) const;

    QWidget *m_window;
    KeyPreview m_preview;
    HeldKeys m_held;
    quint64 m_dropped = 0; // the time stamp of a held shortcut's repeat, whose press goes too
};

// Shows every character typed into one control to a handler before the control gets it, with
// whether it is a repeat of a held key; the control still receives the key.
class KeyPressTap : public QObject {
    Q_OBJECT
public:
    KeyPressTap(QWidget *control, std::function<void(QChar, bool repeated)> handler);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    std::function<void(QChar, bool)> m_handler;
    HeldKeys m_held;
};
