#pragma once
// The main window's status bar: four sunken panels of fixed widths, the last taking the rest.
#include <QWidget>

class QLabel;

class StatusPanels : public QWidget {
    Q_OBJECT
public:
    explicit StatusPanels(QWidget *parent = nullptr);

    static constexpr int PanelCount = 4;
    QString panelText(int panel) const;
    void setPanelText(int panel, const QString &text);

protected:
    void changeEvent(QEvent *event) override;

private:
    void keepTextColours();
    QLabel *m_panels[PanelCount];
};
