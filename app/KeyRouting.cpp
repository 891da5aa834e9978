#include "app/KeyRouting.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

KeyRouting::KeyRouting(QWidget *window, KeyPreview preview)
    : QObject(window), m_window(window), m_preview(std::move(preview)) {
    qApp->installEventFilter(this);
}

bool KeyRouting::inWindow(QObject *watched) const {
    auto *widget = qobject_cast<QWidget *>(watched);
    return widget && widget->window() == m_window;
}

bool KeyRouting::isActionShortcut(int keyCombination) const {
    const QKeySequence pressed(keyCombination);
    const QList<QAction *> actions = m_window->findChildren<QAction *>();
    for (const QAction *action : actions)
        for (const QKeySequence &shortcut : action->shortcuts())
            if (shortcut == pressed)
                return true;
    return false;
}

bool KeyRouting::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() == QEvent::ShortcutOverride && inWindow(watched)) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (isActionShortcut(key->keyCombination().toCombined())) {
            // Not claimed by the control: the shortcut runs and the control never sees the key.
            event->ignore();
            return true;
        }
    } else if (event->type() == QEvent::KeyPress && inWindow(watched) && m_preview) {
        auto *key = static_cast<QKeyEvent *>(event);
        // A key event travels up from the focused control; preview it once, at the control.
        if (watched == QApplication::focusWidget() || watched == m_window) {
            const QString text = key->text();
            if (!text.isEmpty())
                m_preview(text.at(0));
        }
    }
    return QObject::eventFilter(watched, event);
}

KeyPressTap::KeyPressTap(QWidget *control, std::function<void(QChar, bool)> handler)
    : QObject(control), m_handler(std::move(handler)) {
    control->installEventFilter(this);
}

bool KeyPressTap::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() == QEvent::KeyRelease) {
        const auto *key = static_cast<QKeyEvent *>(event);
        m_releasedKey = key->key();
        m_releasedAt = key->timestamp();
    } else if (event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        // No hand lets a key go and presses it again within 10 ms. Events without a time stamp
        // (0) are never taken for repeats this way.
        const bool serverRepeat = key->key() == m_releasedKey && m_releasedAt != 0 &&
                                  key->timestamp() >= m_releasedAt &&
                                  key->timestamp() - m_releasedAt <= 10;
        const QString text = key->text();
        if (!text.isEmpty())
            m_handler(text.at(0), key->isAutoRepeat() || serverRepeat);
    }
    return QObject::eventFilter(watched, event);
}
