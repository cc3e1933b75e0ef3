#pragma once

// The command line of quorvel-replay, shared by every build of it: what the
// arguments ask for, and playing the script with the messages and exit
// statuses the README gives.

#include "tools/replay/SnapshotPainter.h"

#include <filesystem>
#include <ostream>
#include <variant>

namespace replay {

struct Invocation {
    std::filesystem::path script; // absolute
    std::filesystem::path outDir;
};

// The script to play, or the exit status once --help (0, on `out`) or the
// usage for wrong arguments (2, on `err`) has been printed.
std::variant<Invocation, int> readCommandLine(int argc, char** argv, std::ostream& out, std::ostream& err);

// 0 when every command ran and every expectation held; 1 with the script's
// line and the reason on `err` otherwise; 2 when the script cannot be read.
int playScript(const Invocation& invocation, SnapshotPainter& painter, std::ostream& err);

} // namespace replay
