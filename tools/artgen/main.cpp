// quorvel-artgen [--pictures DIR] [--icons DIR] [--web-icons DIR] [NAME...]
// Paints the game's pictures into DIR (resources/pictures), the larger
// desktop icons into resources/desktop/icons and the web app's icons into
// resources/web/icons; run it from the top of the source tree. With names,
// only those pictures are painted, and no icons.

#include "tools/artgen/Generator.h"

#include <QGuiApplication>

#include <cstdio>
#include <exception>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication app(argc, argv);
    QString pictures = QStringLiteral("resources/pictures");
    QString icons = QStringLiteral("resources/desktop/icons");
    QString webIcons = QStringLiteral("resources/web/icons");
    QStringList names;
    const QStringList args = app.arguments().mid(1);
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--pictures") && i + 1 < args.size()) {
            pictures = args[++i];
        } else if (args[i] == QLatin1String("--icons") && i + 1 < args.size()) {
            icons = args[++i];
        } else if (args[i] == QLatin1String("--web-icons") && i + 1 < args.size()) {
            webIcons = args[++i];
        } else if (args[i].startsWith(QLatin1String("--"))) {
            std::fprintf(stderr, "usage: quorvel-artgen [--pictures DIR] [--icons DIR] [--web-icons DIR] [NAME...]\n");
            return 2;
        } else {
            names << args[i];
        }
    }
    try {
        QStringList written = artgen::writePictures(pictures, names);
        if (names.isEmpty()) {
            written << artgen::writeDesktopIcons(icons);
            written << artgen::writeWebIcons(webIcons);
        }
        for (const QString& path : written) {
            std::printf("%s\n", qPrintable(path));
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "quorvel-artgen: %s\n", e.what());
        return 1;
    }
    return 0;
}
