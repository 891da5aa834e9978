#pragma once
// The view settings dialog: size unit of the status bar, the path line, the toolbar strip and
// its buttons' look, the flat look of all four windows. Options act on the main window through
// the parts it hands over; nothing is saved.
#include <QDialog>
#include <functional>
#include <memory>

namespace Ui {
class TForm4;
}
class TXPMenu;

// What the dialog changes on the main window, and the painters it switches.
struct ViewTargets {
    QWidget *Label4 = nullptr;            // the current file's path line
    QWidget *CoolBar1 = nullptr;          // the strip that holds the toolbar
    QWidget *ToolBar1 = nullptr;          // the toolbar, whose buttons are restyled
    QWidget *DirectoryListBox1 = nullptr; // set back to its layout height by the flat look
    std::function<void()> FileLB1Click;   // the main window's file-click handling
    TXPMenu *mainPainter = nullptr;       // the main window's, then the options and about
    TXPMenu *optionsPainter = nullptr;    // dialogs'; this dialog's own comes last
    TXPMenu *aboutPainter = nullptr;
};

class TForm4 : public QDialog {
    Q_OBJECT
public:
    explicit TForm4(QWidget *parent = nullptr);
    ~TForm4() override;

    void attach(const ViewTargets &targets);

    // 0 bytes, 1 kilobytes, 2 megabytes: the selected item of RadioGroup1.
    int sizeUnit() const;
    // CheckBox1: the main window shows its status bar when it is first shown.
    bool statusBarShown() const;

    TXPMenu *XPMenu1;

    void CheckBox1Click();
    void CheckBox2Click();
    void CheckBox3Click();
    void CheckBox4Click();
    void CheckBox5Click();
    void BitBtn1Click();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    std::unique_ptr<Ui::TForm4> ui;
    ViewTargets m_targets;
};
