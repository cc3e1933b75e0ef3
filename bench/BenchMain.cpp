// The one main of quorvel-bench. Windows are needed by the benchmarks that
// paint into a real window, so this is a QApplication; it runs offscreen
// unless QT_QPA_PLATFORM says otherwise.

#include "app/QtRecordStorage.h"

#include <QApplication>
#include <benchmark/benchmark.h>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication qtApp(argc, argv);
    qtrecords::QtRecordStorage records;
    Module1::UseRecordStorage(records);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
