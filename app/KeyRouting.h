#pragma once
// Routes keys in one window: a key that is the shortcut of one of the window's actions runs it
// in every control (line edits would otherwise claim keys like Delete for themselves), and
// every typed character is shown to the window before the focused control sees it.
#include <QObject>
#include <functional>

class QWidget;

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
};

// Shows every character typed into one control to a handler before the control gets it, with
// whether it is a repeat of a held key; the control still receives the key. An X server repeats
// a held key as a release and a press with one time stamp; Qt marks that press as a repeat only
// when the press has already arrived as it handles the release, which it mostly has not, so such
// a press counts as a repeat here too.
class KeyPressTap : public QObject {
    Q_OBJECT
public:
    KeyPressTap(QWidget *control, std::function<void(QChar, bool repeated)> handler);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    std::function<void(QChar, bool)> m_handler;
    int m_releasedKey = 0; // the last key let go, and when (the server's milliseconds)
    quint64 m_releasedAt = 0;
};
