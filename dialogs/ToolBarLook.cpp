#include "ToolBarLook.h"

#include <QToolButton>

namespace toolbar {

namespace {
QList<QToolButton *> buttons(const QWidget *toolBar) {
    return toolBar->findChildren<QToolButton *>(QString(), Qt::FindDirectChildrenOnly);
}
} // namespace

void setFlat(QWidget *toolBar, bool flat) {
    for (QToolButton *b : buttons(toolBar))
        b->setAutoRaise(flat);
}

bool isFlat(const QWidget *toolBar) {
    const QList<QToolButton *> all = buttons(toolBar);
    return !all.isEmpty() && all.first()->autoRaise();
}

void setCaptions(QWidget *toolBar, bool shown) {
    for (QToolButton *b : buttons(toolBar))
        b->setToolButtonStyle(shown ? Qt::ToolButtonTextUnderIcon : Qt::ToolButtonIconOnly);
}

bool hasCaptions(const QWidget *toolBar) {
    const QList<QToolButton *> all = buttons(toolBar);
    return !all.isEmpty() && all.first()->toolButtonStyle() == Qt::ToolButtonTextUnderIcon;
}

} // namespace toolbar
