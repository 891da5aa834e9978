#pragma once
// The keys every dialog of the program treats alike: Esc closes none of them, and Enter presses
// OK only while OK itself has the focus (no button is a default one).
class QAbstractButton;
class QKeyEvent;

// True when event is one of those keys and has been taken; without ok, Enter is not one.
bool takeDialogKey(QKeyEvent *event, QAbstractButton *ok = nullptr);
