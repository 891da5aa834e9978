// The view settings dialog acting on the main window, and the flat look of all four windows.
#include "TestSupport.h"
#include "app/Unit1.h"
#include "commands/Unit2.h"
#include "dialogs/Unit3.h"
#include "dialogs/Unit4.h"
#include "dialogs/XPColors.h"
#include "dialogs/XPMenu.h"
#include "dialogs/XPSettings.h"
#include "platform/WorkingDir.h"
#include "ui_Unit1.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>

class TestView : public QObject {
    Q_OBJECT
    QTemporaryDir m_tmp;
    QByteArray m_dir;
    RecordingMessenger m_messenger;
    std::unique_ptr<TForm1> m_form;
    TForm2 *m_options = nullptr;
    TForm3 *m_about = nullptr;
    TForm4 *m_view = nullptr;

    Ui::TForm1 *ui() const { return m_form->form(); }
    QByteArray path(const QByteArray &name) const { return m_dir + "/" + name; }
    template <class T> T *control(const char *name) const {
        T *w = m_view->findChild<T *>(QLatin1String(name));
        if (!w)
            qFatal("no control %s", name);
        return w;
    }
    QCheckBox *box(int n) const {
        return control<QCheckBox>(QByteArray("CheckBox" + QByteArray::number(n)).constData());
    }
    QRadioButton *unit(int index) const {
        return control<QRadioButton>(
            QByteArray("RadioButton" + QByteArray::number(index + 1)).constData());
    }
    QList<TXPMenu *> painters() const {
        return {m_form->XPMenu1, m_options->XPMenu1, m_about->XPMenu1, m_view->XPMenu1};
    }
    QList<QToolButton *> buttons() const {
        return {ui()->ToolButton1, ui()->ToolButton2, ui()->ToolButton3, ui()->ToolButton4,
                ui()->ToolButton5};
    }
    void clickRow(int row) {
        FileListBox *list = ui()->FileLB1;
        const QRect r = list->visualRect(list->model()->index(row, 0));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, r.center());
    }
    int rowOf(const QString &name) const {
        const QAbstractItemModel *m = ui()->FileLB1->model();
        for (int i = 0; i < m->rowCount(); ++i)
            if (m->index(i, 0).data().toString() == name)
                return i;
        return -1;
    }
    // Creates the five windows as the program does; the main window is shown when show is set.
    void build(bool show) {
        m_form = std::make_unique<TForm1>(m_messenger);
        m_options = new TForm2(m_form.get());
        m_about = new TForm3(m_form.get());
        m_view = new TForm4(m_form.get());
        m_form->setDialogs(m_options, m_about, m_view);
        if (show) {
            m_form->show();
            QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
        }
    }

private slots:
    void init() {
        static int n = 0;
        m_dir = QFile::encodeName(m_tmp.path()) + "/v" + QByteArray::number(++n);
        QVERIFY(makeCaseDir(m_dir));
        QVERIFY(makeFile(path("report.old.txt"), 1023));
        QVERIFY(makeFile(path("README"), 1048576));
        QVERIFY(makeFile(path("big.bin"), 3000000));
        QVERIFY(platform::setWorkingDirectory(m_dir));
        m_messenger = RecordingMessenger();
        build(true);
    }
    void cleanup() { m_form.reset(); }

    void dialogLayout() {
        QCOMPARE(m_view->windowTitle(), QString::fromUtf8("Вид"));
        QCOMPARE(m_view->size(), QSize(235, 281));
        QCOMPARE(m_view->minimumSize(), m_view->maximumSize());
        QCOMPARE(m_view->pos(), QPoint(234, 155));
        QCOMPARE(m_view->windowFlags() & Qt::WindowType_Mask, Qt::Tool);
        QVERIFY(m_view->windowFlags() & Qt::WindowCloseButtonHint);
        QVERIFY(!(m_view->windowFlags() & Qt::WindowMaximizeButtonHint));
        QCOMPARE(control<QGroupBox>("RadioGroup1")->geometry(), QRect(8, 10, 161, 90));
        QCOMPARE(control<QGroupBox>("RadioGroup1")->title(),
                 QString::fromUtf8("Отображать размер файла"));
        QCOMPARE(control<QPushButton>("BitBtn1")->geometry(), QRect(80, 248, 75, 25));
        QCOMPARE(control<QPushButton>("BitBtn1")->text(), QString::fromUtf8("ОК"));
        QVERIFY(control<QPushButton>("BitBtn1")->icon().isNull());
    }

    void checkBoxes_data() {
        QTest::addColumn<int>("n");
        QTest::addColumn<QRect>("bounds");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<bool>("ticked");
        QTest::newRow("status line") << 1 << QRect(8, 112, 185, 17)
                                     << QString::fromUtf8("Отображать строку состояния") << true;
        QTest::newRow("toolbar strip")
            << 2 << QRect(8, 136, 201, 17) << QString::fromUtf8("Отображать панель инструментов")
            << true;
        QTest::newRow("flat buttons")
            << 3 << QRect(24, 160, 113, 17) << QString::fromUtf8("Плоские кнопки") << true;
        QTest::newRow("captions") << 4 << QRect(24, 184, 193, 17)
                                  << QString::fromUtf8("Показывать подписи к кнопкам") << true;
        QTest::newRow("flat look")
            << 5 << QRect(8, 216, 97, 17) << QString::fromUtf8("XP интрефейс") << false;
    }
    void checkBoxes() {
        QFETCH(int, n);
        QFETCH(QRect, bounds);
        QFETCH(QString, caption);
        QFETCH(bool, ticked);
        const QRect g = box(n)->geometry();
        // A caption wider than the box widens it, never past the window's edge.
        QCOMPARE(g.topLeft(), bounds.topLeft());
        QCOMPARE(g.height(), bounds.height());
        QVERIFY(g.width() >= bounds.width());
        QVERIFY(g.right() < m_view->width());
        QCOMPARE(box(n)->text(), caption);
        QCOMPARE(box(n)->isChecked(), ticked);
        QVERIFY(box(n)->isEnabled());
    }

    void sizeUnitItems() {
        const char *items[] = {"в байтах", "в килобайтах", "в мегабайтах"};
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(unit(i)->text(), QString::fromUtf8(items[i]));
            QCOMPARE(unit(i)->isChecked(), i == 0);
            QCOMPARE(unit(i)->parentWidget(), control<QGroupBox>("RadioGroup1"));
        }
    }

    void tabOrder() {
        QWidget *expected[] = {
            unit(0), control<QPushButton>("BitBtn1"), box(1), box(2), box(3), box(4), box(5)};
        QWidget *w = unit(0);
        for (QWidget *next : expected) {
            QCOMPARE(w, next);
            do
                w = w->nextInFocusChain();
            while (!(w->focusPolicy() & Qt::TabFocus) || w->window() != m_view ||
                   qobject_cast<QRadioButton *>(w));
        }
    }

    void stateAfterStart() {
        QVERIFY(ui()->StatusBar1->isVisible());
        QVERIFY(ui()->Label4->isVisible());
        QVERIFY(ui()->CoolBar1->isVisible());
        for (QToolButton *b : buttons()) {
            QVERIFY(b->autoRaise());
            QCOMPARE(b->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
        }
        for (TXPMenu *p : painters())
            QVERIFY(!p->Active());
        QCOMPARE(m_form->sizeUnit(), 0);
    }

    void pathLineToggledAlone() {
        box(1)->click();
        QVERIFY(!ui()->Label4->isVisible());
        QVERIFY(ui()->StatusBar1->isVisible());
        box(1)->click();
        QVERIFY(ui()->Label4->isVisible());
        QVERIFY(ui()->StatusBar1->isVisible());
    }

    void statusBarDecidedWhenMainWindowShows() {
        m_form.reset();
        build(false);
        box(1)->click();
        m_form->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
        QVERIFY(!ui()->StatusBar1->isVisible());
        QVERIFY(!ui()->Label4->isVisible());
        box(1)->click(); // the path line comes back, the status bar does not
        QVERIFY(ui()->Label4->isVisible());
        QVERIFY(!ui()->StatusBar1->isVisible());
    }

    void hiddenStripLeavesItsBand() {
        const QRect dirs = ui()->DirectoryListBox1->geometry();
        const QRect path = ui()->Label4->geometry();
        box(2)->click();
        QVERIFY(!ui()->CoolBar1->isVisible());
        QCOMPARE(ui()->DirectoryListBox1->geometry(), dirs);
        QCOMPARE(ui()->Label4->geometry(), path);
        // The toolbar's look can still be changed and holds when the strip comes back.
        box(3)->click();
        box(4)->click();
        box(2)->click();
        QVERIFY(ui()->CoolBar1->isVisible());
        for (QToolButton *b : buttons()) {
            QVERIFY(!b->autoRaise());
            QCOMPARE(b->toolButtonStyle(), Qt::ToolButtonIconOnly);
        }
    }

    void flatButtonsAndCaptions() {
        box(3)->click();
        for (QToolButton *b : buttons())
            QVERIFY(!b->autoRaise());
        box(3)->click();
        for (QToolButton *b : buttons())
            QVERIFY(b->autoRaise());
        box(4)->click();
        for (QToolButton *b : buttons())
            QCOMPARE(b->toolButtonStyle(), Qt::ToolButtonIconOnly);
        box(4)->click();
        for (QToolButton *b : buttons())
            QCOMPARE(b->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
    }

    void sizeShownInUnit_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("unitIndex");
        QTest::addColumn<QString>("panel");
        QTest::newRow("1023 bytes in bytes") << "report.old.txt" << 0 << " Размер: 1023 байт";
        QTest::newRow("1023 bytes in kilobytes") << "report.old.txt" << 1 << " Размер: 0 Кбайт";
        QTest::newRow("1023 bytes in megabytes") << "report.old.txt" << 2 << " Размер: 0 Мбайт";
        QTest::newRow("1 MiB in bytes") << "README" << 0 << " Размер: 1048576 байт";
        QTest::newRow("1 MiB in kilobytes") << "README" << 1 << " Размер: 1024 Кбайт";
        QTest::newRow("1 MiB in megabytes") << "README" << 2 << " Размер: 1 Мбайт";
        QTest::newRow("3000000 bytes in megabytes") << "big.bin" << 2 << " Размер: 2 Мбайт";
    }
    void sizeShownInUnit() {
        QFETCH(QString, file);
        QFETCH(int, unitIndex);
        QFETCH(QString, panel);
        clickRow(rowOf(file));
        m_view->show();
        unit(unitIndex)->click();
        QCOMPARE(m_form->sizeUnit(), unitIndex);
        QTest::mouseClick(control<QPushButton>("BitBtn1"), Qt::LeftButton);
        QVERIFY(!m_view->isVisible());
        QCOMPARE(m_view->result(), int(QDialog::Accepted));
        QCOMPARE(ui()->StatusBar1->panelText(1), panel);
    }

    void unitWaitsForTheNextFileClick() {
        clickRow(rowOf(QStringLiteral("README")));
        m_view->show();
        unit(1)->click();
        m_view->close(); // the close box
        QCOMPARE(m_view->result(), int(QDialog::Rejected));
        QCOMPARE(ui()->StatusBar1->panelText(1), QString::fromUtf8(" Размер: 1048576 байт"));
        clickRow(rowOf(QStringLiteral("README")));
        QCOMPARE(ui()->StatusBar1->panelText(1), QString::fromUtf8(" Размер: 1024 Кбайт"));
    }

    void okRerunsTheFileClick() {
        clickRow(rowOf(QStringLiteral("report.old.txt")));
        ui()->Edit1->setText(QStringLiteral("typed"));
        ui()->StatusBar1->setPanelText(0, QString());
        m_view->show();
        QTest::mouseClick(control<QPushButton>("BitBtn1"), Qt::LeftButton);
        QCOMPARE(ui()->Edit1->text(), QStringLiteral("report.o"));
        QCOMPARE(ui()->StatusBar1->panelText(0), QString::fromUtf8(" Файл: report.old.txt"));
        QVERIFY(ui()->Label4->text().endsWith(QStringLiteral("/report.old.txt")));
    }

    void okWithAllTickedClearsTheCurrentFile() {
        clickRow(rowOf(QStringLiteral("README")));
        const QString panel0 = ui()->StatusBar1->panelText(0);
        ui()->cbAll->setChecked(true);
        m_view->show();
        QTest::mouseClick(control<QPushButton>("BitBtn1"), Qt::LeftButton);
        QVERIFY(!ui()->cbAll->isChecked());
        QVERIFY(ui()->FileLB1->selectionModel()->selectedRows().isEmpty());
        QCOMPARE(ui()->Label4->text(), QString());
        QCOMPARE(ui()->Edit1->text(), QString());
        QCOMPARE(ui()->StatusBar1->panelText(0), panel0);
    }

    void escapeDoesNothing() {
        m_view->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_view));
        QTest::keyClick(m_view, Qt::Key_Escape);
        QVERIFY(m_view->isVisible());
        m_view->close();
    }

    void enterPressesOnlyTheButton_data() {
        QTest::addColumn<QString>("focus");
        QTest::addColumn<bool>("closes");
        QTest::newRow("check box") << "CheckBox1" << false;
        QTest::newRow("radio button") << "RadioButton2" << false;
        QTest::newRow("the button") << "BitBtn1" << true;
    }
    void enterPressesOnlyTheButton() {
        QFETCH(QString, focus);
        QFETCH(bool, closes);
        m_view->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_view));
        auto *w = m_view->findChild<QWidget *>(focus);
        QVERIFY(w);
        w->setFocus();
        const bool ticked = box(1)->isChecked();
        for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter}) {
            if (!m_view->isVisible())
                break;
            QTest::keyClick(w, key);
            QCOMPARE(!m_view->isVisible(), closes);
        }
        if (closes)
            QCOMPARE(m_view->result(), int(QDialog::Accepted));
        QCOMPARE(box(1)->isChecked(), ticked); // Enter ticks nothing either
        m_view->close();
    }

    void menuOpensTheDialogModally() {
        bool seen = false;
        QTimer::singleShot(0, this, [&] {
            seen = m_view->isVisible() && m_view->isModal();
            QTest::mouseClick(control<QPushButton>("BitBtn1"), Qt::LeftButton);
        });
        ui()->N16->trigger();
        QVERIFY(seen);
        QVERIFY(!m_view->isVisible());
    }

    void flatLookOnAndOff() {
        box(3)->click(); // raised buttons first
        ui()->DirectoryListBox1->resize(ui()->DirectoryListBox1->width(), 100);
        box(5)->click();
        for (TXPMenu *p : painters())
            QVERIFY(p->Active());
        QCOMPARE(ui()->DirectoryListBox1->height(), 212);
        for (QToolButton *b : buttons())
            QVERIFY(b->autoRaise());
        QVERIFY(!box(3)->isChecked());
        // The covered controls of each window draw with their window's painter.
        QStyle *mainLook = m_form->XPMenu1->style();
        for (QWidget *w : std::initializer_list<QWidget *>{
                 ui()->FileLB1, ui()->DirectoryListBox1, ui()->DriveComboBox1, ui()->Edit1,
                 ui()->ToolButton1, ui()->MainMenu1, ui()->N111, ui()->N4})
            QCOMPARE(w->style(), mainLook);
        QVERIFY(ui()->Label4->style() != mainLook);
        QVERIFY(ui()->StatusBar1->style() != mainLook);
        QCOMPARE(control<QPushButton>("BitBtn1")->style(), m_view->XPMenu1->style());
        QCOMPARE(box(1)->style(), m_view->XPMenu1->style());
        QCOMPARE(control<QGroupBox>("RadioGroup1")->style(), m_view->XPMenu1->style());
        for (const char *name : {"Panel1", "RadioGroup1", "CheckBox1", "BitBtn1"})
            QCOMPARE(m_options->findChild<QWidget *>(QLatin1String(name))->style(),
                     m_options->XPMenu1->style());
        QCOMPARE(m_about->findChild<QPushButton *>(QStringLiteral("Button1"))->style(),
                 m_about->XPMenu1->style());
        QCOMPARE(m_about->findChild<QFrame *>(QStringLiteral("Panel1"))->style(),
                 m_about->XPMenu1->style());

        // The main window's own drop-down, painted: its first columns follow the gradient.
        QMenu *menu = ui()->N4;
        menu->popup(QPoint(10, 10));
        QVERIFY(QTest::qWaitForWindowExposed(menu));
        const QImage painted = menu->grab().toImage();
        const QRect item = menu->actionGeometry(ui()->N15);
        const xp::Colours c = xpColours(m_form->XPMenu1->settings(), menu->palette(), menu);
        for (int column = 0; column < 24; ++column)
            QCOMPARE(QColor(painted.pixel(item.left() + column, item.top() + 1)),
                     xp::menuColumnColour(c, column, 24));
        menu->hide();

        ui()->DirectoryListBox1->resize(ui()->DirectoryListBox1->width(), 100);
        box(3)->click();
        box(3)->click(); // twice: back to raised buttons
        for (QToolButton *b : buttons())
            QVERIFY(!b->autoRaise());
        box(5)->click();
        for (TXPMenu *p : painters())
            QVERIFY(!p->Active());
        QCOMPARE(ui()->DirectoryListBox1->height(), 212);
        for (QToolButton *b : buttons())
            QVERIFY(b->autoRaise());
        QVERIFY(!box(3)->isChecked());
        for (QWidget *w :
             std::initializer_list<QWidget *>{ui()->FileLB1, ui()->Edit1, ui()->MainMenu1, box(1)})
            QCOMPARE(w->style(), QApplication::style());
    }
};

QTEST_MAIN(TestView)
#include "tst_view.moc"
