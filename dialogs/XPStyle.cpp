#include "XPStyle.h"

#include "LayoutFit.h"

#include <QComboBox>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>
#include <QPixmapCache>
#include <QStyleOption>
#include <QToolButton>

namespace {
constexpr int SeparatorHeight = 4;
constexpr int TextGap = 8;       // between the icon column and an item's text
constexpr int ArrowWidth = 12;   // room for a submenu arrow at an item's right
constexpr int MenuIconSize = 16; // images in menu items
constexpr int CheckBoxSize = 13;
constexpr char HadHoverProperty[] = "xpHadHover";

bool emphasised(const QStyleOption *option) {
    return option->state & (QStyle::State_MouseOver | QStyle::State_HasFocus);
}

// Fills rect column by column with the menu background, counting columns from origin.
void paintMenuColumns(QPainter *painter, const QRect &rect, int origin, const xp::Colours &c,
                      int iconWidth) {
    if (!c.gradient) {
        painter->fillRect(rect, c.plainBackground);
        const QRect icon(origin, rect.top(), iconWidth, rect.height());
        painter->fillRect(icon.intersected(rect), c.iconColumn);
        return;
    }
    for (int x = rect.left(); x <= rect.right(); ++x)
        painter->fillRect(QRect(x, rect.top(), 1, rect.height()),
                          xp::menuColumnColour(c, x - origin, iconWidth));
}

// The menu bar, its empty area and its items all sit on the button face.
void fillMenuBar(QPainter *painter, const QStyleOption *option) {
    painter->fillRect(option->rect, option->palette.color(QPalette::Button));
}

void drawOnePixelFrame(QPainter *painter, const QRect &rect, const QColor &colour) {
    painter->save();
    painter->setPen(colour);
    painter->setBrush(Qt::NoBrush);
    painter->drawRect(rect.adjusted(0, 0, -1, -1));
    painter->restore();
}

// The frame of a control: the highlight colour under the pointer or with the focus.
QColor frameColour(const QStyleOption *option, const xp::Colours &c) {
    return emphasised(option) ? c.frame : option->palette.color(QPalette::Dark);
}

bool pressed(const QStyleOption *option) {
    return (option->state & QStyle::State_Enabled) &&
           (option->state & (QStyle::State_Sunken | QStyle::State_On));
}

bool hovered(const QStyleOption *option) {
    return (option->state & QStyle::State_Enabled) && (option->state & QStyle::State_MouseOver);
}

// Pressed and hovered tool buttons are filled and framed; the others bare, or framed when raised.
void paintToolButton(QPainter *painter, const QStyleOption *option, const xp::Colours &c) {
    if (pressed(option) || hovered(option)) {
        painter->fillRect(option->rect, pressed(option) ? c.pressed : c.selection);
        drawOnePixelFrame(painter, option->rect, c.frame);
    } else if (!(option->state & QStyle::State_AutoRaise)) {
        // A toolbar set back to raised buttons keeps a plain frame.
        drawOnePixelFrame(painter, option->rect, option->palette.color(QPalette::Dark));
    }
}

void paintPushButton(QPainter *painter, const QStyleOption *option, const xp::Colours &c) {
    const QColor fill = pressed(option)   ? c.pressed
                        : hovered(option) ? c.selection
                                          : option->palette.color(QPalette::Button);
    painter->fillRect(option->rect, fill);
    drawOnePixelFrame(painter, option->rect, frameColour(option, c));
}

QColor markColour(const QStyleOption *option, const xp::Colours &c) {
    return option->state & QStyle::State_Enabled ? option->palette.color(QPalette::Text)
                                                 : c.disabledText;
}

// The box of a check box or radio button: at the left, centred on the row.
QRect indicatorBox(const QStyleOption *option, int size) {
    return QRect(option->rect.x(), option->rect.center().y() - CheckBoxSize / 2, size, size);
}

void paintCheckBox(QPainter *painter, const QStyleOption *option, const xp::Colours &c) {
    const QRect box = indicatorBox(option, CheckBoxSize);
    painter->fillRect(box, option->palette.brush(QPalette::Base));
    drawOnePixelFrame(painter, box, frameColour(option, c));
    if (option->state & QStyle::State_On) {
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        painter->setPen(QPen(markColour(option, c), 2));
        QPainterPath tick;
        tick.moveTo(box.left() + 3, box.top() + 6);
        tick.lineTo(box.left() + 5.5, box.top() + 9);
        tick.lineTo(box.left() + 10, box.top() + 3.5);
        painter->drawPath(tick);
        painter->restore();
    } else if (option->state & QStyle::State_NoChange) {
        painter->fillRect(box.adjusted(3, 3, -3, -3), markColour(option, c));
    }
}

void paintRadioButton(QPainter *painter, const QStyleOption *option, const xp::Colours &c) {
    const QRectF box = indicatorBox(option, CheckBoxSize - 1);
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setBrush(option->palette.brush(QPalette::Base));
    painter->setPen(frameColour(option, c));
    painter->drawEllipse(box.adjusted(0.5, 0.5, -0.5, -0.5));
    if (option->state & QStyle::State_On) {
        painter->setPen(Qt::NoPen);
        painter->setBrush(markColour(option, c));
        painter->drawEllipse(box.adjusted(3.5, 3.5, -3.5, -3.5));
    }
    painter->restore();
}

// A separator: a line across the middle, from where the items' texts start to the right edge.
void paintSeparator(QPainter *painter, const QRect &r, const xp::Colours &c, int iconWidth) {
    const int y = r.top() + (r.height() - 1) / 2;
    painter->fillRect(QRect(r.left() + iconWidth + TextGap, y, r.width() - iconWidth - TextGap, 1),
                      c.separator);
}

// A menu item's text, and after a tab its shortcut at the right.
void drawMenuText(QPainter *painter, const QRect &rect, int flags, const QString &text) {
    const int tab = text.indexOf(QLatin1Char('\t'));
    painter->drawText(rect, flags | Qt::AlignLeft, tab < 0 ? text : text.left(tab));
    if (tab >= 0 && tab + 1 < text.size())
        painter->drawText(rect, flags | Qt::AlignRight, text.mid(tab + 1));
}
} // namespace

XPStyle::XPStyle(const XPSettings &settings, QObject *parent)
    : QProxyStyle(), m_settings(settings) {
    setParent(parent);
}

void XPStyle::drawFlatFrame(const QStyleOption *option, QPainter *painter, const QWidget *widget,
                            bool fillBase) const {
    if (fillBase)
        painter->fillRect(option->rect, option->palette.brush(QPalette::Base));
    const xp::Colours c = xpColours(m_settings, option->palette, widget);
    drawOnePixelFrame(painter, option->rect, frameColour(option, c));
}

QPixmap XPStyle::lookOfImage(const QPixmap &pixmap, const QStyleOption *option,
                             bool hovered) const {
    if (pixmap.isNull())
        return pixmap;
    // Every repaint of a menu or toolbar asks again for the same few looks: each is made once
    // and kept in the pixmap cache, keyed by the source image and what the look depends on.
    enum Look { Greyed, Raised, Dimmed };
    const Look look = !(option->state & State_Enabled) ? Greyed : hovered ? Raised : Dimmed;
    const QColor shadow =
        look == Raised ? xpColours(m_settings, option->palette, nullptr).imageShadow : QColor();
    const int level = look == Greyed   ? m_settings.GrayLevel
                      : look == Dimmed ? m_settings.DimLevel
                                       : int(shadow.rgba());
    const QString key =
        QStringLiteral("xplook:%1:%2:%3").arg(pixmap.cacheKey()).arg(int(look)).arg(level);
    QPixmap result;
    if (QPixmapCache::find(key, &result))
        return result;
    const QImage image = pixmap.toImage();
    const QImage out = look == Greyed   ? xp::greyed(image, m_settings.GrayLevel)
                       : look == Raised ? xp::raisedWithShadow(image, shadow)
                                        : xp::dimmed(image, m_settings.DimLevel);
    result = QPixmap::fromImage(out);
    result.setDevicePixelRatio(pixmap.devicePixelRatio());
    QPixmapCache::insert(key, result);
    return result;
}

void XPStyle::drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                            const QWidget *widget) const {
    switch (element) {
    case PE_PanelMenu: {
        const xp::Colours c = xpColours(m_settings, option->palette, widget);
        const int fw = pixelMetric(PM_MenuPanelWidth, option, widget);
        paintMenuColumns(painter, option->rect, option->rect.left() + fw, c, m_settings.IconWidth);
        return;
    }
    case PE_FrameMenu:
        if (m_settings.FlatMenu) {
            drawOnePixelFrame(painter, option->rect, option->palette.color(QPalette::Dark));
            return;
        }
        break;
    case PE_PanelMenuBar:
        if (m_settings.DrawMenuBar) {
            fillMenuBar(painter, option);
            return;
        }
        break;
    case PE_PanelButtonTool:
        paintToolButton(painter, option, xpColours(m_settings, option->palette, widget));
        return;
    case PE_PanelButtonCommand:
        paintPushButton(painter, option, xpColours(m_settings, option->palette, widget));
        return;
    case PE_PanelLineEdit:
        if (const auto *f = qstyleoption_cast<const QStyleOptionFrame *>(option)) {
            painter->fillRect(option->rect, option->palette.brush(QPalette::Base));
            if (f->lineWidth > 0)
                drawFlatFrame(option, painter, widget, false);
            return;
        }
        break;
    case PE_FrameLineEdit:
    case PE_Frame:
    case PE_FrameGroupBox:
        drawFlatFrame(option, painter, widget, false);
        return;
    case PE_IndicatorCheckBox:
        paintCheckBox(painter, option, xpColours(m_settings, option->palette, widget));
        return;
    case PE_IndicatorRadioButton:
        paintRadioButton(painter, option, xpColours(m_settings, option->palette, widget));
        return;
    default:
        break;
    }
    QProxyStyle::drawPrimitive(element, option, painter, widget);
}

void XPStyle::drawMenuItem(const QStyleOption *option, QPainter *painter,
                           const QWidget *widget) const {
    const auto *mi = qstyleoption_cast<const QStyleOptionMenuItem *>(option);
    if (!mi)
        return;
    const xp::Colours c = xpColours(m_settings, option->palette, widget);
    const QRect r = mi->rect;
    const int iconWidth = m_settings.IconWidth;
    painter->save();
    paintMenuColumns(painter, r, r.left(), c, iconWidth);

    if (mi->menuItemType == QStyleOptionMenuItem::Separator) {
        paintSeparator(painter, r, c, iconWidth);
        painter->restore();
        return;
    }

    const bool enabled = mi->state & State_Enabled;
    const bool selected = enabled && (mi->state & State_Selected);
    if (selected) {
        painter->fillRect(r, c.selection);
        drawOnePixelFrame(painter, r, c.frame);
    }

    const QRect iconArea(r.left(), r.top(), iconWidth, r.height());
    if (!mi->icon.isNull()) {
        const QPixmap pix =
            lookOfImage(mi->icon.pixmap(QSize(MenuIconSize, MenuIconSize)), option, selected);
        QRect target(QPoint(), QSize(MenuIconSize, MenuIconSize));
        target.moveCenter(iconArea.center());
        painter->drawPixmap(target, pix);
    } else if (mi->checkType != QStyleOptionMenuItem::NotCheckable && mi->checked) {
        QStyleOptionButton box;
        box.QStyleOption::operator=(*option);
        box.state = (mi->state & State_Enabled) | State_On;
        box.rect = QRect(QPoint(), QSize(CheckBoxSize, CheckBoxSize));
        box.rect.moveCenter(iconArea.center());
        drawPrimitive(mi->checkType == QStyleOptionMenuItem::Exclusive ? PE_IndicatorRadioButton
                                                                       : PE_IndicatorCheckBox,
                      &box, painter, widget);
    }

    const QRect textRect = r.adjusted(iconWidth + TextGap, 0, -(TextGap + ArrowWidth), 0);
    painter->setFont(mi->font);
    painter->setPen(enabled ? mi->palette.color(QPalette::WindowText) : c.disabledText);
    int flags = Qt::AlignVCenter | Qt::TextSingleLine | Qt::TextShowMnemonic;
    if (!styleHint(SH_UnderlineShortcut, mi, widget))
        flags |= Qt::TextHideMnemonic;
    drawMenuText(painter, textRect, flags, mi->text);

    if (mi->menuItemType == QStyleOptionMenuItem::SubMenu) {
        QStyleOption arrow(*option);
        arrow.rect = QRect(r.right() - ArrowWidth, r.top(), ArrowWidth - 2, r.height());
        arrow.palette.setColor(QPalette::ButtonText, painter->pen().color());
        QProxyStyle::drawPrimitive(PE_IndicatorArrowRight, &arrow, painter, widget);
    }
    painter->restore();
}

void XPStyle::drawMenuBarItem(const QStyleOption *option, QPainter *painter,
                              const QWidget *widget) const {
    const auto *mi = qstyleoption_cast<const QStyleOptionMenuItem *>(option);
    if (!mi)
        return;
    const xp::Colours c = xpColours(m_settings, option->palette, widget);
    const QRect r = mi->rect;
    fillMenuBar(painter, option);
    const bool enabled = mi->state & State_Enabled;
    const bool open = enabled && (mi->state & State_Sunken);
    const bool hovered = enabled && (mi->state & State_Selected);
    if (open || hovered) {
        // The open item leaves room for a narrow shadow along its right edge.
        const QRect item = open ? r.adjusted(0, 0, -2, 0) : r;
        painter->fillRect(item, c.selection);
        drawOnePixelFrame(painter, item, c.frame);
        if (open)
            painter->fillRect(QRect(item.right() + 1, r.top() + 2, 2, r.height() - 2),
                              option->palette.color(QPalette::Mid));
    }
    int flags = Qt::AlignCenter | Qt::TextShowMnemonic | Qt::TextDontClip | Qt::TextSingleLine;
    if (!styleHint(SH_UnderlineShortcut, mi, widget))
        flags |= Qt::TextHideMnemonic;
    drawItemText(painter, r, flags, mi->palette, enabled, mi->text, QPalette::WindowText);
}

void XPStyle::drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                          const QWidget *widget) const {
    switch (element) {
    case CE_MenuItem:
        drawMenuItem(option, painter, widget);
        return;
    case CE_MenuEmptyArea: {
        const xp::Colours c = xpColours(m_settings, option->palette, widget);
        const int fw = pixelMetric(PM_MenuPanelWidth, option, widget);
        paintMenuColumns(painter, option->rect, fw, c, m_settings.IconWidth);
        return;
    }
    case CE_MenuBarItem:
        if (m_settings.DrawMenuBar) {
            drawMenuBarItem(option, painter, widget);
            return;
        }
        break;
    case CE_MenuBarEmptyArea:
        if (m_settings.DrawMenuBar) {
            fillMenuBar(painter, option);
            return;
        }
        break;
    case CE_ShapedFrame:
        if (const auto *f = qstyleoption_cast<const QStyleOptionFrame *>(option)) {
            switch (f->frameShape) {
            case QFrame::Box:
            case QFrame::Panel:
            case QFrame::StyledPanel:
            case QFrame::WinPanel:
                drawFlatFrame(option, painter, widget, false);
                return;
            default:
                break;
            }
        }
        break;
    case CE_ToolButtonLabel:
        if (const auto *tb = qstyleoption_cast<const QStyleOptionToolButton *>(option)) {
            if (!tb->icon.isNull()) {
                QStyleOptionToolButton copy(*tb);
                const QPixmap pix = lookOfImage(tb->icon.pixmap(tb->iconSize), option, hovered(tb));
                QIcon icon;
                for (QIcon::Mode mode :
                     {QIcon::Normal, QIcon::Disabled, QIcon::Active, QIcon::Selected})
                    icon.addPixmap(pix, mode);
                copy.icon = icon;
                QProxyStyle::drawControl(element, &copy, painter, widget);
                return;
            }
        }
        break;
    default:
        break;
    }
    QProxyStyle::drawControl(element, option, painter, widget);
}

void XPStyle::drawComplexControl(ComplexControl control, const QStyleOptionComplex *option,
                                 QPainter *painter, const QWidget *widget) const {
    if (control == CC_GroupBox) {
        if (const auto *gb = qstyleoption_cast<const QStyleOptionGroupBox *>(option)) {
            // The caption as the usual look draws it, above the frame; the one-pixel frame on
            // the usual look's lines, so that the items laid out for one fit the other.
            QStyleOptionGroupBox caption(*gb);
            caption.subControls &= ~SC_GroupBoxFrame;
            QProxyStyle::drawComplexControl(control, &caption, painter, widget);
            if (gb->subControls & SC_GroupBoxFrame) {
                const layoutfit::FrameLines lines =
                    layoutfit::groupFrameLines(baseStyle(), *gb, widget);
                QStyleOptionFrame frame;
                frame.QStyleOption::operator=(*gb);
                frame.rect = subControlRect(CC_GroupBox, gb, SC_GroupBoxFrame, widget);
                frame.rect.setTop(lines.top);
                frame.rect.setBottom(lines.bottom);
                drawFlatFrame(&frame, painter, widget, false);
            }
            return;
        }
    }
    if (control == CC_ComboBox) {
        if (const auto *cb = qstyleoption_cast<const QStyleOptionComboBox *>(option)) {
            const xp::Colours c = xpColours(m_settings, option->palette, widget);
            painter->fillRect(option->rect, option->palette.brush(QPalette::Base));
            const QRect arrow = subControlRect(CC_ComboBox, cb, SC_ComboBoxArrow, widget);
            const bool sunken = (option->state & State_Enabled) && (option->state & State_Sunken);
            painter->fillRect(arrow, sunken            ? c.pressed
                                     : hovered(option) ? c.selection
                                                       : option->palette.color(QPalette::Button));
            const QColor frame = frameColour(option, c);
            if (cb->frame)
                drawOnePixelFrame(painter, option->rect, frame);
            painter->fillRect(QRect(arrow.left(), option->rect.top(), 1, option->rect.height()),
                              frame);
            QStyleOption arrowOption(*option);
            arrowOption.rect = arrow.adjusted(3, 3, -3, -3);
            QProxyStyle::drawPrimitive(PE_IndicatorArrowDown, &arrowOption, painter, widget);
            return;
        }
    }
    QProxyStyle::drawComplexControl(control, option, painter, widget);
}

int XPStyle::pixelMetric(PixelMetric metric, const QStyleOption *option,
                         const QWidget *widget) const {
    switch (metric) {
    case PM_MenuPanelWidth:
        if (m_settings.FlatMenu)
            return 1;
        break;
    case PM_MenuHMargin:
        return 0;
    case PM_DefaultFrameWidth:
        return 1;
    default:
        break;
    }
    return QProxyStyle::pixelMetric(metric, option, widget);
}

QSize XPStyle::sizeFromContents(ContentsType type, const QStyleOption *option, const QSize &size,
                                const QWidget *widget) const {
    QSize s = QProxyStyle::sizeFromContents(type, option, size, widget);
    if (type == CT_MenuItem) {
        if (const auto *mi = qstyleoption_cast<const QStyleOptionMenuItem *>(option)) {
            if (mi->menuItemType == QStyleOptionMenuItem::Separator)
                return QSize(s.width(), SeparatorHeight);
            const int textHeight = QFontMetrics(mi->font).height();
            s.setHeight(std::max(s.height(), textHeight + textHeight * 3 / 4));
            s.setWidth(s.width() + m_settings.IconWidth);
        }
    }
    return s;
}

QPixmap XPStyle::generatedIconPixmap(QIcon::Mode mode, const QPixmap &pixmap,
                                     const QStyleOption *option) const {
    if (mode == QIcon::Disabled && !pixmap.isNull()) {
        QPixmap out = QPixmap::fromImage(xp::greyed(pixmap.toImage(), m_settings.GrayLevel));
        out.setDevicePixelRatio(pixmap.devicePixelRatio());
        return out;
    }
    return QProxyStyle::generatedIconPixmap(mode, pixmap, option);
}

void XPStyle::polish(QWidget *widget) {
    QProxyStyle::polish(widget);
    // Frames are emphasised under the pointer, so the widget must repaint on entering.
    widget->setProperty(HadHoverProperty, widget->testAttribute(Qt::WA_Hover));
    widget->setAttribute(Qt::WA_Hover, true);
}

void XPStyle::unpolish(QWidget *widget) {
    const QVariant had = widget->property(HadHoverProperty);
    if (had.isValid()) {
        widget->setAttribute(Qt::WA_Hover, had.toBool());
        widget->setProperty(HadHoverProperty, QVariant());
    }
    QProxyStyle::unpolish(widget);
}
