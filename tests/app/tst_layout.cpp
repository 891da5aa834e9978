// What the four windows look like as painted, at the scale factor the suite is run with
// (QT_SCALE_FACTOR; CTest runs it at 100, 125, 150 and 200 %): every group's caption, frame and
// items lie apart with the flat look off and on, and no caption is cut.
#include "TestSupport.h"
#include "app/Application.h"
#include "app/Unit1.h"
#include "commands/Unit2.h"
#include "dialogs/Unit3.h"
#include "dialogs/Unit4.h"
#include "dialogs/XPMenu.h"
#include "platform/WorkingDir.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>

namespace {
bool differs(QRgb a, QRgb b, int by) {
    return std::abs(qRed(a) - qRed(b)) > by || std::abs(qGreen(a) - qGreen(b)) > by ||
           std::abs(qBlue(a) - qBlue(b)) > by;
}

// The rightmost column of text ink in a painting of widget at the given width, or -1: ink is
// what differs clearly from the pixel at the top right corner, where no text reaches.
int inkRight(QWidget *widget, int width) {
    const QSize keep = widget->size();
    widget->resize(width, keep.height());
    const QImage image = widget->grab().toImage();
    widget->resize(keep);
    const QRgb ground = image.pixel(image.width() - 1, 0);
    for (int x = image.width() - 1; x >= 0; --x)
        for (int y = 0; y < image.height(); ++y)
            if (differs(image.pixel(x, y), ground, 40))
                return x;
    return -1;
}
} // namespace

class TestLayout : public QObject {
    Q_OBJECT
    QTemporaryDir m_tmp;
    RecordingMessenger m_messenger;
    std::unique_ptr<TForm1> m_form;
    TForm2 *m_options = nullptr;
    TForm3 *m_about = nullptr;
    TForm4 *m_view = nullptr;

    QList<QWidget *> windows() const { return {m_form.get(), m_options, m_about, m_view}; }
    void setFlatLook(bool on) {
        auto *box = m_view->findChild<QCheckBox *>(QStringLiteral("CheckBox5"));
        if (box->isChecked() != on)
            box->click();
    }

private slots:
    void initTestCase() {
        const QByteArray dir = QFile::encodeName(m_tmp.path()) + "/d";
        QVERIFY(makeCaseDir(dir));
        QVERIFY(makeFile(dir + "/README", 10));
        QVERIFY(platform::setWorkingDirectory(dir));
        m_form = std::make_unique<TForm1>(m_messenger);
        m_options = new TForm2(m_form.get());
        m_about = new TForm3(m_form.get());
        m_view = new TForm4(m_form.get());
        m_form->setDialogs(m_options, m_about, m_view);
        for (QWidget *w : windows()) {
            w->show();
            QVERIFY(QTest::qWaitForWindowExposed(w));
        }
    }
    void cleanupTestCase() { m_form.reset(); }

    void groupsKeepCaptionFrameAndItemsApart_data() {
        QTest::addColumn<bool>("flat");
        QTest::newRow("flat look off") << false;
        QTest::newRow("flat look on") << true;
    }
    // The frame's top and bottom lines are found in the painted pixels, in a column right of
    // the caption and of the items' texts; the caption's ink must end above the top line with
    // a clear row between, and every item must lie between the lines.
    void groupsKeepCaptionFrameAndItemsApart() {
        QFETCH(bool, flat);
        setFlatLook(flat);
        int groups = 0;
        for (QWidget *window : windows()) {
            for (QGroupBox *group : window->findChildren<QGroupBox *>()) {
                if (group->window() != window)
                    continue; // a dialog is a child of the main window
                ++groups;
                const QImage image = group->grab().toImage();
                const qreal dpr = image.devicePixelRatio();
                const QRgb ground = group->palette().color(QPalette::Window).rgb();
                const int column = image.width() - int(4 * dpr);
                int top = -1, bottom = -1;
                for (int y = 0; y < image.height() && top < 0; ++y)
                    if (differs(image.pixel(column, y), ground, 12))
                        top = y;
                for (int y = image.height() - 1; y >= 0 && bottom < 0; --y)
                    if (differs(image.pixel(column, y), ground, 12))
                        bottom = y;
                QVERIFY2(top >= 0 && bottom > top, qPrintable(group->objectName()));

                QRegion items;
                for (QWidget *item : group->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
                    items += QRect(item->geometry().topLeft() * dpr, item->size() * dpr);
                int captionBottom = -1;
                for (int y = 0; y < image.height(); ++y)
                    for (int x = 0; x < image.width(); ++x)
                        if (!items.contains(QPoint(x, y)) && qGray(image.pixel(x, y)) < 110)
                            captionBottom = y;
                const QString where =
                    QStringLiteral("%1 in %2: caption ink down to %3, frame %4..%5")
                        .arg(group->objectName(), window->objectName())
                        .arg(captionBottom)
                        .arg(top)
                        .arg(bottom);
                QVERIFY2(captionBottom >= 0, qPrintable(where));
                QVERIFY2(captionBottom < top - 1, qPrintable(where));
                for (QWidget *item : group->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
                    const QRect r(item->geometry().topLeft() * dpr, item->size() * dpr);
                    QVERIFY2(r.top() > top && r.bottom() < bottom,
                             qPrintable(where + QStringLiteral(", %1 at %2..%3")
                                                    .arg(item->objectName())
                                                    .arg(r.top())
                                                    .arg(r.bottom())));
                    QVERIFY2(r.right() < image.width() - 1, qPrintable(item->objectName()));
                }
            }
        }
        QCOMPARE(groups, 2); // the options and the view settings dialogs' own
    }

    void captionsFit_data() {
        QTest::addColumn<bool>("flat");
        QTest::newRow("flat look off") << false;
        QTest::newRow("flat look on") << true;
    }
    // A caption is cut when the same widget painted wider shows ink past its real width.
    void captionsFit() {
        QFETCH(bool, flat);
        setFlatLook(flat);
        int checked = 0;
        for (QWidget *window : windows()) {
            QList<QWidget *> texts;
            for (QCheckBox *w : window->findChildren<QCheckBox *>())
                texts << w;
            for (QRadioButton *w : window->findChildren<QRadioButton *>())
                texts << w;
            for (QLabel *w : window->findChildren<QLabel *>())
                if (!w->text().isEmpty())
                    texts << w;
            for (QWidget *w : texts) {
                if (!w->isVisible() || w->window() != window)
                    continue;
                ++checked;
                const int wide = inkRight(w, w->width() + 60);
                const int device = qCeil(w->width() * w->devicePixelRatioF());
                QVERIFY2(wide < device,
                         qPrintable(QStringLiteral("%1 in %2: ink to column %3 of %4")
                                        .arg(w->objectName(), window->objectName())
                                        .arg(wide)
                                        .arg(device)));
            }
        }
        QVERIFY(checked > 20);
    }
};

int main(int argc, char **argv) {
    // The program's own application object: it sets the faces the layouts are drawn for.
    Application app(argc, argv);
    TestLayout test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "tst_layout.moc"
