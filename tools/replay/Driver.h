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

// `quorvel-replay verify PLAYFILE`.
struct Verification {
    std::filesystem::path play;
};

// The script to play, or the exit status once --help (0, on `out`) or the
// usage for wrong arguments (2, on `err`) has been printed.
std::variant<Invocation, Verification, int> readCommandLine(int argc, char** argv, std::ostream& out,
                                                           std::ostream& err);

// 0 when every command ran and every expectation held; 1 with the script's
// line and the reason on `err` otherwise; 2 when the script cannot be read.
int playScript(const Invocation& invocation, SnapshotPainter& painter, std::ostream& err);

// Checks a play: its figures on `out` and 0 when valid; the reason on `err`
// and 1 when refused; 2 when the file cannot be read.
int verifyPlayFile(const Verification& verification, std::ostream& out, std::ostream& err);

// Either of the two, as the command line asked.
int runInvocation(const std::variant<Invocation, Verification, int>& invocation, SnapshotPainter& painter,
                  std::ostream& out, std::ostream& err);

} // namespace replay
