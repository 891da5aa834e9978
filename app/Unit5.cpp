#include "app/Unit5.h"

#include "ui_Unit5.h"

TForm5::TForm5(QWidget *parent) : QWidget(parent), ui(std::make_unique<Ui::TForm5>()) {
    ui->setupUi(this);
}

TForm5::~TForm5() = default;
