// Reading and writing the records file with every one of its thirty lines
// taken by a long name and a large score, in a scratch directory. The save
// is the real one: written beside the file, flushed to the disk, renamed.

#include "bench/BenchSupport.h"
#include "core/RecordFile.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <string>

namespace {

class FullTableOnDisk {
public:
    FullTableOnDisk()
    {
        Module1::AppDirOverride = dir_.path().toStdString();
        Module1::ResetSharedState();
        const std::string names[] = {"ＱＵＯＲＶＥＬ名人一号", "かなタイプの達人です", "Keyboard Wizard 2024"};
        for (int zone = 0; zone < Module1::kZones; ++zone) {
            for (int rank = 0; rank < Module1::kRanks; ++rank) {
                Module1::RecordName[zone][rank] = names[(zone + rank) % 3];
                Module1::RecordScore[zone][rank] = 99'999'000 - rank * 1000 - zone;
            }
        }
        Module1::SaveRecords();
    }
    ~FullTableOnDisk() { Module1::AppDirOverride.clear(); }

private:
    QTemporaryDir dir_;
};

void BM_LoadRecords(benchmark::State& state)
{
    FullTableOnDisk table;
    for (auto _ : state) {
        Module1::LoadRecords();
        benchmark::DoNotOptimize(Module1::RecordScore);
    }
}

void BM_SaveRecords(benchmark::State& state)
{
    FullTableOnDisk table;
    for (auto _ : state) {
        Module1::SaveRecords();
    }
}

} // namespace

BENCHMARK(BM_LoadRecords)->Unit(benchmark::kMicrosecond);
// The flush to the disk is waiting, not computing: wall time is what counts.
BENCHMARK(BM_SaveRecords)->UseRealTime()->Unit(benchmark::kMicrosecond);
