#include <cstdio>

#include <QApplication>
#include <QTimer>

#include "shell/form1.h"
#include "shell/startup.h"

int main(int argc, char *argv[])
{
    if (!tolvex::displayAvailable()) {
        std::fputs("tolvex: no graphical display is available (DISPLAY and WAYLAND_DISPLAY are not set); start it from a desktop session.\n", stderr);
        return 1;
    }
    QApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    QTimer::singleShot(0, &app, [] { tolvex::showForm1(); });
    return app.exec();
}
