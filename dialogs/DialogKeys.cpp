#include "dialogs/DialogKeys.h"

#include <QAbstractButton>
#include <QKeyEvent>

bool takeDialogKey(QKeyEvent *event, QAbstractButton *ok) {
    const int key = event->key();
    const bool esc = key == Qt::Key_Escape && event->modifiers() == Qt::NoModifier;
    const bool enter = ok && (key == Qt::Key_Return || key == Qt::Key_Enter);
    if (enter && ok->window()->focusWidget() == ok)
        ok->click();
    if (esc || enter)
        event->accept();
    return esc || enter;
}
