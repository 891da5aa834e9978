// The file widgets on their own: file list, directory list, drive box.
#include "TestSupport.h"
#include "app/DirectoryListBox.h"
#include "app/DirectoryListModel.h"
#include "app/DriveComboBox.h"
#include "app/DriveRows.h"
#include "app/FileListBox.h"
#include "app/GlyphRowDelegate.h"
#include "app/Glyphs.h"
#include "app/NameRules.h"
#include "platform/WorkingDir.h"

#include <QPainter>
#include <QTemporaryDir>
#include <QtTest>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {
QStringList rowTexts(const QAbstractItemModel *model) {
    QStringList texts;
    for (int i = 0; i < model->rowCount(); ++i)
        texts << model->index(i, 0).data().toString();
    return texts;
}
// The three file widgets linked as in the main window, built on the working directory.
struct Panel {
    platform::WorkingDirectory cwd;
    FileListBox files;
    DriveComboBox drives;
    DirectoryListBox dirs;
    Panel() { dirs.link(&drives, &files, &cwd); }
};
} // namespace

class TestBrowsing : public QObject {
    Q_OBJECT
    QTemporaryDir m_tmp;
    QByteArray m_dir;

    QByteArray path(const QByteArray &name) const { return m_dir + "/" + name; }

    // Picks a row of the drive box as the user does.
    static void choose(DriveComboBox &drives, int row) {
        drives.setCurrentIndex(row);
        emit drives.activated(row);
    }

    void freshDir() {
        static int n = 0;
        m_dir = QFile::encodeName(m_tmp.path()) + "/case" + QByteArray::number(++n);
        QVERIFY(makeDir(m_dir));
    }

private slots:
    void init() { freshDir(); }

    void listsEveryFileSortedWithoutDirectories() {
        for (const char *name : {"b.txt", "A.txt", "c", ".hidden", "Ёж", "ёлка", "-dash", "a b"})
            QVERIFY(makeFile(path(name)));
        QVERIFY(makeDir(path("subdir")));
        QCOMPARE(::mkfifo(path("pipe").constData(), 0644), 0);
        QCOMPARE(::symlink("subdir", path("linkdir").constData()), 0);
        QCOMPARE(::symlink("nowhere", path("dangling").constData()), 0);

        platform::WorkingDirectory cwd;
        FileListBox list;
        list.useWorkingDirectory(&cwd);
        list.setDirectory(m_dir);
        QCOMPARE(rowTexts(list.model()),
                 (QStringList{"-dash", ".hidden", "a b", "A.txt", "b.txt", "c", "dangling", "pipe",
                              QString::fromUtf8("Ёж"), QString::fromUtf8("ёлка")}));
        QCOMPARE(platform::workingDirectory(), m_dir);
    }

    // The order is the folded key, then the raw bytes, whatever the names have in common:
    // long shared beginnings, keys of exactly eight and sixteen bytes, equal keys.
    void orderIsKeyThenBytes() {
        const QList<QByteArray> names = {"IMG_20230101_000010.JPG",
                                         "img_20230101_000009.jpg",
                                         "IMG_20230101_00001.jpg",
                                         "IMG_20230101_000010.jpg",
                                         "abcdefgh",
                                         "ABCDEFGH",
                                         "abcdefg",
                                         "ABCDEFGHI",
                                         "abcdefghZ",
                                         "abcdefghy",
                                         "abcdefghijklmnop",
                                         "abcdefghijklmnoP",
                                         "abcdefghijklmno",
                                         "ABCDEFGHIJKLMNOPQ",
                                         "abcdefghijklmnopqr",
                                         QString::fromUtf8("Отчёт за год.txt").toUtf8(),
                                         QString::fromUtf8("отчёт за год.TXT").toUtf8(),
                                         QString::fromUtf8("Отчёт за Год 2.txt").toUtf8(),
                                         "bad\xff",
                                         "bad\xfe",
                                         "bad\xef\xbf\xbd",
                                         "README",
                                         "ReadMe",
                                         "readme",
                                         "a",
                                         "A",
                                         "B"};
        for (const QByteArray &name : names)
            QVERIFY(makeFile(path(name)));

        QList<QByteArray> expected = names;
        std::sort(expected.begin(), expected.end(), [](const QByteArray &a, const QByteArray &b) {
            const QByteArray ka = names::sortKey(a), kb = names::sortKey(b);
            return ka != kb ? ka < kb : a < b;
        });
        FileListBox list;
        list.setDirectory(m_dir);
        QList<QByteArray> listed;
        for (int i = 0; i < list.count(); ++i)
            listed << list.rowName(i);
        QCOMPARE(listed, expected);
    }

    void socketsAreListed() {
        const QByteArray sock = path("s");
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un addr{};
        addr.sun_family = AF_UNIX;
        if (size_t(sock.size()) >= sizeof addr.sun_path)
            QSKIP("temporary path too long for a socket");
        memcpy(addr.sun_path, sock.constData(), size_t(sock.size()));
        QCOMPARE(::bind(fd, reinterpret_cast<sockaddr *>(&addr), sizeof addr), 0);
        FileListBox list;
        list.setDirectory(m_dir);
        QCOMPARE(rowTexts(list.model()), QStringList{"s"});
        ::close(fd);
    }

    void nonUtf8NamesKeepTheirBytes() {
        const QByteArray odd("\xff\xfe name.txt");
        QVERIFY(makeFile(path(odd), 3));
        FileListBox list;
        list.setDirectory(m_dir);
        QCOMPARE(list.count(), 1);
        QCOMPARE(list.rowName(0), odd);
        list.setCurrentIndex(list.model()->index(0, 0));
        QCOMPARE(list.currentFile(), path(odd));
        QVERIFY(list.model()->index(0, 0).data().toString().contains(QChar::ReplacementCharacter));
    }

    void currentFileNeedsAFocusedSelectedRow() {
        FileListBox list;
        list.setDirectory(m_dir);
        QCOMPARE(list.currentFile(), QByteArray()); // empty list
        QVERIFY(makeFile(path("one")));
        QVERIFY(makeFile(path("two")));
        list.refresh();
        QCOMPARE(list.currentFile(), QByteArray()); // no focused row
        list.setCurrentIndex(list.model()->index(1, 0));
        QCOMPARE(list.currentFile(), path("two"));
        // Ctrl+click on the focused row deselects it: no current file, other rows notwithstanding.
        list.selectionModel()->select(list.model()->index(0, 0), QItemSelectionModel::Select);
        list.selectionModel()->select(list.model()->index(1, 0), QItemSelectionModel::Deselect);
        QCOMPARE(list.focusedRow(), 1);
        QCOMPARE(list.currentFile(), QByteArray());
        QCOMPARE(list.selectedRows(), QList<int>{0});
    }

    void refreshClearsSelectionAndSeesNewFiles() {
        QVERIFY(makeFile(path("one")));
        FileListBox list;
        list.setDirectory(m_dir);
        list.setAllSelected(true);
        QVERIFY(list.isRowSelected(0));
        QVERIFY(makeFile(path("zero")));
        list.refresh();
        QCOMPARE(list.count(), 2);
        QVERIFY(list.selectedRows().isEmpty());
    }

    void focusMovesWithoutSelecting() {
        for (const char *name : {"a", "b", "c"})
            QVERIFY(makeFile(path(name)));
        FileListBox list;
        list.setDirectory(m_dir);
        list.setFocusedRow(2);
        QCOMPARE(list.focusedRow(), 2);
        QVERIFY(list.selectedRows().isEmpty());
        list.setFocusedRow(7);
        QCOMPARE(list.focusedRow(), 2);
        list.setFocusedRow(-1);
        QCOMPARE(list.focusedRow(), 2);
    }

    void vanishedDirectoryListsNothing() {
        QVERIFY(makeFile(path("a")));
        FileListBox list;
        list.setDirectory(m_dir);
        QCOMPARE(list.count(), 1);
        QVERIFY(::unlink(path("a").constData()) == 0 && ::rmdir(m_dir.constData()) == 0);
        list.refresh();
        QCOMPARE(list.count(), 0);
    }

    void busyCursorOnlyBeyondHundredFiles_data() {
        QTest::addColumn<int>("files");
        QTest::addColumn<bool>("busy");
        QTest::newRow("100 files") << 100 << false;
        QTest::newRow("101 files") << 101 << true;
    }
    void busyCursorOnlyBeyondHundredFiles() {
        QFETCH(int, files);
        QFETCH(bool, busy);
        for (int i = 0; i < files; ++i)
            QVERIFY(makeFile(path("f" + QByteArray::number(i))));
        FileListBox list;
        list.setDirectory(m_dir + "/..");
        bool sawBusy = false;
        connect(list.model(), &QAbstractItemModel::modelReset, this, [&] {
            const QCursor *c = QGuiApplication::overrideCursor();
            sawBusy = sawBusy || (c && c->shape() == Qt::WaitCursor);
        });
        list.setDirectory(m_dir);
        QCOMPARE(list.count(), files);
        QCOMPARE(sawBusy, busy);
        QVERIFY(!QGuiApplication::overrideCursor());
    }

    // Sampled while the directory is being read, not after: the busy cursor is up from the
    // hundred-and-first file on, and gone once the list is shown.
    void busyCursorIsUpDuringTheRead() {
        for (int i = 0; i < 300; ++i)
            QVERIFY(makeFile(path("f" + QByteArray::number(i))));
        FileListBox list;
        list.setDirectory(m_dir + "/..");
        QMap<int, bool> busyAt;
        list.setReadObserver([&](int filesRead) {
            const QCursor *c = QGuiApplication::overrideCursor();
            busyAt[filesRead] = c && c->shape() == Qt::WaitCursor;
        });
        list.setDirectory(m_dir);
        QCOMPARE(busyAt.size(), 300);
        QVERIFY(!busyAt.value(1));
        QVERIFY(!busyAt.value(100));
        // The cursor is set at the 101st file, as that file is read; the samples after it see it.
        QVERIFY(busyAt.value(102));
        QVERIFY(busyAt.value(300));
        QVERIFY(!QGuiApplication::overrideCursor());
    }

    // The drop-down list of the drive box draws each row's glyph, as the closed box does.
    void driveDropDownRowsShowGlyphs() {
        std::vector<platform::Volume> volumes(4);
        const platform::DriveType types[] = {
            platform::DriveType::Fixed, platform::DriveType::Removable, platform::DriveType::Remote,
            platform::DriveType::CdRom};
        for (int i = 0; i < 4; ++i) {
            volumes[size_t(i)].root = "/v" + QByteArray::number(i);
            volumes[size_t(i)].type = types[i];
        }
        DriveComboBox drives;
        drives.setVolumes(volumes);
        QAbstractItemView *popup = drives.view();
        auto *delegate = qobject_cast<GlyphRowDelegate *>(popup->itemDelegate());
        QVERIFY(delegate);
        for (int row = 0; row < 4; ++row) {
            const QModelIndex index = popup->model()->index(row, 0);
            const QImage expected = glyphPixmap(drives::rowGlyph(types[row])).toImage();
            QCOMPARE(GlyphRowDelegate::glyph(index).toImage().convertToFormat(expected.format()),
                     expected);
            // Painted: the glyph's pixels stand where the glyph goes.
            QImage canvas(200, GlyphRowDelegate::RowHeight, QImage::Format_ARGB32);
            canvas.fill(Qt::white);
            QPainter painter(&canvas);
            QStyleOptionViewItem option;
            option.rect = canvas.rect();
            option.palette.setColor(QPalette::Base, Qt::white);
            delegate->paint(&painter, option, index);
            painter.end();
            const QImage glyphArea =
                canvas.copy(2, 0, GlyphRowDelegate::GlyphWidth, GlyphRowDelegate::RowHeight);
            int coloured = 0;
            for (int y = 0; y < glyphArea.height(); ++y)
                for (int x = 0; x < glyphArea.width(); ++x)
                    coloured += glyphArea.pixel(x, y) != qRgb(255, 255, 255);
            QVERIFY2(coloured > 10, qPrintable(QString::number(row)));
        }
    }

    void typeAheadSearch() {
        for (const char *name : {"alpha", "beta", "Betamax", "gamma"})
            QVERIFY(makeFile(path(name)));
        FileListBox list;
        list.setDirectory(m_dir);
        list.show();
        QSignalSpy clicks(&list, &FileListBox::userClicked);

        QTest::keyClicks(&list, "BETAM");
        QCOMPARE(list.selectedRows(), QList<int>{2});
        QCOMPARE(list.focusedRow(), 2);
        QCOMPARE(clicks.count(), 5);

        QTest::keyClick(&list, 'z'); // no row begins with "betamz": nothing changes
        QCOMPARE(list.selectedRows(), QList<int>{2});
        QCOMPARE(clicks.count(), 5);

        QTest::keyClick(&list, Qt::Key_Backspace); // back to "betam"
        QCOMPARE(list.selectedRows(), QList<int>{2});
        QCOMPARE(clicks.count(), 6);

        QTest::qWait(600); // a pause starts a new search
        QTest::keyClick(&list, 'g');
        QCOMPARE(list.selectedRows(), QList<int>{3});

        QTest::keyClick(&list, Qt::Key_Backspace); // empty search: focus to the first row
        QCOMPARE(list.focusedRow(), 0);
        QCOMPARE(clicks.count(), 8);
    }

    void arrowKeysCountAsClicks() {
        for (const char *name : {"a", "b"})
            QVERIFY(makeFile(path(name)));
        FileListBox list;
        list.setDirectory(m_dir);
        list.show();
        list.setCurrentIndex(list.model()->index(0, 0));
        QSignalSpy clicks(&list, &FileListBox::userClicked);
        QTest::keyClick(&list, Qt::Key_Down);
        QCOMPARE(clicks.count(), 1);
        QCOMPARE(list.currentFile(), path("b"));
    }

    void directoryRows() {
        for (const char *name : {"beta", "Alpha", ".hidden", "gamma"})
            QVERIFY(makeDir(path(name)));
        QVERIFY(makeFile(path("file")));
        QVERIFY(platform::setWorkingDirectory(m_dir));
        Panel panel;
        auto &[cwd, files, drives, dirs] = panel;
        QCOMPARE(dirs.directory(), m_dir);

        const auto *model = static_cast<const DirectoryListModel *>(dirs.model());
        const QList<QByteArray> parts = m_dir.split('/').mid(1);
        const int pathRows = int(parts.size()) + 1;
        QCOMPARE(model->count(), pathRows + 3);
        QCOMPARE(model->row(0).name, QByteArray("/"));
        QCOMPARE(model->row(0).glyph, Glyph::OpenFolder);
        QCOMPARE(model->row(0).indent, 2);
        QCOMPARE(model->row(pathRows - 1).glyph, Glyph::CurrentFolder);
        QCOMPARE(model->row(pathRows - 1).indent, 4 * (pathRows - 1) + 2);
        QCOMPARE(dirs.currentIndex().row(), pathRows - 1);
        QStringList subdirs;
        for (int i = pathRows; i < model->count(); ++i) {
            subdirs << QString::fromUtf8(model->row(i).name);
            QCOMPARE(model->row(i).glyph, Glyph::ClosedFolder);
            QCOMPARE(model->row(i).indent, 4 * int(m_dir.count('/')) + 6);
        }
        QCOMPARE(subdirs, (QStringList{"Alpha", "beta", "gamma"}));
        QCOMPARE(files.directory(), m_dir);
        QCOMPARE(rowTexts(files.model()), QStringList{"file"});
    }

    void setDirectoryRules() {
        QVERIFY(makeDir(path("sub")));
        QVERIFY(makeFile(path("sub/inner.txt")));
        QVERIFY(makeDir(path("other")));
        QVERIFY(platform::setWorkingDirectory(m_dir));
        Panel panel;
        auto &[cwd, files, drives, dirs] = panel;
        QSignalSpy changes(&dirs, &DirectoryListBox::changed);

        dirs.setDirectory(m_dir); // the same directory changes nothing
        QCOMPARE(changes.count(), 0);
        dirs.setDirectory(QByteArray());
        QCOMPARE(changes.count(), 0);

        dirs.setDirectory("sub"); // relative to the shown directory
        QCOMPARE(dirs.directory(), path("sub"));
        QCOMPARE(files.directory(), path("sub"));
        QCOMPARE(platform::workingDirectory(), path("sub"));
        QCOMPARE(changes.count(), 1);

        dirs.setDirectory(path("missing")); // silently ignored, yet reported as a change
        QCOMPARE(dirs.directory(), path("sub"));
        QCOMPARE(changes.count(), 2);

        dirs.setDirectory(path("other/../sub/inner.txt")); // a file enters its directory
        QCOMPARE(dirs.directory(), path("sub"));

        dirs.setDirectory(path("other"));
        QCOMPARE(dirs.directory(), path("other"));
        // Opening the row just above the current one goes up.
        const int up = int(m_dir.split('/').size()) - 1;
        QCOMPARE(dirs.rowPath(up), m_dir);
        dirs.openRow(up);
        QCOMPARE(dirs.directory(), m_dir);
        QCOMPARE(platform::workingDirectory(), m_dir);
    }

    void keysOpenRows() {
        QVERIFY(makeDir(path("sub")));
        QVERIFY(platform::setWorkingDirectory(m_dir));
        Panel panel;
        auto &[cwd, files, drives, dirs] = panel;
        dirs.show();
        QSignalSpy clicks(&dirs, &DirectoryListBox::userClicked);
        QTest::keyClick(&dirs, Qt::Key_Down);
        QCOMPARE(clicks.count(), 1);
        QCOMPARE(dirs.directory(), m_dir); // moving the highlight enters nothing
        QTest::keyClick(&dirs, Qt::Key_Return);
        QCOMPARE(dirs.directory(), path("sub"));
    }

    void volumesKeepTheirOwnDirectories() {
        QVERIFY(makeDir(path("volA")));
        QVERIFY(makeDir(path("volA/deep")));
        QVERIFY(makeDir(path("volB")));
        std::vector<platform::Volume> volumes(3);
        volumes[0].root = "/";
        volumes[1].root = path("volA");
        volumes[1].label = "a";
        volumes[2].root = path("volB");
        volumes[2].type = platform::DriveType::Removable;

        QVERIFY(platform::setWorkingDirectory(m_dir));
        Panel panel;
        auto &[cwd, files, drives, dirs] = panel;
        drives.setVolumes(volumes);
        QCOMPARE(drives.currentIndex(), 0);
        QCOMPARE(drives.itemText(1), QString::fromUtf8(path("volA")) + " [A]");
        QCOMPARE(drives.itemText(2), QString::fromUtf8(path("volB")));

        dirs.setDirectory(path("volA/deep")); // entering a volume's directory selects its row
        QCOMPARE(drives.currentIndex(), 1);

        choose(drives, 2); // the user picks another volume: its own directory, the root
        QCOMPARE(dirs.directory(), path("volB"));
        QCOMPARE(files.directory(), path("volB"));

        choose(drives, 1); // back: the directory last entered there
        QCOMPARE(dirs.directory(), path("volA/deep"));
        QCOMPARE(platform::workingDirectory(), path("volA/deep"));

        QSignalSpy changes(&dirs, &DirectoryListBox::changed);
        choose(drives, 1); // the volume already shown: nothing happens
        QCOMPARE(changes.count(), 0);

        // A volume that cannot be entered: the list stays, the box shows the chosen row.
        QVERIFY(::rmdir(path("volB").constData()) == 0);
        choose(drives, 2);
        QCOMPARE(dirs.directory(), path("volA/deep"));
        QCOMPARE(drives.currentIndex(), 2);
        QCOMPARE(platform::workingDirectory(), path("volA/deep"));
        QCOMPARE(changes.count(), 1);
    }

    void missingPathOnAnotherVolumeLandsOnItsDirectory() {
        QVERIFY(makeDir(path("volA")));
        QVERIFY(makeDir(path("volB")));
        QVERIFY(makeDir(path("volB/kept")));
        std::vector<platform::Volume> volumes(3);
        volumes[0].root = "/";
        volumes[1].root = path("volA");
        volumes[2].root = path("volB");
        QVERIFY(platform::setWorkingDirectory(path("volA")));
        Panel panel;
        auto &[cwd, files, drives, dirs] = panel;
        drives.setVolumes(volumes);
        dirs.setDirectory(path("volB/kept"));
        dirs.setDirectory(path("volA"));
        QCOMPARE(drives.currentIndex(), 1);

        dirs.setDirectory(path("volB/missing"));
        QCOMPARE(dirs.directory(), path("volB/kept"));
        QCOMPARE(drives.currentIndex(), 2);
        dirs.setDirectory(path("volB/kept/missing")); // same volume: nothing changes
        QCOMPARE(dirs.directory(), path("volB/kept"));
    }

    void rowsAreSixteenPixelsHigh() {
        QVERIFY(makeFile(path("a")));
        FileListBox list;
        list.setDirectory(m_dir);
        list.show();
        QCOMPARE(list.visualRect(list.model()->index(0, 0)).height(), 16);
    }
};

QTEST_MAIN(TestBrowsing)
#include "tst_browsing.moc"
