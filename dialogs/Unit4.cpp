#include "dialogs/Unit4.h"

#include "LayoutFit.h"
#include "ToolBarLook.h"
#include "XPMenu.h"
#include "ui_Unit4.h"

#include <QKeyEvent>

namespace {
// The directory list's height in the main window's layout; the flat look sets it back to this.
constexpr int DirectoryListHeight = 212;
} // namespace

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

    connect(ui->CheckBox1, &QCheckBox::toggled, this, &TForm4::CheckBox1Click);
    connect(ui->CheckBox2, &QCheckBox::toggled, this, &TForm4::CheckBox2Click);
    connect(ui->CheckBox3, &QCheckBox::toggled, this, &TForm4::CheckBox3Click);
    connect(ui->CheckBox4, &QCheckBox::toggled, this, &TForm4::CheckBox4Click);
    connect(ui->CheckBox5, &QCheckBox::toggled, this, &TForm4::CheckBox5Click);
    connect(ui->BitBtn1, &QPushButton::clicked, this, &TForm4::BitBtn1Click);
}

TForm4::~TForm4() = default;

void TForm4::attach(const ViewTargets &targets) {
    m_targets = targets;
}

int TForm4::sizeUnit() const {
    if (ui->RadioButton3->isChecked())
        return 2;
    if (ui->RadioButton2->isChecked())
        return 1;
    return 0;
}

bool TForm4::statusBarShown() const {
    return ui->CheckBox1->isChecked();
}

void TForm4::CheckBox1Click() {
    if (m_targets.Label4)
        m_targets.Label4->setVisible(ui->CheckBox1->isChecked());
}

void TForm4::CheckBox2Click() {
    // The rest of the main window stays where it is: an empty band replaces the strip.
    if (m_targets.CoolBar1)
        m_targets.CoolBar1->setVisible(ui->CheckBox2->isChecked());
}

void TForm4::CheckBox3Click() {
    if (m_targets.ToolBar1)
        toolbar::setFlat(m_targets.ToolBar1, ui->CheckBox3->isChecked());
}

void TForm4::CheckBox4Click() {
    if (m_targets.ToolBar1)
        toolbar::setCaptions(m_targets.ToolBar1, ui->CheckBox4->isChecked());
}

void TForm4::CheckBox5Click() {
    const bool on = ui->CheckBox5->isChecked();
    for (TXPMenu *painter :
         {m_targets.mainPainter, m_targets.optionsPainter, m_targets.aboutPainter, XPMenu1})
        if (painter)
            painter->setActive(on);
    if (QWidget *list = m_targets.DirectoryListBox1)
        list->resize(list->width(), DirectoryListHeight);
}

void TForm4::BitBtn1Click() {
    if (m_targets.FileLB1Click)
        m_targets.FileLB1Click();
    accept();
}

void TForm4::keyPressEvent(QKeyEvent *event) {
    switch (event->key()) {
    case Qt::Key_Escape:
        // Esc does not close this dialog; only OK and the close box do.
        if (event->modifiers() != Qt::NoModifier)
            break;
        event->accept();
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // "ОК" is no default button: Enter presses it only while it has the focus itself.
        if (focusWidget() == ui->BitBtn1)
            ui->BitBtn1->click();
        event->accept();
        return;
    default:
        break;
    }
    QDialog::keyPressEvent(event);
}
