#pragma once
// The settings of one window's flat-look painter.
#include "XPColors.h"

#include <QPalette>

class QWidget;

struct XPSettings {
    int IconWidth = 24;          // icon column of menu items, pixels
    bool DrawMenuBar = false;    // paint the menu bar
    bool Gradient = false;       // gradient background of drop-down items
    bool FlatMenu = false;       // one-pixel border of drop-down menus
    bool UseSystemColors = true; // derive every colour from the system's
    int DimLevel = 30;           // lightening of images not under the pointer, percent
    int GrayLevel = 10;          // added to the grey of disabled images

    // The main window paints its menu bar, the gradient and flat menus; the dialogs do not.
    static XPSettings mainWindow();
    static XPSettings dialog();
};

// The colours a widget is drawn with under the look: from its palette and its screen's depth.
xp::Colours xpColours(const XPSettings &settings, const QPalette &palette, const QWidget *widget);
