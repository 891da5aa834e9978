#include "commands/Unit2.h"

#include "dialogs/XPMenu.h"
#include "ui_Unit2.h"

TForm2::TForm2(QWidget *parent) : QDialog(parent), ui(std::make_unique<Ui::TForm2>()) {
    ui->setupUi(this);
    setWindowFlags(Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::CustomizeWindowHint);
    setFixedSize(size());
    XPMenu1 = new TXPMenu(this, XPSettings::dialog());
}

TForm2::~TForm2() = default;
