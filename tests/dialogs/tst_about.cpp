// The about dialog: its picture decoded with libjpeg, its layout, links and ways of closing.
#include "ColourKey.h"
#include "JpegPicture.h"
#include "LinkLabel.h"
#include "PictureBox.h"
#include "Unit3.h"
#include "platform/Shell.h"

#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>
#include <sys/stat.h>

namespace {
QByteArray aboutPicture() {
    QFile file(QStringLiteral(":/images/about.jpg"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
} // namespace

class TestAbout : public QObject {
    Q_OBJECT
    QTemporaryDir m_tmp;
    std::unique_ptr<TForm3> m_form;

    template <class T> T *control(const char *name) const {
        T *w = m_form->findChild<T *>(QLatin1String(name));
        if (!w)
            qFatal("no control %s", name);
        return w;
    }
    void showForm() {
        m_form->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
    }
    QByteArray openedTargets() const {
        QFile file(m_tmp.path() + QStringLiteral("/opened"));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

private slots:
    void initTestCase() {
        // An opener that writes down what it was asked to open.
        const QString opener = m_tmp.path() + QStringLiteral("/opener");
        QFile script(opener);
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write("#!/bin/sh\nprintf '%s\\n' \"$1\" >> '" + QFile::encodeName(m_tmp.path()) +
                     "/opened'\n");
        script.close();
        QVERIFY(::chmod(QFile::encodeName(opener).constData(), 0755) == 0);
        platform::setShellOpener(QFile::encodeName(opener));
    }
    void init() { m_form = std::make_unique<TForm3>(); }
    void cleanup() { m_form.reset(); }

    void pictureIsAProgressiveJpeg() {
        const JpegPicture picture = decodeJpeg(aboutPicture());
        QVERIFY2(!picture.image.isNull(), qPrintable(picture.error));
        QVERIFY(picture.progressive);
        QCOMPARE(picture.components, 3);
        QCOMPARE(picture.image.size(), QSize(171, 240));
        QCOMPARE(picture.image.format(), QImage::Format_RGB888);
        // The evening sky at the top is dark blue, the desk at the bottom brown.
        const QColor sky = picture.image.pixelColor(2, 2);
        QVERIFY(sky.blue() > sky.red() && sky.blue() > 60);
        const QColor desk = picture.image.pixelColor(2, 236);
        QVERIFY(desk.red() > desk.blue());
    }

    void damagedJpegIsRefused_data() {
        QTest::addColumn<QByteArray>("data");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("not a picture") << QByteArray("plain text, no JPEG at all");
        QTest::newRow("header only") << aboutPicture().left(40);
        QByteArray huge = aboutPicture();
        // A frame header claiming 65 000 x 65 000 pixels must not be allocated blindly.
        const int sof = huge.indexOf("\xff\xc2");
        QVERIFY(sof > 0);
        huge[sof + 5] = char(0xfd);
        huge[sof + 6] = char(0xe8);
        huge[sof + 7] = char(0xfd);
        huge[sof + 8] = char(0xe8);
        QTest::newRow("huge frame") << huge;
    }
    void damagedJpegIsRefused() {
        QFETCH(QByteArray, data);
        const JpegPicture picture = decodeJpeg(data);
        QVERIFY(picture.image.isNull());
        QVERIFY(!picture.error.isEmpty());
    }

    // Damage anywhere: every copy is decoded or refused, nothing crashes or reads out of bounds.
    void randomlyDamagedJpegs() {
        const QByteArray good = aboutPicture();
        QRandomGenerator random(7);
        int refused = 0;
        for (int copy = 0; copy < 300; ++copy) {
            QByteArray bad = good;
            const int hits = 1 + int(random.bounded(8));
            for (int i = 0; i < hits; ++i)
                bad[int(random.bounded(quint32(bad.size())))] = char(random.bounded(256));
            const JpegPicture picture = decodeJpeg(bad);
            if (picture.image.isNull()) {
                ++refused;
                QVERIFY(!picture.error.isEmpty());
            } else {
                QVERIFY(qint64(picture.image.width()) * picture.image.height() <= 16 * 1024 * 1024);
            }
        }
        qDebug("%d of 300 damaged copies refused", refused);
    }

    void truncatedJpegDecodesWithoutHarm() {
        const QByteArray data = aboutPicture();
        const JpegPicture picture = decodeJpeg(data.left(data.size() / 2));
        // libjpeg fills what is missing; the picture keeps its size or is refused, never more.
        QVERIFY(picture.image.isNull() || picture.image.size() == QSize(171, 240));
    }

    void proportionalSize_data() {
        QTest::addColumn<QSize>("picture");
        QTest::addColumn<QSize>("area");
        QTest::addColumn<QSize>("expected");
        QTest::newRow("the about picture") << QSize(171, 240) << QSize(177, 249) << QSize(177, 249);
        QTest::newRow("tall, height fills")
            << QSize(100, 200) << QSize(177, 249) << QSize(124, 249);
        QTest::newRow("tall, too wide, width fills")
            << QSize(90, 100) << QSize(177, 100) << QSize(90, 100) * 1;
        QTest::newRow("wide, width fills") << QSize(200, 100) << QSize(177, 249) << QSize(177, 88);
        QTest::newRow("wide, too high, height fills")
            << QSize(200, 100) << QSize(177, 60) << QSize(120, 60);
        QTest::newRow("empty picture") << QSize(0, 0) << QSize(177, 249) << QSize();
    }
    void proportionalSize() {
        QFETCH(QSize, picture);
        QFETCH(QSize, area);
        QFETCH(QSize, expected);
        QCOMPARE(::proportionalSize(picture, area), expected);
    }

    void layout() {
        QCOMPARE(m_form->windowTitle(), QString::fromUtf8("О программе"));
        QCOMPARE(m_form->size(), QSize(466, 281));
        QCOMPARE(m_form->minimumSize(), m_form->maximumSize());
        QCOMPARE(m_form->pos(), QPoint(215, 165));
        QCOMPARE(m_form->windowFlags() & Qt::WindowType_Mask, Qt::Tool);
        QVERIFY(!(m_form->windowFlags() & Qt::WindowCloseButtonHint));
        QVERIFY(!(m_form->windowFlags() & Qt::WindowSystemMenuHint));
        QCOMPARE(qRound(m_form->windowOpacity() * 255), 120);
        QCOMPARE(control<QFrame>("Panel1")->geometry(), QRect(8, 8, 193, 265));
        QCOMPARE(control<QFrame>("Panel1")->frameShadow(), QFrame::Sunken);
        QCOMPARE(control<PictureBox>("Image1")->geometry(), QRect(8, 8, 177, 249));
        QCOMPARE(control<PictureBox>("Image1")->pictureRect(), QRect(0, 0, 177, 249));
        QCOMPARE(control<QPushButton>("Button1")->geometry(), QRect(384, 248, 75, 25));
        QCOMPARE(control<QPushButton>("Button1")->text(), QStringLiteral("OK"));
    }

    void labels_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QPoint>("pos");
        QTest::addColumn<QString>("text");
        QTest::newRow("maker") << "Label1" << QPoint(216, 24) << "WinYk Project";
        QTest::newRow("name") << "Label2" << QPoint(216, 56) << "WinYk";
        QTest::newRow("author caption") << "Label3" << QPoint(216, 136) << "Автор";
        QTest::newRow("version") << "Label4" << QPoint(216, 88) << "Version 0.7 (build 0707)";
        QTest::newRow("author") << "Label5" << QPoint(264, 136) << "WinYk Developer";
        QTest::newRow("web caption") << "Label6" << QPoint(216, 160) << "Web";
        QTest::newRow("copyright")
            << "Label7" << QPoint(216, 112) << "Copyright © 2026 WinYk Project";
        QTest::newRow("site") << "Label8" << QPoint(264, 160) << "example.org";
        QTest::newRow("download") << "Label9" << QPoint(352, 160) << "Winyk";
    }
    void labels() {
        QFETCH(QString, name);
        QFETCH(QPoint, pos);
        QFETCH(QString, text);
        QLabel *label = control<QLabel>(name.toLatin1().constData());
        QCOMPARE(label->pos(), pos);
        QCOMPARE(label->text(), text);
        // Labels size themselves to their text.
        QCOMPARE(label->size(), label->sizeHint());
        QVERIFY(label->geometry().right() < m_form->width()); // nothing cut at the window's edge
        const bool link = qobject_cast<LinkLabel *>(label);
        QCOMPARE(label->font().underline(), link);
        if (link)
            QCOMPARE(label->palette().color(QPalette::WindowText), QColor(0, 0, 255));
        QCOMPARE(label->toolTip().isEmpty(), !link);
    }

    void fonts() {
        QCOMPARE(control<QLabel>("Label2")->font().bold(), true);
        QVERIFY(control<QLabel>("Label2")->font().pointSize() >
                control<QLabel>("Label1")->font().pointSize());
        QVERIFY(control<QLabel>("Label1")->font().pointSize() >
                control<QLabel>("Label4")->font().pointSize());
        QVERIFY(control<QLabel>("Label4")->font().pointSize() >
                control<QLabel>("Label3")->font().pointSize());
    }

    void onlyTheLinksHaveTooltips() {
        for (QWidget *w : m_form->findChildren<QWidget *>())
            if (!qobject_cast<LinkLabel *>(w))
                QVERIFY2(w->toolTip().isEmpty(), qPrintable(w->objectName()));
        QVERIFY(m_form->toolTip().isEmpty());
    }

    void linkTargets() {
        QCOMPARE(m_form->Label5Target(),
                 QStringLiteral("mailto:WinYk Developer<developer@example.org>"));
        QCOMPARE(m_form->Label8Target(), QStringLiteral("https://winyk.example.org/"));
        QCOMPARE(m_form->Label9Target(), QStringLiteral("https://winyk.example.org/download/"));
    }

    void clickingLinksOpensTheirTargets() {
        showForm();
        for (const char *name : {"Label5", "Label8", "Label9"})
            QTest::mouseClick(control<QLabel>(name), Qt::LeftButton);
        // The openers run side by side, so they may write in any order.
        const auto opened = [this] {
            QList<QByteArray> lines = openedTargets().split('\n');
            std::sort(lines.begin(), lines.end());
            return lines.join('|');
        };
        QTRY_COMPARE(opened(), QByteArray("|https://winyk.example.org/|"
                                          "https://winyk.example.org/download/|"
                                          "mailto:WinYk Developer<developer@example.org>"));
        QVERIFY(m_form->isVisible()); // a link does not close the dialog
    }

    void handPointerFromTheFirstMove() {
        showForm();
        for (const char *name : {"Label5", "Label8", "Label9"}) {
            QLabel *link = control<QLabel>(name);
            QCOMPARE(link->cursor().shape(), Qt::ArrowCursor);
            QTest::mouseMove(link, QPoint(2, 2));
            QTRY_COMPARE(link->cursor().shape(), Qt::BitmapCursor);
            QCOMPARE(link->cursor().hotSpot(), QPoint(6, 1));
        }
        QCOMPARE(control<QLabel>("Label1")->cursor().shape(), Qt::ArrowCursor);
    }

    void onlyOkTakesTheFocus() {
        showForm();
        for (QWidget *w : m_form->findChildren<QWidget *>())
            QCOMPARE(bool(w->focusPolicy() & Qt::TabFocus), w == control<QPushButton>("Button1"));
        QTRY_COMPARE(QApplication::focusWidget(), control<QPushButton>("Button1"));
    }

    void closePaths_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("closes");
        QTest::newRow("OK clicked") << "ok" << true;
        QTest::newRow("picture clicked") << "picture" << true;
        QTest::newRow("Enter") << "enter" << true;
        QTest::newRow("Space") << "space" << true;
        QTest::newRow("Esc") << "esc" << false;
        QTest::newRow("click on a label") << "label" << false;
    }
    void closePaths() {
        QFETCH(QString, how);
        QFETCH(bool, closes);
        showForm();
        QPushButton *ok = control<QPushButton>("Button1");
        QTRY_COMPARE(QApplication::focusWidget(), ok);
        if (how == QLatin1String("ok"))
            QTest::mouseClick(ok, Qt::LeftButton);
        else if (how == QLatin1String("picture"))
            QTest::mouseClick(control<PictureBox>("Image1"), Qt::LeftButton, {}, QPoint(100, 200));
        else if (how == QLatin1String("enter"))
            QTest::keyClick(ok, Qt::Key_Return);
        else if (how == QLatin1String("space"))
            QTest::keyClick(ok, Qt::Key_Space);
        else if (how == QLatin1String("esc"))
            QTest::keyClick(ok, Qt::Key_Escape);
        else
            QTest::mouseClick(control<QLabel>("Label2"), Qt::LeftButton);
        QCOMPARE(!m_form->isVisible(), closes);
        if (closes)
            QCOMPARE(m_form->result(), int(QDialog::Accepted));
    }

    void pictureShown() {
        showForm();
        const QImage shown = control<PictureBox>("Image1")->grab().toImage();
        const QImage picture = decodeJpeg(aboutPicture()).image;
        // Scaled by less than 4 %: the corners carry the picture's corners.
        for (const QPoint &p : {QPoint(1, 1), QPoint(175, 1), QPoint(1, 247), QPoint(175, 247)}) {
            const QPoint src(p.x() * 171 / 177, p.y() * 240 / 249);
            const QColor a = shown.pixelColor(p), b = picture.pixelColor(src);
            QVERIFY2(qAbs(a.red() - b.red()) < 24 && qAbs(a.green() - b.green()) < 24 &&
                         qAbs(a.blue() - b.blue()) < 24,
                     qPrintable(QStringLiteral("at %1,%2").arg(p.x()).arg(p.y())));
        }
    }

    void colourKeyRegion() {
        QImage image(4, 3, QImage::Format_RGB32);
        image.fill(qRgb(10, 20, 30));
        QVERIFY(!hasColour(image, 0x00ff00));
        image.setPixel(1, 1, qRgb(0, 255, 0));
        image.setPixel(3, 0, qRgb(0, 254, 0)); // near is not the key
        QVERIFY(hasColour(image, 0x00ff00));
        const QRegion region = regionWithoutColour(image, 0x00ff00);
        QVERIFY(!region.contains(QPoint(1, 1)));
        QVERIFY(region.contains(QPoint(0, 0)));
        QVERIFY(region.contains(QPoint(3, 0)));
        QVERIFY(region.contains(QPoint(2, 1)));
    }

    void keyedPixelsLeftOutOfTheWindow() {
        // A label painting pure green makes a hole in the window's shape; the rest stays.
        QLabel *label = control<QLabel>("Label3");
        label->setAutoFillBackground(true);
        QPalette p = label->palette();
        p.setColor(QPalette::Window, QColor(0, 255, 0));
        p.setColor(QPalette::WindowText, QColor(0, 255, 0));
        label->setPalette(p);
        showForm();
        QVERIFY(!m_form->mask().isEmpty());
        QVERIFY(!m_form->mask().contains(label->geometry().center()));
        QVERIFY(m_form->mask().contains(QPoint(300, 250)));
    }

    void windowWithoutKeyColourHasNoMask() {
        showForm();
        QVERIFY(m_form->mask().isEmpty());
    }
};

QTEST_MAIN(TestAbout)
#include "tst_about.moc"
