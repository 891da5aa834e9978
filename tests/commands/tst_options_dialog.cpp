// The archiver options dialog: its layout, defaults, keys, and states that last for the run.
#include "commands/Unit2.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

namespace {
QWidget *nextTabStop(QWidget *w) {
    do
        w = w->nextInFocusChain();
    while (!(w->focusPolicy() & Qt::TabFocus) || !w->isEnabled() || !w->isVisible());
    return w;
}
} // namespace

class TestOptionsDialog : public QObject {
    Q_OBJECT
    std::unique_ptr<TForm2> m_form;

    QPushButton *button() const { return m_form->findChild<QPushButton *>("BitBtn1"); }

private slots:
    void init() { m_form = std::make_unique<TForm2>(); }
    void cleanup() { m_form.reset(); }

    void window() {
        QCOMPARE(m_form->windowTitle(), QString::fromUtf8("Параметры архиватора"));
        QCOMPARE(m_form->size(), QSize(386, 400));
        QCOMPARE(m_form->minimumSize(), m_form->maximumSize());
        QVERIFY(m_form->windowFlags() & Qt::Tool);
        QVERIFY(!(m_form->windowFlags() & Qt::WindowMaximizeButtonHint));
        QVERIFY(!(m_form->windowFlags() & Qt::WindowMinimizeButtonHint));
        QCOMPARE(qRound(m_form->windowOpacity() * 255), 120);
        QCOMPARE(m_form->findChild<QWidget *>("Panel1")->geometry(), QRect(0, 0, 385, 361));
        auto *group = m_form->findChild<QGroupBox *>("RadioGroup1");
        QCOMPARE(group->geometry(), QRect(16, 16, 257, 73));
        QCOMPARE(group->title(), QString::fromUtf8(" Метод архивации"));
        QCOMPARE(button()->geometry(), QRect(155, 371, 75, 25));
        QCOMPARE(button()->text(), QString::fromUtf8("ОК"));
        QVERIFY(!button()->isDefault());
        QVERIFY(!button()->autoDefault());
        QVERIFY(!m_form->isVisible());
    }

    void methodItems() {
        const char *texts[] = {"PLN - простое копирование", "RGE - арифметический кодировщик",
                               "KMX - конечная контекстная модель и RGE"};
        int top = -1;
        for (int i = 0; i < 3; ++i) {
            auto *item =
                m_form->findChild<QRadioButton *>(QStringLiteral("RadioGroup1Item%1").arg(i));
            QCOMPARE(item->text(), QString::fromUtf8(texts[i]));
            QCOMPARE(item->isChecked(), i == 1);
            QVERIFY(item->y() > top); // one column
            top = item->y();
        }
        QCOMPARE(m_form->itemIndex(), 1);
    }

    void checkBoxes_data() {
        QTest::addColumn<int>("n");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<bool>("on");
        QTest::addColumn<int>("top");
        QTest::addColumn<int>("width");
        auto row = [](int n, const char *caption, bool on, int top, int width) {
            QTest::newRow(qPrintable(QStringLiteral("CheckBox%1").arg(n)))
                << n << QString::fromUtf8(caption) << on << top << width;
        };
        row(3, "Включать подкаталоги при поиске файлов для архивации.", false, 96, 321);
        row(5, "Переместить файлы при архивации.", false, 120, 209);
        row(7, "Не сохранять пути.", false, 144, 121);
        row(9, "Искать специальные файлы при архивации.", false, 168, 249);
        row(10, "Сохранять данные о каталогах в архиве.", false, 192, 233);
        row(6, "Установить файлу аттрибут системный.", false, 224, 233);
        row(1, "Отвечать да на все вопросы.", true, 248, 169);
        row(2, "Установить время файла - текущее.", false, 272, 209);
        row(4, "Полный листинг загруженной информации о файле", false, 304, 289);
        row(8, "Тихая операция.", false, 336, 113);
    }
    void checkBoxes() {
        QFETCH(int, n);
        QFETCH(QString, caption);
        QFETCH(bool, on);
        QFETCH(int, top);
        QFETCH(int, width);
        QCheckBox *box = m_form->checkBox(n);
        QCOMPARE(box->objectName(), QStringLiteral("CheckBox%1").arg(n));
        QCOMPARE(box->text(), caption);
        QCOMPARE(box->isChecked(), on);
        // A caption wider than the box in this face widens it, never past the panel's edge.
        const QRect g = box->geometry();
        QCOMPARE(g.topLeft(), QPoint(16, top));
        QCOMPARE(g.height(), 17);
        QVERIFY(g.width() >= width);
        QVERIFY(g.right() < box->parentWidget()->width());
        QCOMPARE(box->toolTip(), n == 4 ? QString::fromUtf8("при просмотре") : QString());
        QCOMPARE(m_form->options().switches.on(TForm2::CheckBoxOptions[n - 1]), on);
    }

    // By number, not by position: the method, CheckBox1 .. CheckBox10, then the button.
    void focusOrder() {
        m_form->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
        QWidget *w = m_form->findChild<QRadioButton *>("RadioGroup1Item1");
        for (int n = 1; n <= 10; ++n) {
            w = nextTabStop(w);
            QCOMPARE(w, static_cast<QWidget *>(m_form->checkBox(n)));
        }
        QCOMPARE(nextTabStop(w), static_cast<QWidget *>(button()));
    }

    void escapeAndEnterDoNotClose() {
        m_form->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
        m_form->checkBox(3)->setFocus();
        QTest::keyClick(m_form->checkBox(3), Qt::Key_Escape);
        QVERIFY(m_form->isVisible());
        QTest::keyClick(m_form->checkBox(3), Qt::Key_Return);
        QVERIFY(m_form->isVisible());
        // Enter on the button itself presses it: the dialog closes with the result OK.
        button()->setFocus();
        QTest::keyClick(button(), Qt::Key_Return);
        QVERIFY(!m_form->isVisible());
        QCOMPARE(m_form->result(), 1);
    }

    void changesLastWhicheverWayItCloses() {
        m_form->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
        QTest::mouseClick(m_form->findChild<QRadioButton *>("RadioGroup1Item0"), Qt::LeftButton);
        QTest::mouseClick(m_form->checkBox(8), Qt::LeftButton);
        m_form->close(); // the title bar's close button
        QVERIFY(!m_form->isVisible());
        m_form->show();
        QCOMPARE(m_form->itemIndex(), 0);
        QVERIFY(m_form->checkBox(8)->isChecked());
        QTest::mouseClick(button(), Qt::LeftButton);
        QVERIFY(!m_form->isVisible());
        const commands::ArchiverOptions o = m_form->options();
        QCOMPARE(o.method, 0);
        QVERIFY(o.switches.on(yk::Switch::Quiet) && o.switches.on(yk::Switch::OverwriteAll));
    }

    void centredOnTheDesktop() {
        m_form->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
        const QRect screen = m_form->screen()->availableGeometry();
        QVERIFY(qAbs(m_form->frameGeometry().center().x() - screen.center().x()) <= 1);
        QVERIFY(qAbs(m_form->frameGeometry().center().y() - screen.center().y()) <= 1);
    }
};

QTEST_MAIN(TestOptionsDialog)
#include "tst_options_dialog.moc"
