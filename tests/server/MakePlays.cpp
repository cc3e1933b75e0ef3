// Writes plays for the server's tests, played on the real game under virtual
// time: COUNT by typists whose keys come at varied intervals (human-N.qvplay,
// seeds 1..COUNT), one by a typist of 25 keys a second (fast.qvplay) and one
// whose keys come every 300 ms exactly (even.qvplay).
//
//   quorvel-server-testplays OUTDIR COUNT

#include "tests/plays/PlayFixtures.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iostream>

namespace {

bool writeFile(const std::string& path, const std::string& text)
{
    std::ofstream out(path, std::ios::binary);
    out << text;
    out.close();
    if (!out) {
        std::cerr << "quorvel-server-testplays: cannot write " << path << ": " << std::strerror(errno) << "\n";
        return false;
    }
    return true;
}

// Keys every INTERVAL() ms: the hit when there is one, else a miss.
std::function<void(ui::Application&, std::int64_t)> typist(std::function<int()> interval)
{
    auto next = std::make_shared<std::int64_t>(100);
    return [interval, next](ui::Application& app, std::int64_t playMs) {
        if (playMs < *next) {
            return;
        }
        *next = playMs + interval();
        const auto hit = app.loaded<frmStage>()->characterThatHits();
        playtests::typeChar(app, hit ? *hit : frmStage::characterThatMisses());
    };
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::cerr << "usage: quorvel-server-testplays OUTDIR COUNT\n";
        return 2;
    }
    const std::string dir = argv[1];
    const int count = std::atoi(argv[2]);
    auto onTime = [] { return 0; };
    for (int seed = 1; seed <= count; ++seed) {
        std::mt19937 random(static_cast<unsigned>(seed));
        std::normal_distribution<double> gap(260, 70);
        auto interval = [&] { return std::clamp(static_cast<int>(gap(random)), 90, 700); };
        const plays::Play play = playtests::playStage(seed % 3, seed % 2, static_cast<std::uint64_t>(seed) * 7919,
                                                      onTime, typist(interval));
        if (!writeFile(dir + "/human-" + std::to_string(seed) + ".qvplay", plays::writePlay(play))) {
            return 1;
        }
    }
    const plays::Play fast = playtests::playStage(1, 0, 77, onTime, typist([] { return 40; }));
    const plays::Play even = playtests::playStage(1, 0, 78, onTime, typist([] { return 300; }));
    return writeFile(dir + "/fast.qvplay", plays::writePlay(fast)) &&
                   writeFile(dir + "/even.qvplay", plays::writePlay(even))
               ? 0
               : 1;
}
