#include <cstdio>

#include <QApplication>

#include "layouts/fonts.h"
#include "shell/form1.h"
#include "shell/form4.h"
#include "shell/startup.h"

int main(int argc, char *argv[])
{
    if (!tolvex::displayAvailable()) {
        std::fputs("tolvex: no graphical display is available (DISPLAY and WAYLAND_DISPLAY are not set); start it from a desktop session.\n", stderr);
        return 1;
    }
    QApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    app.setFont(tolvex::dialogFont());
    // The splash comes first; after its time it hides and the main window starts up.
    tolvex::Form4 splash([] { tolvex::showForm1(); });
    splash.show();
    return app.exec();
}
