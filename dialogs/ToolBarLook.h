#pragma once
// The look of a toolbar's buttons: flat or raised, captions under the images or images only.
class QWidget;

namespace toolbar {

// Flat buttons show a raised frame only under the pointer.
void setFlat(QWidget *toolBar, bool flat);
bool isFlat(const QWidget *toolBar);
void setCaptions(QWidget *toolBar, bool shown);
bool hasCaptions(const QWidget *toolBar);

} // namespace toolbar
