#pragma once
// The view settings dialog; its controls come with its own work.
#include <QDialog>
#include <memory>

namespace Ui {
class TForm4;
}

class TForm4 : public QDialog {
    Q_OBJECT
public:
    explicit TForm4(QWidget *parent = nullptr);
    ~TForm4() override;

private:
    std::unique_ptr<Ui::TForm4> ui;
};
