#pragma once
// The archiver options dialog. Its controls are the only store of the options: they keep their
// states for the run, whether the dialog was opened or not, and nothing saves them.
#include "commands/CommandLines.h"

#include <QDialog>
#include <memory>

namespace Ui {
class TForm2;
}
class QCheckBox;
class TXPMenu;

class TForm2 : public QDialog {
    Q_OBJECT
public:
    explicit TForm2(QWidget *parent = nullptr);
    ~TForm2() override;

    Ui::TForm2 *form() const { return ui.get(); }
    // The method group's item index, 0 to 2.
    int itemIndex() const;
    void setItemIndex(int index);
    // CheckBox1 .. CheckBox10 by number.
    QCheckBox *checkBox(int n) const;
    // What CheckBoxN sets: CheckBoxOptions[N - 1].
    static constexpr yk::Switch CheckBoxOptions[] = {
        yk::Switch::OverwriteAll, yk::Switch::CurrentTime, yk::Switch::Recurse,
        yk::Switch::FullListing,  yk::Switch::Move,        yk::Switch::SystemAttributes,
        yk::Switch::NoPaths,      yk::Switch::Quiet,       yk::Switch::HiddenFiles,
        yk::Switch::StoreDirs};
    // The states of the controls at this moment.
    commands::ArchiverOptions options() const;

    TXPMenu *XPMenu1; // the flat look of this window, off at start

protected:
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    std::unique_ptr<Ui::TForm2> ui;
};
