#include "tools/replay/Driver.h"

#include "tools/replay/ReplaySession.h"

#include <fstream>
#include <string_view>

namespace replay {

std::variant<Invocation, int> readCommandLine(int argc, char** argv, std::ostream& out, std::ostream& err)
{
    if (argc == 2 && std::string_view(argv[1]) == "--help") {
        out << ReplaySession::usage();
        return 0;
    }
    if (argc < 2 || argc > 3) {
        err << ReplaySession::usage();
        return 2;
    }
    Invocation invocation;
    invocation.script = std::filesystem::absolute(argv[1]);
    invocation.outDir = argc == 3 ? std::filesystem::path(argv[2]) : invocation.script.parent_path();
    return invocation;
}

int playScript(const Invocation& invocation, SnapshotPainter& painter, std::ostream& err)
{
    std::ifstream in(invocation.script);
    if (!in) {
        err << "quorvel-replay: cannot read " << invocation.script.string() << "\n";
        return 2;
    }
    ReplaySession session(invocation.script.parent_path(), invocation.outDir, painter);
    if (const auto failure = session.run(in)) {
        err << invocation.script.string() << ":" << failure->line << ": " << failure->message << "\n";
        return 1;
    }
    return 0;
}

} // namespace replay
