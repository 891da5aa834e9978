#include "app/Unit1.h"

#include "app/KeyRouting.h"
#include "app/Messenger.h"
#include "app/NameRules.h"
#include "app/SettingsFile.h"
#include "app/Texts.h"
#include "commands/DeletePass.h"
#include "commands/Unit2.h"
#include "dialogs/LayoutFit.h"
#include "dialogs/ToolBarLook.h"
#include "dialogs/Unit3.h"
#include "dialogs/XPMenu.h"
#include "platform/ConfigDir.h"
#include "platform/FileStatus.h"
#include "platform/Shell.h"
#include "ui_Unit1.h"

#include "Version.h"

#include <QCloseEvent>
#include <QFile>
#include <QIcon>
#include <QTimer>
#include <QToolButton>
#include <algorithm>
#include <iterator>
#include <utility>

namespace {
constexpr int Opacity = 200;
constexpr QChar EscapeChar(27);
// The directory list's height in the layout; the flat look sets it back to this.
constexpr int DirectoryListHeight = 212;
} // namespace

TForm1::TForm1(Messenger &messenger, QWidget *parent)
    : QMainWindow(parent), ui(std::make_unique<Ui::TForm1>()), m_messenger(messenger) {
    ui->setupUi(this);
    setWindowTitle(windowTitle().arg(QStringLiteral(WINYK_VERSION)));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint |
                   Qt::CustomizeWindowHint);
    setWindowOpacity(Opacity / 255.0);
    QIcon icon = windowIcon(); // the layout's 32-pixel picture; the 16-pixel one is drawn apart
    icon.addFile(QStringLiteral(":/images/app_icon_16.png"), QSize(16, 16));
    setWindowIcon(icon);
    setFixedSize(sizeHint());
    move(176, 104);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(2000);
    Timer2 = new QTimer(this);
    Timer2->setObjectName(QStringLiteral("Timer2"));
    Timer2->setInterval(300);
    Timer3 = new QTimer(this);
    Timer3->setObjectName(QStringLiteral("Timer3"));
    Timer3->setInterval(1000);
    XPMenu1 = new TXPMenu(this, XPSettings::mainWindow());

    ui->Label1->adjustSize();
    ui->Label2->adjustSize();
    layoutfit::widenToCaptions(this); // "отметить всё (*.*)" is wider in this face
    ui->DirectoryListBox1->link(ui->DriveComboBox1, ui->FileLB1, &m_cwd);
    new KeyRouting(this, [this](QChar key) { FormKeyPress(key); });
    // A held Enter is one press: its repeats would start one archiver each.
    new KeyPressTap(ui->Edit1, [this](QChar key, bool repeated) {
        if (!repeated)
            Edit1KeyPress(key);
    });
    wireHandlers();
    FormCreate();
}

TForm1::~TForm1() = default;

void TForm1::setDialogs(TForm2 *options, TForm3 *about, TForm4 *view) {
    m_options = options;
    m_about = about;
    m_view = view;
    if (!view)
        return;
    m_viewSettings = view->settings();
    connect(view, &TForm4::settingsChanged, this, &TForm1::applyViewSettings);
    // OK shows the current file again, in the unit chosen.
    connect(view, &QDialog::accepted, this, &TForm1::FileLB1Click);
}

void TForm1::applyViewSettings(const ViewSettings &s) {
    const ViewSettings was = std::exchange(m_viewSettings, s);
    if (s.pathLine != was.pathLine)
        ui->Label4->setVisible(s.pathLine);
    // The rest of the window stays where it is: an empty band replaces the strip.
    if (s.toolStrip != was.toolStrip)
        ui->CoolBar1->setVisible(s.toolStrip);
    if (s.flatButtons != was.flatButtons)
        toolbar::setFlat(ui->ToolBar1, s.flatButtons);
    if (s.captions != was.captions)
        toolbar::setCaptions(ui->ToolBar1, s.captions);
    if (s.flatLook == was.flatLook)
        return;
    for (TXPMenu *painter :
         {XPMenu1, m_options ? m_options->XPMenu1 : nullptr, m_about ? m_about->XPMenu1 : nullptr})
        if (painter)
            painter->setActive(s.flatLook);
    ui->DirectoryListBox1->resize(ui->DirectoryListBox1->width(), DirectoryListHeight);
}

void TForm1::setLauncher(commands::Launcher *launcher) {
    m_launcher = launcher ? launcher : &m_platformLauncher;
}

void TForm1::wireHandlers() {
    // A menu item and the toolbar button of the same command share one handler.
    const std::pair<QToolButton *, QAction *> commandsPairs[] = {{ui->ToolButton1, ui->N10},
                                                                 {ui->ToolButton2, ui->N11},
                                                                 {ui->ToolButton3, ui->N12},
                                                                 {ui->ToolButton4, ui->N13},
                                                                 {ui->ToolButton5, ui->N14}};
    void (TForm1::*handlers[])() = {&TForm1::ToolButton1Click, &TForm1::ToolButton2Click,
                                    &TForm1::ToolButton3Click, &TForm1::ToolButton4Click,
                                    &TForm1::ToolButton5Click};
    for (size_t i = 0; i < std::size(handlers); ++i) {
        // A held shortcut runs its command once, not once per key repeat.
        commandsPairs[i].second->setAutoRepeat(false);
        connect(commandsPairs[i].first, &QToolButton::clicked, this, handlers[i]);
        connect(commandsPairs[i].second, &QAction::triggered, this, handlers[i]);
    }
    connect(Timer1, &QTimer::timeout, this, &TForm1::Timer1Timer);
    connect(Timer2, &QTimer::timeout, this, &TForm1::Timer2Timer);
    connect(ui->N3, &QAction::triggered, this, &TForm1::N3Click);
    connect(ui->N15, &QAction::triggered, this, &TForm1::N15Click);
    connect(ui->N16, &QAction::triggered, this, &TForm1::N16Click);
    connect(ui->N8, &QAction::triggered, this, &TForm1::N8Click);
    connect(ui->FileLB1, &FileListBox::userClicked, this, &TForm1::FileLB1Click);
    connect(ui->FileLB1, &FileListBox::userDoubleClicked, this, &TForm1::FileLB1DblClick);
    connect(ui->cbAll, &QCheckBox::toggled, this, &TForm1::cbAllClick);
    connect(ui->DirectoryListBox1, &DirectoryListBox::userClicked, this,
            &TForm1::DirectoryListBox1Click);
    connect(ui->DirectoryListBox1, &DirectoryListBox::aboutToOpen, this,
            &TForm1::DirectoryListBox1DblClick);
    connect(ui->DirectoryListBox1, &DirectoryListBox::changed, this,
            &TForm1::DirectoryListBox1Change);
    connect(Timer3, &QTimer::timeout, this, &TForm1::Timer3Timer);
}

void TForm1::FormCreate() {
    ui->Label4->clear();
    const QByteArray path = settings::filePath(platform::configDirectory());
    const settings::ReadResult saved = settings::read(path);
    if (saved.status == settings::ReadResult::Unreadable)
        m_messenger.error(this, texts::errorReportText(texts::cannotOpenText(path)));
    else if (saved.status == settings::ReadResult::Ok && !saved.firstLine.isEmpty())
        ui->DirectoryListBox1->setDirectory(saved.firstLine);
    Timer3->start();
}

void TForm1::FormShow() {
    ui->StatusBar1->setVisible(!m_view || m_view->settings().pathLine);
}

void TForm1::showEvent(QShowEvent *event) {
    QMainWindow::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TForm1::FormKeyPress(QChar key) {
    // Reached only by a combination other than the Esc key itself, which runs "Выход".
    if (key == EscapeChar)
        close();
}

bool TForm1::FormCloseQuery() {
    return true;
}

void TForm1::closeEvent(QCloseEvent *event) {
    if (FormCloseQuery())
        event->accept();
    else
        event->ignore();
}

void TForm1::N3Click() {
    const QByteArray path = settings::filePath(platform::configDirectory());
    if (!settings::write(path, ui->DirectoryListBox1->directory())) {
        m_messenger.error(this, texts::errorReportText(texts::cannotCreateText(path)));
        return;
    }
    close();
}

void TForm1::N15Click() {
    if (m_options)
        m_options->exec();
}

void TForm1::N16Click() {
    if (m_view)
        m_view->exec();
}

void TForm1::N8Click() {
    if (m_about)
        m_about->exec();
}

int TForm1::sizeUnit() const {
    return m_view ? m_view->settings().sizeUnit : 0;
}

void TForm1::FileLB1Click() {
    ui->cbAll->setChecked(false);
    const QByteArray current = ui->FileLB1->currentFile();
    ui->Label4->setText(names::displayName(current));
    ui->Label4->adjustSize();
    const QString name = names::displayName(names::baseName(current));
    ui->Edit1->setText(names::archiveNameProposal(name));

    const std::optional<platform::FileStatus> file =
        current.isEmpty() ? std::nullopt : platform::readFileStatus(current);
    if (!file)
        return;
    ui->StatusBar1->setPanelText(0, texts::fileNameText(name));
    ui->StatusBar1->setPanelText(1, texts::sizeText(file->size, sizeUnit()));
    ui->StatusBar1->setPanelText(2, texts::fileTimeText(file->mtimeSec));
}

void TForm1::FileLB1DblClick() {
    platform::shellOpen(ui->FileLB1->currentFile());
}

void TForm1::cbAllClick() {
    ui->FileLB1->setAllSelected(ui->cbAll->isChecked());
}

void TForm1::DirectoryListBox1Click() {
    ui->cbAll->setChecked(false);
}

void TForm1::DirectoryListBox1DblClick() {
    ui->FileLB1->refresh();
}

void TForm1::DirectoryListBox1Change() {
    repaint();
}

void TForm1::Timer3Timer() {
    ui->StatusBar1->setPanelText(3, texts::clockText(QDateTime::currentDateTime()));
}

commands::ArchiverOptions TForm1::archiverOptions() const {
    // The options dialog exists for the whole run; a window without one has the defaults.
    return m_options ? m_options->options() : commands::ArchiverOptions();
}

commands::AddRequest TForm1::addRequest() const {
    commands::AddRequest request;
    request.options = archiverOptions();
    request.archiveName = QFile::encodeName(ui->Edit1->text());
    request.directory = ui->FileLB1->directory();
    for (int row : ui->FileLB1->selectedRows())
        request.selectedNames.append(ui->FileLB1->rowName(row));
    request.allFiles = ui->cbAll->isChecked();
    return request;
}

bool TForm1::launch(const commands::Launch &launch) {
    // In the directory the list shows, which is the working directory after every move; one
    // that vanished meanwhile cannot be entered, and then nothing starts anywhere else.
    const platform::LaunchError error =
        m_launcher->launch(launch.commandLine, launch.showMode, ui->FileLB1->directory());
    if (error.reason == platform::LaunchError::None)
        return true;
    // Said at once; the list keeps its selection, so the user can put it right and retry.
    m_messenger.message(this, texts::launchFailedText(error));
    return false;
}

void TForm1::enableTimer(QTimer *timer) {
    // Enabling a running timer does not restart its count.
    if (!timer->isActive())
        timer->start();
}

void TForm1::ToolButton1Click() {
    const std::optional<commands::Launch> add =
        commands::planAdd(commands::AddPath::Button, addRequest());
    if (!add) {
        m_messenger.message(this, texts::addTooLongText());
        return;
    }
    if (!launch(*add))
        return;
    // The directory list re-reads its own directory, then the file list re-reads.
    ui->DirectoryListBox1->reread();
    ui->FileLB1->refresh();
    enableTimer(Timer1);
}

void TForm1::Edit1KeyPress(QChar key) {
    if (key != QChar(13))
        return;
    if (!launch(*commands::planAdd(commands::AddPath::Enter, addRequest())))
        return;
    ui->FileLB1->refresh();
    enableTimer(Timer1);
}

void TForm1::archiveCommand(commands::Command command) {
    const std::optional<commands::Launch> planned =
        commands::planArchiveCommand(command, archiverOptions(), ui->FileLB1->currentFile());
    if (!planned) {
        m_messenger.message(this, texts::notAnArchiveText());
        return;
    }
    if (!launch(*planned))
        return;
    if (command == commands::Command::Extract) {
        ui->FileLB1->refresh();
        enableTimer(Timer1);
    }
}

void TForm1::ToolButton2Click() {
    archiveCommand(commands::Command::Extract);
}

void TForm1::ToolButton3Click() {
    archiveCommand(commands::Command::List);
}

void TForm1::ToolButton4Click() {
    archiveCommand(commands::Command::Test);
}

void TForm1::ToolButton5Click() {
    FileListBox *list = ui->FileLB1;
    // The rows are taken before the first deletion: a refresh that falls due while a failure
    // is on the screen must not change which files the pass deletes or names.
    QList<commands::DeleteRow> rows;
    for (int row : list->selectedRows())
        rows.append({row, list->rowName(row)});
    commands::DeleteHooks hooks;
    hooks.deleted = [this] { enableTimer(Timer2); };
    hooks.failed = [this](const QByteArray &name) {
        m_messenger.message(this, texts::deleteFailedText(name));
    };
    commands::deleteRows(rows, list->listedDirectory(), hooks, LastDeleteIndex);
}

void TForm1::Timer1Timer() {
    ui->FileLB1->refresh();
    Timer1->stop();
}

void TForm1::Timer2Timer() {
    FileListBox *list = ui->FileLB1;
    list->refresh();
    // A rebuilt list has its focus on its first row.
    const int focused = std::max(0, list->focusedRow());
    list->setFocusedRow(commands::focusAfterDelete(focused, LastDeleteIndex));
    Timer2->stop();
}
