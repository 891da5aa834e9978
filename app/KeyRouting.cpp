#include "app/KeyRouting.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

void HeldKeys::released(const QKeyEvent *key) {
    m_key = key->key();
    m_at = key->timestamp();
}

bool HeldKeys::isRepeat(const QKeyEvent *press) const {
    return press->isAutoRepeat() || (press->key() == m_key && m_at != 0 &&
                                     press->timestamp() >= m_at && press->timestamp() - m_at <= 10);
}

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
    if (event->type() == QEvent::KeyRelease && inWindow(watched)) {
        m_held.released(static_cast<QKeyEvent *>(event));
    } else if (event->type() == QEvent::ShortcutOverride && inWindow(watched)) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (isActionShortcut(key->keyCombination().toCombined())) {
            if (m_held.isRepeat(key) && key->timestamp() != 0) {
                // A held shortcut's repeat: claimed here so that the shortcut does not run
                // again, and its key press is dropped below.
                m_dropped = key->timestamp();
                event->accept();
                return true;
            }
            // Not claimed by the control: the shortcut runs and the control never sees the key.
            event->ignore();
            return true;
        }
    } else if (event->type() == QEvent::KeyPress && inWindow(watched) && m_dropped != 0 &&
               static_cast<QKeyEvent *>(event)->timestamp() == m_dropped) {
        m_dropped = 0;
        return true;
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
        m_held.released(static_cast<QKeyEvent *>(event));
    } else if (event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        const QString text = key->text();
        if (!text.isEmpty())
            m_handler(text.at(0), m_held.isRepeat(key));
    }
    return QObject::eventFilter(watched, event);
}
