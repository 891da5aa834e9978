#pragma once
// The archiver options dialog; its controls come with the archiver commands.
#include <QDialog>
#include <memory>

namespace Ui {
class TForm2;
}
class TXPMenu;

class TForm2 : public QDialog {
    Q_OBJECT
public:
    explicit TForm2(QWidget *parent = nullptr);
    ~TForm2() override;

    TXPMenu *XPMenu1; // the flat look of this window, off at start

private:
    std::unique_ptr<Ui::TForm2> ui;
};
