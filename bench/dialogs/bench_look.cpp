// Times, side by side in one run, what the view settings and the about dialog cost the user:
// switching the flat look on and off for all four windows, opening the about dialog (its
// picture decoded with libjpeg, the colour key worked out from the drawn window), and the
// picture's decoding by libjpeg against Qt's own image reader.
//
//   bench_look [runs]      default: 50 runs of each; prints median / min in milliseconds
#include "JpegPicture.h"
#include "app/Messenger.h"
#include "app/Unit1.h"
#include "commands/Unit2.h"
#include "dialogs/Unit3.h"
#include "dialogs/Unit4.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

namespace {

class SilentMessenger : public Messenger {
public:
    void message(QWidget *, const QString &) override {}
    void error(QWidget *, const QString &) override {}
};

struct Figures {
    double median, min;
};

Figures time(int runs, const std::function<void()> &work) {
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        work();
        ms.push_back(t.nsecsElapsed() / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    return {ms[ms.size() / 2], ms.front()};
}

void print(const char *what, const Figures &f) {
    std::printf("| %-44s | %8.3f | %8.3f |\n", what, f.median, f.min);
}

} // namespace

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 50;
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));

    SilentMessenger messenger;
    TForm1 form1(messenger);
    auto *form2 = new TForm2(&form1);
    auto *form3 = new TForm3(&form1);
    auto *form4 = new TForm4(&form1);
    form1.setDialogs(form2, form3, form4);
    form1.show();
    QApplication::processEvents();

    QFile file(QStringLiteral(":/images/about.jpg"));
    if (!file.open(QIODevice::ReadOnly))
        return 1;
    const QByteArray jpeg = file.readAll();
    auto *xp = form4->findChild<QCheckBox *>(QStringLiteral("CheckBox5"));

    std::printf("| %-44s | %8s | %8s |\n|---|---:|---:|\n", "what (ms)", "median", "min");
    print("flat look on, then off, four windows, painted", time(runs, [&] {
              xp->click();
              form1.repaint();
              xp->click();
              form1.repaint();
          }));
    print("about dialog shown and hidden", time(runs, [&] {
              form3->show();
              QApplication::processEvents();
              form3->hide();
          }));
    const Figures ours = time(runs, [&] { (void)decodeJpeg(jpeg); });
    const Figures qts = time(runs, [&] { (void)QImage::fromData(jpeg, "JPEG"); });
    print("about picture decoded by libjpeg (ours)", ours);
    print("the same by Qt's image reader", qts);
    std::printf("\nours / Qt's, medians: %.2f\n", ours.median / qts.median);
    return 0;
}
