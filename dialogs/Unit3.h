#pragma once
// The about dialog: name, version, picture, maker, author and three links. Translucent, with
// pure green fully transparent; closed only by OK or a click on the picture.
#include <QDialog>
#include <memory>

namespace Ui {
class TForm3;
}
class TXPMenu;

class TForm3 : public QDialog {
    Q_OBJECT
public:
    explicit TForm3(QWidget *parent = nullptr);
    ~TForm3() override;

    TXPMenu *XPMenu1;

    // What a click on each link opens.
    QString Label5Target() const;
    QString Label8Target() const;
    QString Label9Target() const;

    void Button1Click();
    void Image1Click();
    void Label5MouseMove();
    void Label8MouseMove();
    void Label9MouseMove();
    void Label5Click();
    void Label8Click();
    void Label9Click();
    void FormActivate();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void applyColourKey();

    std::unique_ptr<Ui::TForm3> ui;
};
