#include "XPSettings.h"

#include <QScreen>
#include <QWidget>

XPSettings XPSettings::mainWindow() {
    XPSettings s;
    s.DrawMenuBar = true;
    s.Gradient = true;
    s.FlatMenu = true;
    return s;
}

XPSettings XPSettings::dialog() {
    return XPSettings();
}

xp::Colours xpColours(const XPSettings &settings, const QPalette &palette, const QWidget *widget) {
    // The system's colours as such: a disabled item's palette must not shift its tints.
    // Without the system's colours the look falls back to the classic grey scheme.
    const QColor face = settings.UseSystemColors ? palette.color(QPalette::Active, QPalette::Button)
                                                 : QColor(212, 208, 200);
    const QColor highlight = settings.UseSystemColors
                                 ? palette.color(QPalette::Active, QPalette::Highlight)
                                 : QColor(10, 36, 106);
    const QColor shadow = settings.UseSystemColors ? palette.color(QPalette::Active, QPalette::Dark)
                                                   : QColor(128, 128, 128);
    const QScreen *screen = widget ? widget->screen() : nullptr;
    const int depth = screen ? screen->depth() : 32;
    return xp::colours(face, highlight, shadow, depth, settings.Gradient);
}
