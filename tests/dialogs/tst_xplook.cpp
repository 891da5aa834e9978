// The flat look: its colour arithmetic, what it paints, and switching it on and off.
#include "XPColors.h"
#include "XPMenu.h"
#include "XPSettings.h"
#include "XPStyle.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QStyleOption>
#include <QToolButton>
#include <QtTest>

namespace {
QImage render(QWidget *w) {
    return w->grab().toImage().convertToFormat(QImage::Format_RGB32);
}
QColor at(const QImage &image, int x, int y) {
    return QColor(image.pixel(x, y));
}
} // namespace

class TestXPLook : public QObject {
    Q_OBJECT
private slots:
    void lighten_data() {
        QTest::addColumn<QColor>("colour");
        QTest::addColumn<int>("percent");
        QTest::addColumn<QColor>("expected");
        QTest::newRow("button face by 16 (icon column)")
            << QColor(212, 208, 200) << 16 << QColor(218, 215, 208);
        QTest::newRow("highlight by 68 (selection)")
            << QColor(49, 106, 197) << 68 << QColor(189, 207, 236);
        QTest::newRow("highlight by 50 (pressed)")
            << QColor(49, 106, 197) << 50 << QColor(152, 180, 226);
        QTest::newRow("black by 50, fraction dropped")
            << QColor(0, 0, 0) << 50 << QColor(127, 127, 127);
        QTest::newRow("white stays white") << QColor(255, 255, 255) << 30 << QColor(255, 255, 255);
        QTest::newRow("zero changes nothing") << QColor(1, 2, 3) << 0 << QColor(1, 2, 3);
        QTest::newRow("hundred is white") << QColor(1, 2, 3) << 100 << QColor(255, 255, 255);
    }
    void lighten() {
        QFETCH(QColor, colour);
        QFETCH(int, percent);
        QFETCH(QColor, expected);
        QCOMPARE(xp::lighten(colour, percent), expected);
    }

    void darken() { QCOMPARE(xp::darken(QColor(200, 100, 10), 25), QColor(150, 75, 7)); }

    void gradientPercent_data() {
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("percent");
        QTest::newRow("first column") << 0 << 1;
        QTest::newRow("second column") << 1 << 4;
        QTest::newRow("third column") << 2 << 7;
        QTest::newRow("last steep column (icon width plus 4)") << 28 << 85;
        QTest::newRow("first gentle column") << 29 << 86;
        QTest::newRow("reaches 96") << 39 << 96;
        QTest::newRow("stays at 96") << 40 << 96;
        QTest::newRow("far right") << 500 << 96;
    }
    void gradientPercent() {
        QFETCH(int, column);
        QFETCH(int, percent);
        QCOMPARE(xp::gradientPercent(column, 24), percent);
    }

    void colours_data() {
        QTest::addColumn<int>("depth");
        QTest::addColumn<bool>("tinted");
        QTest::newRow("true colour") << 24 << true;
        QTest::newRow("16 bits") << 16 << true;
        QTest::newRow("15 bits") << 15 << false;
        QTest::newRow("8 bits") << 8 << false;
    }
    void colours() {
        QFETCH(int, depth);
        QFETCH(bool, tinted);
        const QColor face(212, 208, 200), highlight(49, 106, 197), shadow(128, 128, 128);
        const xp::Colours c = xp::colours(face, highlight, shadow, depth, true);
        QCOMPARE(c.gradient, tinted);
        QCOMPARE(c.iconColumn, tinted ? QColor(218, 215, 208) : face);
        QCOMPARE(c.selection, tinted ? QColor(189, 207, 236) : QColor(Qt::white));
        QCOMPARE(c.plainBackground, tinted ? xp::lighten(face, 86) : QColor(Qt::white));
        QCOMPARE(c.frame, highlight);
        QCOMPARE(c.disabledText, QColor(140, 140, 140));
        QCOMPARE(c.separator, QColor(159, 159, 159));
    }

    void menuColumnsWithoutGradient() {
        const xp::Colours c = xp::colours(QColor(212, 208, 200), QColor(49, 106, 197),
                                          QColor(128, 128, 128), 24, false);
        QCOMPARE(xp::menuColumnColour(c, 0, 24), c.iconColumn);
        QCOMPARE(xp::menuColumnColour(c, 23, 24), c.iconColumn);
        QCOMPARE(xp::menuColumnColour(c, 24, 24), c.plainBackground);
    }

    void images() {
        QImage image(5, 5, QImage::Format_ARGB32);
        image.fill(Qt::transparent);
        image.setPixel(2, 2, qRgba(30, 60, 90, 255));
        image.setPixel(0, 0, qRgba(255, 255, 255, 255));

        const QImage dim = xp::dimmed(image, 30);
        QCOMPARE(dim.pixel(2, 2),
                 qRgba(30 + 225 * 30 / 100, 60 + 195 * 30 / 100, 90 + 165 * 30 / 100, 255));
        QCOMPARE(qAlpha(dim.pixel(4, 4)), 0);

        // Grey: the mean plus 10 (at most 240), then 40 % toward white.
        const QImage grey = xp::greyed(image, 10);
        QCOMPARE(grey.pixel(2, 2), qRgba(144, 144, 144, 255));
        QCOMPARE(grey.pixel(0, 0), qRgba(246, 246, 246, 255));

        // Under the pointer: one pixel up and left, the shadow two pixels right and down of it.
        const QColor shadow(100, 110, 120);
        const QImage raised = xp::raisedWithShadow(image, shadow);
        QCOMPARE(raised.pixel(1, 1), qRgba(30, 60, 90, 255));
        QCOMPARE(raised.pixel(3, 3), qRgba(100, 110, 120, 255));
        QCOMPARE(qAlpha(raised.pixel(2, 2)), 0);
    }

    // The drop-down of the main window: the first columns of an item follow the gradient.
    void menuGradientPixels() {
        XPStyle style(XPSettings::mainWindow()); // outlives the menu that uses it
        QMenu menu;
        menu.setStyle(&style);
        QAction *first = menu.addAction(QStringLiteral("Первый"));
        menu.addSeparator();
        QAction *second = menu.addAction(QStringLiteral("Второй"));
        QAction *disabled = menu.addAction(QStringLiteral("ЖЖЖ ||| ЖЖЖ"));
        disabled->setEnabled(false);
        menu.show();
        QVERIFY(QTest::qWaitForWindowExposed(&menu));
        const QImage image = render(&menu);
        const xp::Colours c = xpColours(XPSettings::mainWindow(), menu.palette(), &menu);
        QVERIFY(c.gradient);

        const QRect item = menu.actionGeometry(first);
        const int y = item.top() + 1;
        for (int column = 0; column < 32; ++column)
            QCOMPARE(at(image, item.left() + column, y), xp::menuColumnColour(c, column, 24));
        // The flat border: one pixel in the button-shadow colour.
        QCOMPARE(at(image, 0, y).rgb(), menu.palette().color(QPalette::Dark).rgb());
        QCOMPARE(at(image, 1, y), xp::lighten(c.iconColumn, 1));

        // The separator's line, in the middle of its four pixels.
        const QRect sep = menu.actionGeometry(menu.actions().at(1));
        QCOMPARE(sep.height(), 4);
        QCOMPARE(at(image, sep.left() + 40, sep.top() + 1), c.separator);

        // Disabled text in the button-shadow colour lightened 10 %, never the usual text colour.
        const QRect off = menu.actionGeometry(disabled);
        bool disabledInk = false, usualInk = false;
        for (int y = off.top(); y <= off.bottom(); ++y)
            for (int x = off.left() + 32; x < off.right(); ++x) {
                disabledInk |= at(image, x, y) == c.disabledText;
                usualInk |= at(image, x, y) == menu.palette().color(QPalette::WindowText);
            }
        QVERIFY(disabledInk);
        QVERIFY(!usualInk);

        // An item at least as high as its text plus three quarters of it.
        const int text = QFontMetrics(menu.font()).height();
        QVERIFY(item.height() >= text + text * 3 / 4);

        // The item under the pointer: tint inside, a frame in the highlight colour.
        menu.setActiveAction(second);
        const QImage hovered = render(&menu);
        const QRect r = menu.actionGeometry(second);
        QCOMPARE(at(hovered, r.left() + 5, r.center().y()), c.selection);
        QCOMPARE(at(hovered, r.left(), r.center().y()), c.frame);
        QCOMPARE(at(hovered, r.right(), r.top()), c.frame);
    }

    // The dialogs' painters: a plain background and a solid icon column, no flat border.
    void dialogMenuHasNoGradient() {
        XPStyle style(XPSettings::dialog());
        QMenu menu;
        menu.setStyle(&style);
        QAction *a = menu.addAction(QStringLiteral("Пункт"));
        menu.show();
        QVERIFY(QTest::qWaitForWindowExposed(&menu));
        const QImage image = render(&menu);
        const xp::Colours c = xpColours(XPSettings::dialog(), menu.palette(), &menu);
        const QRect item = menu.actionGeometry(a);
        QCOMPARE(at(image, item.left() + 2, item.top() + 1), c.iconColumn);
        QCOMPARE(at(image, item.left() + 23, item.top() + 1), c.iconColumn);
        QCOMPARE(at(image, item.left() + 24, item.top() + 1), c.plainBackground);
    }

    void menuBarItems() {
        XPStyle style(XPSettings::mainWindow());
        QWidget window;
        QMenuBar bar(&window);
        QMenu *file = bar.addMenu(QStringLiteral("Файл"));
        file->addAction(QStringLiteral("Выход"));
        bar.setStyle(&style);
        bar.resize(300, bar.sizeHint().height());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QRect r = bar.actionGeometry(file->menuAction());
        const xp::Colours c = xpColours(XPSettings::mainWindow(), bar.palette(), &bar);
        QCOMPARE(at(render(&bar), 290, 2), bar.palette().color(QPalette::Button));
        bar.setActiveAction(file->menuAction()); // opens the drop-down
        QTRY_VERIFY(file->isVisible());
        const QImage open = render(&bar);
        QCOMPARE(at(open, r.left(), r.center().y()), c.frame);
        QCOMPARE(at(open, r.left() + 3, r.top() + 3), c.selection);
        file->hide();
    }

    void toolButtonFills_data() {
        QTest::addColumn<int>("state");
        QTest::addColumn<QString>("fill");
        QTest::newRow("at rest, flat")
            << int(QStyle::State_Enabled | QStyle::State_AutoRaise) << "none";
        QTest::newRow("under the pointer")
            << int(QStyle::State_Enabled | QStyle::State_AutoRaise | QStyle::State_MouseOver)
            << "selection";
        QTest::newRow("pressed") << int(QStyle::State_Enabled | QStyle::State_AutoRaise |
                                        QStyle::State_MouseOver | QStyle::State_Sunken)
                                 << "pressed";
    }
    void toolButtonFills() {
        QFETCH(int, state);
        QFETCH(QString, fill);
        XPStyle style(XPSettings::mainWindow());
        QStyleOptionToolButton option;
        option.rect = QRect(0, 0, 20, 20);
        option.state = QStyle::State(state);
        option.palette = QApplication::palette();
        QImage image(20, 20, QImage::Format_RGB32);
        image.fill(Qt::black);
        QPainter painter(&image);
        style.drawPrimitive(QStyle::PE_PanelButtonTool, &option, &painter);
        painter.end();
        const xp::Colours c = xpColours(XPSettings::mainWindow(), option.palette, nullptr);
        if (fill == QLatin1String("none")) {
            QCOMPARE(at(image, 10, 10), QColor(Qt::black));
            QCOMPARE(at(image, 0, 0), QColor(Qt::black));
            return;
        }
        QCOMPARE(at(image, 10, 10), fill == QLatin1String("pressed") ? c.pressed : c.selection);
        QCOMPARE(at(image, 0, 0), c.frame);
        QCOMPARE(at(image, 19, 19), c.frame);
    }

    void flatFrameEmphasisedOnFocus() {
        XPStyle style(XPSettings::dialog());
        QStyleOptionFrame option;
        option.rect = QRect(0, 0, 20, 20);
        option.palette = QApplication::palette();
        option.lineWidth = 1;
        for (bool focus : {false, true}) {
            option.state =
                QStyle::State_Enabled | (focus ? QStyle::State_HasFocus : QStyle::State_None);
            QImage image(20, 20, QImage::Format_RGB32);
            image.fill(Qt::black);
            QPainter painter(&image);
            style.drawPrimitive(QStyle::PE_PanelLineEdit, &option, &painter);
            painter.end();
            QCOMPARE(at(image, 0, 10).rgb(),
                     option.palette.color(focus ? QPalette::Highlight : QPalette::Dark).rgb());
            QCOMPARE(at(image, 1, 10), option.palette.color(QPalette::Base)); // one pixel only
        }
    }

    // A restyled edit under the pointer: its one-pixel frame turns to the highlight colour.
    void frameEmphasisedUnderThePointer() {
        QWidget form;
        form.resize(200, 100);
        auto *edit = new QLineEdit(&form);
        edit->setGeometry(10, 10, 100, 24);
        auto *other = new QLineEdit(&form);
        other->setGeometry(10, 50, 100, 24);
        other->setFocus();
        TXPMenu painter(&form, XPSettings::dialog());
        painter.setActive(true);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        const QRgb dark = edit->palette().color(QPalette::Active, QPalette::Dark).rgb();
        const QRgb highlight = edit->palette().color(QPalette::Active, QPalette::Highlight).rgb();
        QCOMPARE(edit->grab().toImage().pixel(0, 12), dark);
        QTest::mouseMove(edit, QPoint(50, 12));
        QTRY_COMPARE(edit->grab().toImage().pixel(0, 12), highlight);
        QTest::mouseMove(&form, QPoint(150, 90));
        QTRY_COMPARE(edit->grab().toImage().pixel(0, 12), dark);
        painter.setActive(false);
    }

    void covers_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("covered");
        QTest::newRow("label") << "QLabel" << false;
        QTest::newRow("plain widget") << "QWidget" << false;
        QTest::newRow("edit") << "QLineEdit" << true;
        QTest::newRow("push button") << "QPushButton" << true;
        QTest::newRow("tool button") << "QToolButton" << true;
        QTest::newRow("panel") << "QFrame" << true;
        QTest::newRow("menu") << "QMenu" << true;
    }
    void covers() {
        QFETCH(QString, kind);
        QFETCH(bool, covered);
        std::unique_ptr<QWidget> w;
        if (kind == QLatin1String("QLabel"))
            w = std::make_unique<QLabel>();
        else if (kind == QLatin1String("QWidget"))
            w = std::make_unique<QWidget>();
        else if (kind == QLatin1String("QLineEdit"))
            w = std::make_unique<QLineEdit>();
        else if (kind == QLatin1String("QPushButton"))
            w = std::make_unique<QPushButton>();
        else if (kind == QLatin1String("QToolButton"))
            w = std::make_unique<QToolButton>();
        else if (kind == QLatin1String("QFrame"))
            w = std::make_unique<QFrame>();
        else
            w = std::make_unique<QMenu>();
        QCOMPARE(TXPMenu::covers(w.get()), covered);
    }

    void painterOnAndOff() {
        QWidget form;
        auto *edit = new QLineEdit(&form);
        auto *label = new QLabel(QStringLiteral("text"), &form);
        auto *button = new QToolButton(&form);
        button->setAutoRaise(false);
        TXPMenu painter(&form, XPSettings::dialog());
        QCOMPARE(painter.objectName(), QStringLiteral("XPMenu1"));
        QVERIFY(!painter.Active());
        form.show();
        painter.setActive(true);
        QVERIFY(painter.Active());
        QCOMPARE(edit->style(), painter.style());
        QCOMPARE(button->style(), painter.style());
        QCOMPARE(label->style(), QApplication::style());
        QVERIFY(edit->testAttribute(Qt::WA_Hover));
        QVERIFY(button->autoRaise());
        // A control made afterwards, then the look switched off: all back to the usual drawing.
        auto *later = new QLineEdit(&form);
        button->setAutoRaise(false);
        painter.setActive(false);
        QVERIFY(!painter.Active());
        QCOMPARE(edit->style(), QApplication::style());
        QCOMPARE(button->style(), QApplication::style());
        QCOMPARE(later->style(), QApplication::style());
        QVERIFY(!edit->testAttribute(Qt::WA_Hover));
        QVERIFY(button->autoRaise());
    }

    void painterGoneWhileOn() {
        QWidget form;
        auto *edit = new QLineEdit(&form);
        auto painter = std::make_unique<TXPMenu>(&form, XPSettings::dialog());
        painter->setActive(true);
        QCOMPARE(edit->style(), painter->style());
        painter.reset();
        QCOMPARE(edit->style(), QApplication::style());
        edit->update();
        QVERIFY(!edit->grab().isNull());
    }
};

QTEST_MAIN(TestXPLook)
#include "tst_xplook.moc"
