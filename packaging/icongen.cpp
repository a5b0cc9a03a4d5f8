// Writes the program's icon as PNG files of the sizes the desktop menus use.
// Usage: tolvex_icongen <output directory> <size>...
// Each size N lands in <output directory>/NxN/tolvex.png.
#include <cstdio>

#include <QDir>
#include <QGuiApplication>
#include <QIcon>
#include <QPixmap>

#include "layouts/artwork.h"

int main(int argc, char *argv[])
{
    if (argc < 3) {
        std::fputs("usage: tolvex_icongen <output directory> <size>...\n", stderr);
        return 2;
    }
    QGuiApplication app(argc, argv);
    const QIcon icon = tolvex::form1Icon();
    const QDir out(QString::fromLocal8Bit(argv[1]));
    for (int i = 2; i < argc; ++i) {
        bool ok = false;
        const int size = QString::fromLocal8Bit(argv[i]).toInt(&ok);
        if (!ok || size < 8 || size > 512) {
            std::fprintf(stderr, "tolvex_icongen: bad icon size '%s' (a number from 8 to 512)\n", argv[i]);
            return 2;
        }
        // The artwork comes in 16 and 32; other sizes are scaled from the nearest larger one.
        QPixmap pixmap = icon.pixmap(QSize(size, size));
        if (pixmap.isNull()) {
            std::fputs("tolvex_icongen: the program icon is empty\n", stderr);
            return 1;
        }
        if (pixmap.size() != QSize(size, size))
            pixmap = pixmap.scaled(size, size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        const QString sub = QStringLiteral("%1x%1").arg(size);
        if (!out.mkpath(sub)) {
            std::fprintf(stderr, "tolvex_icongen: cannot create %s\n", qPrintable(out.filePath(sub)));
            return 1;
        }
        const QString file = out.filePath(sub + QStringLiteral("/tolvex.png"));
        if (!pixmap.save(file, "PNG")) {
            std::fprintf(stderr, "tolvex_icongen: cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    return 0;
}
