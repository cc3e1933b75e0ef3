#include "tools/replay/Driver.h"

#include "tools/replay/ReplaySession.h"

#include "app/plays/PlayCheck.h"
#include "platform/model/Text.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string_view>

namespace replay {

std::variant<Invocation, Verification, int> readCommandLine(int argc, char** argv, std::ostream& out,
                                                           std::ostream& err)
{
    if (argc == 2 && std::string_view(argv[1]) == "--help") {
        out << ReplaySession::usage();
        return 0;
    }
    if (argc == 3 && std::string_view(argv[1]) == "verify") {
        return Verification{argv[2]};
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

int verifyPlayFile(const Verification& verification, std::ostream& out, std::ostream& err)
{
    const std::string path = verification.play.string();
    std::ifstream in(verification.play, std::ios::binary);
    if (!in) {
        err << "quorvel-replay: cannot read " << path << ": " << std::strerror(errno) << "\n";
        return 2;
    }
    std::ostringstream text;
    text << in.rdbuf();
    const playgame::Verdict verdict = playgame::verifyPlay(text.str());
    if (!verdict.valid) {
        err << "quorvel-replay: " << path << ": " << verdict.reason << "\n";
        return 1;
    }
    const plays::Figures& figures = verdict.figures;
    out << "zone " << verdict.play->zone << "\n"
        << "score " << figures.score << "\n"
        << "hits " << figures.hits << "\n"
        << "strokes " << figures.strokes << "\n"
        << "response " << ui::numberText(figures.response) << "\n"
        << "hitrate " << ui::numberText(figures.hitRate) << "\n"
        << "total " << figures.total << "\n";
    return 0;
}

int runInvocation(const std::variant<Invocation, Verification, int>& invocation, SnapshotPainter& painter,
                  std::ostream& out, std::ostream& err)
{
    if (const int* status = std::get_if<int>(&invocation)) {
        return *status;
    }
    if (const auto* verification = std::get_if<Verification>(&invocation)) {
        return verifyPlayFile(*verification, out, err);
    }
    return playScript(std::get<Invocation>(invocation), painter, err);
}

} // namespace replay
