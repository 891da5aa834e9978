#pragma once
// The main window: menu, toolbar, file browsing panel, archive name and status bar.
#include "commands/CommandLines.h"
#include "commands/Launcher.h"
#include "dialogs/Unit4.h"
#include "platform/WorkingDir.h"

#include <QMainWindow>
#include <memory>

namespace Ui {
class TForm1;
}
class Messenger;
class QTimer;
class TForm2;
class TForm3;
class TXPMenu;

class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    // messenger shows the window's message boxes and must outlive it.
    explicit TForm1(Messenger &messenger, QWidget *parent = nullptr);
    ~TForm1() override;

    // The dialogs, created after the main window.
    void setDialogs(TForm2 *options, TForm3 *about, TForm4 *view);
    // The launcher of the archiver's command lines; tests put a recorder here. Must outlive
    // the window; nullptr restores the platform's.
    void setLauncher(commands::Launcher *launcher);
    // The one owner of the working directory, which the file widgets move.
    const platform::WorkingDirectory &workingDirectory() const { return m_cwd; }

    Ui::TForm1 *form() const { return ui.get(); }
    // For tests: the timers and the last delete pass's position.
    const QTimer *timer1() const { return Timer1; }
    const QTimer *timer2() const { return Timer2; }
    const QTimer *timer3() const { return Timer3; }
    int lastDeleteIndex() const { return LastDeleteIndex; }
    TXPMenu *XPMenu1 = nullptr; // the flat look of this window, off at start

    // Handlers, named after their components and events.
    void FormCreate();
    void FormShow();
    void FormKeyPress(QChar key);
    bool FormCloseQuery();
    void N3Click();
    void N15Click();
    void N16Click();
    void N8Click();
    void FileLB1Click();
    void FileLB1DblClick();
    void cbAllClick();
    void DirectoryListBox1Click();
    void DirectoryListBox1DblClick();
    void DirectoryListBox1Change();
    void Timer3Timer();
    void ToolButton1Click();
    void Edit1KeyPress(QChar key);
    void ToolButton2Click();
    void ToolButton3Click();
    void ToolButton4Click();
    void ToolButton5Click();
    void Timer1Timer();
    void Timer2Timer();

    // The unit in which the status bar shows sizes: 0 bytes, 1 kilobytes, 2 megabytes.
    int sizeUnit() const;

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void wireHandlers();
    commands::ArchiverOptions archiverOptions() const;
    commands::AddRequest addRequest() const;
    bool launch(const commands::Launch &launch); // false: not started, and said so
    void archiveCommand(commands::Command command);
    void enableTimer(QTimer *timer);
    void applyViewSettings(const ViewSettings &settings);

    QTimer *Timer1 = nullptr; // re-reads the file list after a command
    QTimer *Timer2 = nullptr; // re-reads it after a delete pass
    QTimer *Timer3 = nullptr; // the clock
    // Position of the last selected row that the last delete pass visited.
    int LastDeleteIndex = 0;
    ViewSettings m_viewSettings;      // as last applied
    platform::WorkingDirectory m_cwd; // before the widgets, which it moves
    std::unique_ptr<Ui::TForm1> ui;
    Messenger &m_messenger;
    TForm2 *m_options = nullptr;
    TForm3 *m_about = nullptr;
    TForm4 *m_view = nullptr;
    commands::Launcher m_platformLauncher;
    commands::Launcher *m_launcher = &m_platformLauncher;
};
