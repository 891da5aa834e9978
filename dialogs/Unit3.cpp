#include "dialogs/Unit3.h"

#include "ColourKey.h"
#include "DialogKeys.h"
#include "JpegPicture.h"
#include "XPMenu.h"
#include "platform/Shell.h"
#include "ui_Unit3.h"

#include "Version.h"

#include <QCloseEvent>
#include <QFile>
#include <QLabel>

namespace {
constexpr int Opacity = 120;
constexpr QRgb ColourKey = 0x00ff00; // pure green is not drawn at all
constexpr int HandHotX = 6;          // the tip of the index finger in the cursor picture
constexpr int HandHotY = 1;

QCursor handCursor() {
    return QCursor(QPixmap(QStringLiteral(":/images/hand_cursor.png")), HandHotX, HandHotY);
}
} // namespace

TForm3::TForm3(QWidget *parent) : QDialog(parent), ui(std::make_unique<Ui::TForm3>()) {
    ui->setupUi(this);
    ui->Label4->setText(
        ui->Label4->text().arg(QStringLiteral(WINYK_VERSION), QStringLiteral(WINYK_BUILD_NUMBER)));
    // A title bar without any button: no close box, no system menu.
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setFixedSize(size());
    move(215, 165);
    setWindowOpacity(Opacity / 255.0);
    XPMenu1 = new TXPMenu(this, XPSettings::dialog());

    for (QLabel *label : {ui->Label1, ui->Label2, ui->Label3, ui->Label4, ui->Label6, ui->Label7,
                          static_cast<QLabel *>(ui->Label5), static_cast<QLabel *>(ui->Label8),
                          static_cast<QLabel *>(ui->Label9)})
        label->adjustSize();

    QFile file(QStringLiteral(":/images/about.jpg"));
    if (file.open(QIODevice::ReadOnly))
        ui->Image1->setPicture(decodeJpeg(file.readAll()).image);

    connect(ui->Button1, &QPushButton::clicked, this, &TForm3::Button1Click);
    connect(ui->Image1, &PictureBox::clicked, this, &TForm3::Image1Click);
    connect(ui->Label5, &LinkLabel::mouseMoved, this, &TForm3::Label5MouseMove);
    connect(ui->Label8, &LinkLabel::mouseMoved, this, &TForm3::Label8MouseMove);
    connect(ui->Label9, &LinkLabel::mouseMoved, this, &TForm3::Label9MouseMove);
    connect(ui->Label5, &LinkLabel::clicked, this, &TForm3::Label5Click);
    connect(ui->Label8, &LinkLabel::clicked, this, &TForm3::Label8Click);
    connect(ui->Label9, &LinkLabel::clicked, this, &TForm3::Label9Click);
}

TForm3::~TForm3() = default;

QString TForm3::Label5Target() const {
    return QStringLiteral("mailto:") + ui->Label5->toolTip();
}

QString TForm3::Label8Target() const {
    return ui->Label8->toolTip();
}

QString TForm3::Label9Target() const {
    return ui->Label9->toolTip();
}

void TForm3::Button1Click() {
    accept();
}

void TForm3::Image1Click() {
    accept();
}

void TForm3::Label5MouseMove() {
    ui->Label5->setCursor(handCursor());
}

void TForm3::Label8MouseMove() {
    ui->Label8->setCursor(handCursor());
}

void TForm3::Label9MouseMove() {
    ui->Label9->setCursor(handCursor());
}

// A target nobody can open does nothing visible: the result is not looked at.
void TForm3::Label5Click() {
    platform::shellOpen(Label5Target().toUtf8());
}

void TForm3::Label8Click() {
    platform::shellOpen(Label8Target().toUtf8());
}

void TForm3::Label9Click() {
    platform::shellOpen(Label9Target().toUtf8());
}

void TForm3::FormActivate() {}

void TForm3::keyPressEvent(QKeyEvent *event) {
    // Only OK and the picture close this dialog.
    if (!takeDialogKey(event))
        QDialog::keyPressEvent(event);
}

void TForm3::closeEvent(QCloseEvent *event) {
    // No close box and no system menu: a window manager's close request (Alt+F4) is refused
    // too, so only OK and the picture close the dialog.
    if (event->spontaneous()) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void TForm3::showEvent(QShowEvent *event) {
    QDialog::showEvent(event);
    applyColourKey();
}

void TForm3::applyColourKey() {
    clearMask();
    QImage shown = grab().toImage();
    if (shown.size() != size())
        shown = shown.scaled(size());
    if (hasColour(shown, ColourKey))
        setMask(regionWithoutColour(shown, ColourKey));
}
