#pragma once

// Runs a replay script against the whole program under virtual time. One
// command per line; blank lines and lines starting with '#' are skipped.
// A command that cannot run, or an `expect` that does not hold, stops the
// script with the line number and what went wrong.

#include "app/Program.h"
#include "app/plays/PlayRecorder.h"
#include "platform/model/Application.h"
#include "tools/replay/SnapshotPainter.h"

#include <filesystem>
#include <istream>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace replay {

struct Failure {
    int line = 0;
    std::string message;
};

class ReplaySession {
public:
    // Relative paths in the script (appdir) are taken from scriptDir; snaps
    // are written into outDir, their pictures drawn by `painter`.
    ReplaySession(std::filesystem::path scriptDir, std::filesystem::path outDir, SnapshotPainter& painter);

    // Runs every command of the script; nullopt when all of them held.
    std::optional<Failure> run(std::istream& script);
    // Runs one command; throws std::runtime_error with the reason when it fails.
    void execute(const std::string& command);

    // The program's usage line followed by every command with its arguments
    // and meaning, one a line.
    static std::string usage();

    ui::Application& app() { return app_; }

private:
    // One script command: what follows the verb is handed to `run` whole.
    struct Command {
        std::string_view verb;
        std::string_view arguments;
        void (ReplaySession::*run)(const std::string& arguments);
        std::string_view meaning;
    };
    static std::span<const Command> commands();

    void seed(const std::string& number);
    void appDir(const std::string& dir);
    void start(const std::string& ignored);
    void pressKey(const std::string& name);
    void typeText(const std::string& text);
    void hit(const std::string& ignored);
    void miss(const std::string& ignored);
    void wait(const std::string& milliseconds);
    void click(const std::string& target);
    void close(const std::string& formName);
    void setValue(const std::string& arguments);
    void show(const std::string& formName);
    void snap(const std::string& name);
    void expect(const std::string& line);
    void setScreen(const std::string& size);
    void setScale(const std::string& factor);
    void expectFileLine(const std::string& arguments);
    void recordPlay(const std::string& name);

    void typeCharacter(char32_t ch);
    ui::Form& openForm(const std::string& name);

    std::filesystem::path scriptDir_;
    std::filesystem::path outDir_;
    wiring::Program<ui::VirtualClock> program_;
    ui::Application& app_ = program_.app;
    SnapshotPainter& painter_;
    playgame::PlayRecorder recorder_{app_, nullptr};
    double snapScale_ = 1.0;
};

} // namespace replay
