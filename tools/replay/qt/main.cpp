// quorvel-replay SCRIPT [OUTDIR]: plays a script against the whole program,
// headless and under virtual time, and draws the snaps' pictures with Qt.
// Exit 0 when every command ran and every expectation held; 1 with the line
// number and the mismatch otherwise. --help lists the commands.
// quorvel-replay verify PLAYFILE checks a play and prints its figures.

#include "tools/replay/Driver.h"
#include "tools/replay/qt/QtSnapshotPainter.h"

#include <QGuiApplication>

#include <iostream>

int main(int argc, char** argv)
{
    const auto invocation = replay::readCommandLine(argc, argv, std::cout, std::cerr);
    if (!std::holds_alternative<replay::Invocation>(invocation)) {
        replay::NoPictures painter(std::cerr);
        return replay::runInvocation(invocation, painter, std::cout, std::cerr);
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    int qtArgc = 1;
    QGuiApplication qt(qtArgc, argv);
    replay::QtSnapshotPainter painter;
    return replay::runInvocation(invocation, painter, std::cout, std::cerr);
}
