// quorvel-fontmetrics OUTPUT: writes the game's table of advance widths
// (resources/metrics/FontTable.inc) for every font the designs' labels use,
// measured with the installed fonts as the desktop host draws them.

#include "tools/fontmetrics/FontTableGenerator.h"

#include "platform/qt/QtServices.h"

#include <QGuiApplication>

#include <exception>
#include <fstream>
#include <iostream>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: quorvel-fontmetrics OUTPUT\n";
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    int qtArgc = 1;
    QGuiApplication qt(qtArgc, argv);
    const QString missing = qthost::missingFontsReport();
    if (!missing.isEmpty()) {
        std::cerr << "quorvel-fontmetrics: " << missing.toStdString() << '\n';
        return 1;
    }
    try {
        const auto fonts = fontmetricsgen::distinctFonts(fontmetricsgen::labelsOfDesigns(false));
        std::ofstream file(argv[1], std::ios::binary);
        file << fontmetricsgen::renderTable(fonts);
        file.close();
        if (!file) {
            std::cerr << "quorvel-fontmetrics: cannot write " << argv[1] << '\n';
            return 1;
        }
        std::cout << "wrote " << argv[1] << ": " << fonts.size() << " fonts\n";
    } catch (const std::exception& error) {
        std::cerr << "quorvel-fontmetrics: " << error.what() << '\n';
        return 1;
    }
    return 0;
}
