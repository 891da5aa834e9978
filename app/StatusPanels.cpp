#include "app/StatusPanels.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>

StatusPanels::StatusPanels(QWidget *parent) : QWidget(parent) {
    static constexpr int widths[PanelCount] = {172, 160, 130, 0};
    static constexpr Qt::Alignment alignments[PanelCount] = {Qt::AlignLeft | Qt::AlignVCenter,
                                                             Qt::AlignLeft | Qt::AlignVCenter,
                                                             Qt::AlignCenter, Qt::AlignCenter};
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 2, 0, 0);
    layout->setSpacing(2);
    for (int i = 0; i < PanelCount; ++i) {
        auto *panel = new QLabel(this);
        panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        panel->setAlignment(alignments[i]);
        panel->setTextFormat(Qt::PlainText);
        if (widths[i] > 0)
            panel->setFixedWidth(widths[i]);
        layout->addWidget(panel, widths[i] > 0 ? 0 : 1);
        m_panels[i] = panel;
    }
    keepTextColours();
}

QString StatusPanels::panelText(int panel) const {
    return m_panels[panel]->text();
}

void StatusPanels::setPanelText(int panel, const QString &text) {
    m_panels[panel]->setText(text);
}

void StatusPanels::changeEvent(QEvent *event) {
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::StyleChange)
        keepTextColours();
    QWidget::changeEvent(event);
}

// The bar takes no input, yet its texts must stay readable rather than greyed.
void StatusPanels::keepTextColours() {
    for (QLabel *panel : m_panels) {
        QPalette pal = panel->palette();
        pal.setColor(QPalette::Disabled, QPalette::WindowText,
                     pal.color(QPalette::Active, QPalette::WindowText));
        panel->setPalette(pal);
    }
}
