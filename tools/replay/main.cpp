// quorvel-replay SCRIPT [OUTDIR]: plays a script against the whole program,
// headless and under virtual time. Exit 0 when every command ran and every
// expectation held; 1 with the line number and the mismatch otherwise.
// --help lists the commands.

#include "tools/replay/ReplaySession.h"

#include <QGuiApplication>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <string_view>

int main(int argc, char** argv)
{
    if (argc == 2 && std::string_view(argv[1]) == "--help") {
        std::cout << replay::ReplaySession::usage();
        return 0;
    }
    if (argc < 2 || argc > 3) {
        std::cerr << replay::ReplaySession::usage();
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    int qtArgc = 1;
    QGuiApplication qt(qtArgc, argv);

    const std::filesystem::path script = std::filesystem::absolute(argv[1]);
    std::ifstream in(script);
    if (!in) {
        std::cerr << "quorvel-replay: cannot read " << script.string() << "\n";
        return 2;
    }
    const std::filesystem::path outDir = argc == 3 ? std::filesystem::path(argv[2]) : script.parent_path();
    replay::ReplaySession session(script.parent_path(), outDir);
    if (const auto failure = session.run(in)) {
        std::cerr << script.string() << ":" << failure->line << ": " << failure->message << "\n";
        return 1;
    }
    return 0;
}
