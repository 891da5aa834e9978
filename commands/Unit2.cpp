#include "commands/Unit2.h"

#include "dialogs/DialogKeys.h"
#include "dialogs/LayoutFit.h"
#include "dialogs/XPMenu.h"
#include "ui_Unit2.h"

#include <QScreen>

namespace {
constexpr int Opacity = 120;
} // namespace

TForm2::TForm2(QWidget *parent) : QDialog(parent), ui(std::make_unique<Ui::TForm2>()) {
    ui->setupUi(this);
    setWindowFlags(Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::CustomizeWindowHint);
    setWindowOpacity(Opacity / 255.0);
    setFixedSize(size());
    // The method items go below the group's caption and frame line as this style draws them.
    layoutfit::placeGroupItems(ui->RadioGroup1);
    layoutfit::widenToCaptions(this);
    XPMenu1 = new TXPMenu(this, XPSettings::dialog());
    // OK closes with the modal result OK; the title bar's close button keeps the changes too.
    connect(ui->BitBtn1, &QPushButton::clicked, this, [this] { done(QDialog::Accepted); });
}

TForm2::~TForm2() = default;

int TForm2::itemIndex() const {
    const QRadioButton *items[] = {ui->RadioGroup1Item0, ui->RadioGroup1Item1,
                                   ui->RadioGroup1Item2};
    for (int i = 0; i < 3; ++i)
        if (items[i]->isChecked())
            return i;
    return -1;
}

void TForm2::setItemIndex(int index) {
    QRadioButton *items[] = {ui->RadioGroup1Item0, ui->RadioGroup1Item1, ui->RadioGroup1Item2};
    if (index >= 0 && index < 3)
        items[index]->setChecked(true);
}

QCheckBox *TForm2::checkBox(int n) const {
    QCheckBox *boxes[] = {nullptr,       ui->CheckBox1, ui->CheckBox2, ui->CheckBox3,
                          ui->CheckBox4, ui->CheckBox5, ui->CheckBox6, ui->CheckBox7,
                          ui->CheckBox8, ui->CheckBox9, ui->CheckBox10};
    return n >= 1 && n <= 10 ? boxes[n] : nullptr;
}

commands::ArchiverOptions TForm2::options() const {
    commands::ArchiverOptions o;
    o.method = itemIndex();
    for (int n = 1; n <= 10; ++n)
        o.switches.set(CheckBoxOptions[n - 1], checkBox(n)->isChecked());
    return o;
}

void TForm2::showEvent(QShowEvent *event) {
    QDialog::showEvent(event);
    // Centred on the desktop, not on the main window.
    if (const QScreen *screen = this->screen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}

void TForm2::keyPressEvent(QKeyEvent *event) {
    if (!takeDialogKey(event, ui->BitBtn1))
        QDialog::keyPressEvent(event);
}
