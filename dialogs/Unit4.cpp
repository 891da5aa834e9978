#include "dialogs/Unit4.h"

#include "DialogKeys.h"
#include "LayoutFit.h"
#include "XPMenu.h"
#include "ui_Unit4.h"

TForm4::TForm4(QWidget *parent) : QDialog(parent), ui(std::make_unique<Ui::TForm4>()) {
    ui->setupUi(this);
    setWindowFlags(Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::CustomizeWindowHint);
    setFixedSize(size());
    move(234, 155);
    // The layout's widths suit a narrower face than this system's: a caption that does not fit
    // widens its box (never past the window's edge) rather than being cut.
    layoutfit::widenToCaptions(this);
    layoutfit::placeGroupItems(ui->RadioGroup1);
    XPMenu1 = new TXPMenu(this, XPSettings::dialog());

    for (QCheckBox *box : {ui->CheckBox1, ui->CheckBox2, ui->CheckBox3, ui->CheckBox4})
        connect(box, &QCheckBox::toggled, this, [this] { emit settingsChanged(settings()); });
    connect(ui->CheckBox5, &QCheckBox::toggled, this, &TForm4::CheckBox5Click);
    connect(ui->BitBtn1, &QPushButton::clicked, this, &TForm4::BitBtn1Click);
}

TForm4::~TForm4() = default;

ViewSettings TForm4::settings() const {
    ViewSettings s;
    s.sizeUnit = ui->RadioButton3->isChecked() ? 2 : ui->RadioButton2->isChecked() ? 1 : 0;
    s.pathLine = ui->CheckBox1->isChecked();
    s.toolStrip = ui->CheckBox2->isChecked();
    s.flatButtons = ui->CheckBox3->isChecked();
    s.captions = ui->CheckBox4->isChecked();
    s.flatLook = ui->CheckBox5->isChecked();
    return s;
}

void TForm4::CheckBox5Click() {
    // The other windows first, this one last.
    emit settingsChanged(settings());
    XPMenu1->setActive(ui->CheckBox5->isChecked());
}

void TForm4::BitBtn1Click() {
    accept(); // the main window shows the current file again, in the unit chosen
}

void TForm4::keyPressEvent(QKeyEvent *event) {
    // Only OK and the close box close this dialog.
    if (!takeDialogKey(event, ui->BitBtn1))
        QDialog::keyPressEvent(event);
}
