#pragma once
// The view settings dialog: size unit of the status bar, the path line, the toolbar strip and
// its buttons' look, the flat look of all four windows. The dialog gives what its boxes show as
// one value, and the main window applies it; nothing is saved.
#include <QDialog>
#include <memory>

namespace Ui {
class TForm4;
}
class TXPMenu;

// What the dialog's boxes show.
struct ViewSettings {
    int sizeUnit = 0;        // 0 bytes, 1 kilobytes, 2 megabytes: RadioGroup1's item
    bool pathLine = true;    // CheckBox1; also the status bar, when the main window first shows
    bool toolStrip = true;   // CheckBox2
    bool flatButtons = true; // CheckBox3
    bool captions = true;    // CheckBox4
    bool flatLook = false;   // CheckBox5: all four windows
};

class TForm4 : public QDialog {
    Q_OBJECT
public:
    explicit TForm4(QWidget *parent = nullptr);
    ~TForm4() override;

    ViewSettings settings() const;

    TXPMenu *XPMenu1;

    void CheckBox5Click();
    void BitBtn1Click();

signals:
    // A box was ticked or cleared (the size unit is read when it is needed).
    void settingsChanged(const ViewSettings &settings);

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    std::unique_ptr<Ui::TForm4> ui;
};
