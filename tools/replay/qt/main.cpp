// quorvel-replay SCRIPT [OUTDIR]: plays a script against the whole program,
// headless and under virtual time, and draws the snaps' pictures with Qt.
// Exit 0 when every command ran and every expectation held; 1 with the line
// number and the mismatch otherwise. --help lists the commands.

#include "tools/replay/Driver.h"
#include "tools/replay/qt/QtSnapshotPainter.h"

#include <QGuiApplication>

#include <iostream>

int main(int argc, char** argv)
{
    const auto invocation = replay::readCommandLine(argc, argv, std::cout, std::cerr);
    if (const int* status = std::get_if<int>(&invocation)) {
        return *status;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    int qtArgc = 1;
    QGuiApplication qt(qtArgc, argv);
    replay::QtSnapshotPainter painter;
    return replay::playScript(std::get<replay::Invocation>(invocation), painter, std::cerr);
}
