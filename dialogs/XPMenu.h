#pragma once
// The flat-look painter of one window: off at start; switched on, it restyles the window's menus,
// toolbar buttons and standard controls; switched off, it gives them back the usual drawing.
#include "XPSettings.h"

#include <QList>
#include <QObject>
#include <QPointer>

class QStyle;
class QWidget;
class XPStyle;

class TXPMenu : public QObject {
    Q_OBJECT
public:
    // A child of form, named "XPMenu1".
    TXPMenu(QWidget *form, const XPSettings &settings);
    // Controls still restyled get the usual drawing back.
    ~TXPMenu() override;

    bool Active() const { return m_active; }
    // Restyles every control of the window of the kinds the look covers, or gives them back.
    // Either way the window's toolbar buttons are set flat.
    void setActive(bool on);

    const XPSettings &settings() const { return m_settings; }
    QStyle *style() const;

    // Whether the look covers this widget: menus, toolbar buttons, combo and list boxes, edits,
    // memos, check boxes, radio buttons, push buttons, panels and group boxes; never a label.
    static bool covers(const QWidget *widget);

private:
    QWidget *m_form;
    XPSettings m_settings;
    XPStyle *m_style;
    bool m_active = false;
    QList<QPointer<QWidget>> m_restyled;
};
