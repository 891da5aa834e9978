#include "XPMenu.h"

#include "XPStyle.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTextEdit>
#include <QToolBar>
#include <QToolButton>

namespace {
// The kinds of controls the look restyles, each with the widget class that stands for it here.
struct Kind {
    const char *name;
    const char *widgetClass;
};
constexpr Kind Kinds[] = {
    {"xcMainMenu", "QMenuBar"},  {"xcPopupMenu", "QMenu"},    {"xcToolbar", "QToolBar"},
    {"xcControlbar", "QFrame"},  {"xcCombo", "QComboBox"},    {"xcListBox", "QAbstractItemView"},
    {"xcEdit", "QLineEdit"},     {"xcMaskEdit", "QLineEdit"}, {"xcMemo", "QPlainTextEdit"},
    {"xcRichEdit", "QTextEdit"}, {"xcCheckBox", "QCheckBox"}, {"xcRadioButton", "QRadioButton"},
    {"xcButton", "QPushButton"}, {"xcBitBtn", "QPushButton"}, {"xcSpeedButton", "QToolButton"},
    {"xcPanel", "QFrame"},       {"xcGroupBox", "QGroupBox"},
};
} // namespace

TXPMenu::TXPMenu(QWidget *form, const XPSettings &settings)
    : QObject(form), m_form(form), m_settings(settings), m_style(new XPStyle(settings, this)) {
    setObjectName(QStringLiteral("XPMenu1"));
}

TXPMenu::~TXPMenu() {
    for (const QPointer<QWidget> &w : std::as_const(m_restyled))
        if (w)
            w->setStyle(nullptr);
}

QStyle *TXPMenu::style() const {
    return m_style;
}

bool TXPMenu::covers(const QWidget *widget) {
    if (qobject_cast<const QLabel *>(widget))
        return false;
    for (const Kind &kind : Kinds)
        if (widget->inherits(kind.widgetClass))
            return true;
    return false;
}

void TXPMenu::setActive(bool on) {
    if (on != m_active) {
        m_active = on;
        if (on) {
            const QList<QWidget *> all = m_form->findChildren<QWidget *>();
            for (QWidget *w : all) {
                if (!covers(w))
                    continue;
                w->setStyle(m_style);
                m_restyled.append(w);
            }
        } else {
            for (const QPointer<QWidget> &w : std::as_const(m_restyled))
                if (w)
                    w->setStyle(nullptr);
            m_restyled.clear();
        }
    }
    for (QToolButton *button : m_form->findChildren<QToolButton *>())
        button->setAutoRaise(true);
}
