#pragma once
// The flat look drawn over the application's style: menus with an icon column and a gradient,
// flat toolbar buttons with tinted hover, flat controls with one-pixel frames.
#include "XPSettings.h"

#include <QProxyStyle>

class XPStyle : public QProxyStyle {
    Q_OBJECT
public:
    explicit XPStyle(const XPSettings &settings, QObject *parent = nullptr);

    void drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                       const QWidget *widget = nullptr) const override;
    void drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                     const QWidget *widget = nullptr) const override;
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex *option,
                            QPainter *painter, const QWidget *widget = nullptr) const override;
    int pixelMetric(PixelMetric metric, const QStyleOption *option = nullptr,
                    const QWidget *widget = nullptr) const override;
    QSize sizeFromContents(ContentsType type, const QStyleOption *option, const QSize &size,
                           const QWidget *widget) const override;
    QPixmap generatedIconPixmap(QIcon::Mode mode, const QPixmap &pixmap,
                                const QStyleOption *option) const override;
    void polish(QWidget *widget) override;
    void unpolish(QWidget *widget) override;
    using QProxyStyle::polish;
    using QProxyStyle::unpolish;

private:
    void drawMenuItem(const QStyleOption *option, QPainter *painter, const QWidget *widget) const;
    void drawMenuBarItem(const QStyleOption *option, QPainter *painter,
                         const QWidget *widget) const;
    void drawFlatFrame(const QStyleOption *option, QPainter *painter, const QWidget *widget,
                       bool fillBase) const;
    QPixmap lookOfImage(const QPixmap &pixmap, const QStyleOption *option, bool hovered) const;

    XPSettings m_settings;
};
