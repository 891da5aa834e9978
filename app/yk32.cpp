// Start-up: the application, its five windows in their fixed order, the event loop.
#include "app/Application.h"
#include "app/Messenger.h"
#include "app/Unit1.h"
#include "app/Unit5.h"
#include "commands/Unit2.h"
#include "dialogs/Unit3.h"
#include "dialogs/Unit4.h"

#include "Version.h"

#include <cstdio>
#include <cstring>

int main(int argc, char **argv) {
    // Answered before any window system is touched, so that it works without a display.
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::puts("WinYk " WINYK_VERSION " (build " WINYK_BUILD_NUMBER ")");
        return std::fflush(stdout) == 0 ? 0 : 1;
    }
    Application app(argc, argv);
    Messenger messenger;
    app.setMessenger(&messenger);

    // The first window is the main window; the others are created hidden and live as long.
    TForm1 form1(messenger);
    auto *form2 = new TForm2(&form1);
    auto *form3 = new TForm3(&form1);
    auto *form4 = new TForm4(&form1);
    TForm5 form5;
    form1.setDialogs(form2, form3, form4);

    form1.show();
    return app.exec();
}
