// Seeded storms of random player events over the whole program under
// virtual time: keys of every kind, typed kana, kanji and emoji, clicks on
// windows and controls, close boxes, short and long waits. After every
// event the program must still hold together (see Invariants below). When
// the program ends it is started again, on the records it saved.
//
// Every event goes through the replay driver's own commands, so a failing
// storm is reported as a script that quorvel-replay plays back exactly.

#include "app/ProgramDump.h"
#include "core/Module1.h"
#include "core/RecordFile.h"
#include "platform/model/Text.h"
#include "tools/replay/ReplaySession.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <map>
#include <memory>
#include <optional>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr int kSeeds = 40;
constexpr int kEventsPerSeed = 3000;
constexpr int kDumpEvery = 97; // the replay driver's dump, now and then

const char* const kFormNames[] = {"frmTitle",   "frmMenu",   "frmZone",   "frmOption", "frmStage",
                                  "frmResults", "frmNentry", "frmRecord", "frmCertif"};

// ---------------------------------------------------------------- timers

// Wraps the handler of every timer of every loaded form, so that a tick of
// a timer whose form is no longer loaded is caught as it happens.
class TimerWatch {
public:
    void wrapNewTimers(ui::Application& app)
    {
        for (const char* name : kFormNames) {
            if (ui::Form* form = app.loaded(name)) {
                wrapTimersOf(app, *form);
            }
        }
    }
    const std::vector<std::string>& strayTicks() const { return strayTicks_; }
    long ticks() const { return ticks_; }

private:
    void wrapTimersOf(ui::Application& app, ui::Form& form)
    {
        for (const auto& control : form.controls()) {
            auto* timer = dynamic_cast<ui::Timer*>(control.get());
            if (timer == nullptr || !wrapped_.emplace(form.instanceId(), timer->displayName()).second) {
                continue;
            }
            timer->onTimer = [this, &app, timer, handler = std::move(timer->onTimer)] {
                const ui::Form& owner = timer->form();
                if (app.loaded(owner.name()) != &owner || !owner.loaded()) {
                    strayTicks_.push_back(owner.name() + "." + timer->displayName() + " ticked after its form was unloaded");
                }
                ++ticks_;
                if (handler) {
                    handler();
                }
            };
        }
    }

    std::set<std::pair<std::uint64_t, std::string>> wrapped_;
    std::vector<std::string> strayTicks_;
    long ticks_ = 0;
};

// ---------------------------------------------------------------- invariants

std::string fileBytes(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::optional<std::string> outOfRange(const char* name, int value, int low, int high)
{
    if (value < low || value > high) {
        return std::string(name) + " is " + std::to_string(value) + ", outside " + std::to_string(low) + ".." +
               std::to_string(high);
    }
    return std::nullopt;
}

std::optional<std::string> sharedValuesOutOfRange()
{
    const std::pair<const char*, std::pair<int, std::pair<int, int>>> checks[] = {
        {"MenuCursor", {Module1::MenuCursor, {0, 2}}}, {"CurrentZone", {Module1::CurrentZone, {0, 2}}},
        {"SidePanel", {Module1::SidePanel, {0, 2}}},   {"OptSpeed", {Module1::OptSpeed, {0, 1}}},
        {"OptCase", {Module1::OptCase, {0, 1}}},       {"OptKana", {Module1::OptKana, {0, 1}}},
    };
    for (const auto& [name, check] : checks) {
        if (auto problem = outOfRange(name, check.first, check.second.first, check.second.second)) {
            return problem;
        }
    }
    return std::nullopt;
}

std::optional<std::string> unsortedRanks()
{
    for (int zone = 0; zone < Module1::kZones; ++zone) {
        for (int rank = 1; rank < Module1::kRanks; ++rank) {
            if (Module1::RecordScore[zone][rank] > Module1::RecordScore[zone][rank - 1]) {
                return "zone " + std::to_string(zone) + " rank " + std::to_string(rank) + " (" +
                       std::to_string(Module1::RecordScore[zone][rank]) + ") is above rank " +
                       std::to_string(rank - 1) + " (" + std::to_string(Module1::RecordScore[zone][rank - 1]) + ")";
            }
        }
    }
    return std::nullopt;
}

std::optional<std::string> duplicateWindows(const ui::Application& app)
{
    std::set<std::string> seen;
    for (const ui::Form* form : app.openForms()) {
        if (!seen.insert(form->name()).second) {
            return form->name() + " is open twice";
        }
    }
    return std::nullopt;
}

std::optional<std::string> fileDiffersFromTable(const std::string& bytes)
{
    const Module1::ParsedTable parsed = Module1::parseRecords(bytes);
    if (!parsed.ok()) {
        return "the saved file does not read back: line " + std::to_string(parsed.error->line) + ": " +
               parsed.error->reason;
    }
    for (int zone = 0; zone < Module1::kZones; ++zone) {
        for (int rank = 0; rank < Module1::kRanks; ++rank) {
            if (parsed.table.names[zone][rank] != Module1::RecordName[zone][rank] ||
                parsed.table.scores[zone][rank] != Module1::RecordScore[zone][rank]) {
                return "the saved file reads back \"" + parsed.table.names[zone][rank] + "\" " +
                       std::to_string(parsed.table.scores[zone][rank]) + " at zone " + std::to_string(zone) +
                       " rank " + std::to_string(rank) + ", the table holds \"" + Module1::RecordName[zone][rank] +
                       "\" " + std::to_string(Module1::RecordScore[zone][rank]);
            }
        }
    }
    return std::nullopt;
}

// ---------------------------------------------------------------- events

// Characters a player can get into a key press: every kind the game meets.
class CharacterPool {
public:
    explicit CharacterPool(std::mt19937& random) : random_(random) {}

    std::string text()
    {
        std::u32string text;
        const int length = pick(1, 4);
        for (int i = 0; i < length; ++i) {
            text += character();
        }
        // A script line loses blanks at its ends.
        if (text.front() == U' ') {
            text.front() = U'_';
        }
        if (text.back() == U' ') {
            text.back() = U'_';
        }
        return ui::toUtf8(text);
    }

private:
    int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }
    char32_t between(char32_t low, char32_t high) { return static_cast<char32_t>(pick(int(low), int(high))); }
    char32_t character()
    {
        static constexpr char32_t kOdd[] = {U',', U'"', U'\\', U'¥', U'\u3000', U'😀', U'🎮', U'한', U'\u3099', U'①', U'ー'};
        switch (pick(0, 7)) {
        case 0: return between(0x20, 0x7E);                   // ASCII, commas and quotes included
        case 1: return between(0xFF61, 0xFF9F);               // half-width kana
        case 2: return between(0x3041, 0x3096);               // hiragana
        case 3: return between(0x30A1, 0x30FA);               // full-width katakana
        case 4: return between(0x4E00, 0x9FA0);               // kanji, some without a code page 932 form
        case 5: return between(0xFF01, 0xFF5E);               // full-width Latin
        case 6: return between(0x1F600, 0x1F64F);             // emoji
        default: return kOdd[pick(0, int(std::size(kOdd)) - 1)];
        }
    }

    std::mt19937& random_;
};

// How a storm mixes its events, in parts per thousand.
struct Temperament {
    int confirm;      // Enter or Space
    int key;          // any key
    int type;         // a few characters of any kind
    int play;         // during play, the target's character or a miss
    int click;        // a window or one of its controls
    int close;        // a close box
    int shortWait;    // up to 0.3 s
    int longWait;     // up to 5 s
    int veryLongWait; // a whole stage
};

// Calm storms get through whole games to the name entry and its save; wild
// ones click and close windows in every state.
constexpr Temperament kCalm{180, 180, 90, 170, 80, 5, 195, 90, 10};
constexpr Temperament kWild{120, 150, 90, 60, 250, 40, 200, 80, 10};

// Picks the next event as a line of the replay language, from what the
// program shows now.
class EventChooser {
public:
    EventChooser(std::mt19937& random, const Temperament& temperament)
        : random_(random), temperament_(temperament), characters_(random)
    {
    }

    std::string next(const ui::Application& app)
    {
        if (app.openForms().empty()) {
            return "wait 1";
        }
        const Temperament& t = temperament_;
        int roll = pick(0, t.confirm + t.key + t.type + t.play + t.click + t.close + t.shortWait + t.longWait +
                               t.veryLongWait - 1);
        auto within = [&roll](int share) { return (roll -= share) < 0; };
        if (within(t.confirm)) {
            return pick(0, 1) == 0 ? "key Enter" : "key Space";
        }
        if (within(t.key)) {
            return "key " + anyKey();
        }
        if (within(t.type)) {
            return "type " + characters_.text();
        }
        if (within(t.play)) {
            return hitOrMiss(app).value_or("wait " + std::to_string(pick(1, 300)));
        }
        if (within(t.click)) {
            return click(app);
        }
        if (within(t.close)) {
            return "close " + randomOpenForm(app)->name();
        }
        if (within(t.shortWait)) {
            return "wait " + std::to_string(pick(1, 300));
        }
        if (within(t.longWait)) {
            return "wait " + std::to_string(pick(700, 5000));
        }
        return "wait " + std::to_string(pick(20000, 40000));
    }

private:
    int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }

    std::string anyKey()
    {
        static const char* const kNamed[] = {"Enter", "Space", "Escape", "Backspace", "Left", "Up", "Right", "Down"};
        switch (pick(0, 2)) {
        case 0: return kNamed[pick(0, int(std::size(kNamed)) - 1)];
        case 1: return std::string(1, static_cast<char>('A' + pick(0, 25)));
        default: return std::string(1, static_cast<char>('0' + pick(0, 9)));
        }
    }

    // During play: mostly the character the target wants.
    std::optional<std::string> hitOrMiss(const ui::Application& app)
    {
        const ui::Form* stage = app.loaded("frmStage");
        if (stage == nullptr || app.activeForm() != stage) {
            return std::nullopt;
        }
        ui::StateDump state;
        stage->dumpState(state);
        for (const auto& [key, value] : state.lines()) {
            if (key == "frmStage.TargetIndex") {
                const int index = std::stoi(value);
                if (index < 1 || index > Module1::kTableLength) {
                    return std::nullopt;
                }
            }
        }
        return pick(0, 9) == 0 ? "miss" : "hit";
    }

    const ui::Form* randomOpenForm(const ui::Application& app)
    {
        const auto open = app.openForms();
        return open.at(static_cast<std::size_t>(pick(0, static_cast<int>(open.size()) - 1)));
    }

    std::string click(const ui::Application& app)
    {
        const ui::Form* form = randomOpenForm(app);
        const auto& controls = form->controls();
        if (controls.empty() || pick(0, 3) == 0) {
            return "click " + form->name();
        }
        const auto& control = controls.at(static_cast<std::size_t>(pick(0, static_cast<int>(controls.size()) - 1)));
        return "click " + form->name() + "." + control->displayName();
    }

    std::mt19937& random_;
    Temperament temperament_;
    CharacterPool characters_;
};

// ---------------------------------------------------------------- storm

struct StormStats {
    std::map<std::string, int> shown;
    int saves = 0;
    int restarts = 0;
    long ticks = 0;
};

// One run of the program, from start until it ends, as a replay script.
class Run {
public:
    Run(const fs::path& dir, std::uint64_t gameSeed)
        : dir_(dir), startFile_(fileBytes(dir / Module1::kRecordFileName)),
          session_(std::make_unique<replay::ReplaySession>(dir, dir / "snaps", noPictures_))
    {
        execute("seed " + std::to_string(gameSeed));
        execute("start");
    }

    ui::Application& app() { return session_->app(); }

    void execute(const std::string& line)
    {
        script_.push_back(line);
        if (line.starts_with("wait ")) {
            waitInSteps(std::stoll(line.substr(5)));
        } else {
            session_->execute(line);
            watch_.wrapNewTimers(app());
        }
    }

    // Checks are also made between the timer ticks of a long wait.
    std::optional<std::string> violation() { return pendingViolation_ ? pendingViolation_ : checkNow(); }

    // Whether the event just run saved the records.
    bool takeSave()
    {
        std::string bytes = fileBytes(dir_ / Module1::kRecordFileName);
        const bool saved = bytes != lastFile_;
        lastFile_ = std::move(bytes);
        return saved;
    }

    std::string reproduction() const
    {
        std::ostringstream out;
        out << "# Replay with quorvel-replay in a directory that holds only this script";
        out << (startFile_.empty() ? ".\n" : " and a qorvl.dat of these bytes (code page 932, CR LF):\n");
        std::istringstream lines(ui::fromCp932(startFile_).value_or("(not code page 932)"));
        for (std::string line; std::getline(lines, line);) {
            out << "#   " << line << "\n";
        }
        for (const std::string& line : script_) {
            out << line << "\n";
        }
        return out.str();
    }
    const std::string& startFile() const { return startFile_; }
    long ticks() const { return watch_.ticks(); }

private:
    // Ticks one due time after another, exactly as one `wait` would, so
    // that timers of windows opened on the way are watched before they tick.
    void waitInSteps(std::int64_t ms)
    {
        const std::int64_t target = app().clock().nowMs() + ms;
        for (;;) {
            const auto due = app().nextTimerDue();
            if (!due || *due > target) {
                break;
            }
            session_->execute("wait " + std::to_string(std::max<std::int64_t>(0, *due - app().clock().nowMs())));
            watch_.wrapNewTimers(app());
            if (!pendingViolation_) {
                pendingViolation_ = checkNow();
            }
        }
        session_->execute("wait " + std::to_string(target - app().clock().nowMs()));
        watch_.wrapNewTimers(app());
    }

    std::optional<std::string> checkNow()
    {
        if (!watch_.strayTicks().empty()) {
            return watch_.strayTicks().front();
        }
        if (app().finished() != app().openForms().empty()) {
            return app().finished() ? "the program ended with windows open" : "no window is open but the program goes on";
        }
        if (auto problem = duplicateWindows(app())) {
            return problem;
        }
        if (auto problem = sharedValuesOutOfRange()) {
            return problem;
        }
        return unsortedRanks();
    }

    fs::path dir_;
    std::string startFile_;
    std::string lastFile_ = startFile_;
    replay::NoPictures noPictures_{std::cerr};
    std::unique_ptr<replay::ReplaySession> session_;
    TimerWatch watch_;
    std::vector<std::string> script_;
    std::optional<std::string> pendingViolation_;
};

class Storm {
public:
    Storm(unsigned seed, const fs::path& dir)
        : seed_(seed), dir_(dir), random_(seed), chooser_(random_, seed % 3 == 0 ? kWild : kCalm)
    {
    }

    // Runs `events` events; the failure, with its reproduction, if any.
    std::optional<std::string> play(int events)
    {
        std::unique_ptr<Run> run;
        for (int event = 0; event < events; ++event) {
            std::string line = "(start)";
            try {
                if (!run || run->app().finished()) {
                    run = restart(std::move(run));
                }
                line = chooser_.next(run->app());
                run->execute(line);
                if (auto problem = afterEvent(*run, event)) {
                    return failure(*run, event, line, *problem);
                }
            } catch (const std::exception& error) {
                return run ? failure(*run, event, line, std::string("exception: ") + error.what())
                           : "seed " + std::to_string(seed_) + ": start failed: " + error.what();
            }
        }
        stats_.ticks += run ? run->ticks() : 0;
        return std::nullopt;
    }
    const StormStats& stats() const { return stats_; }

private:
    std::unique_ptr<Run> restart(std::unique_ptr<Run> previous)
    {
        if (previous) {
            stats_.ticks += previous->ticks();
            ++stats_.restarts;
        }
        previous.reset();
        return std::make_unique<Run>(dir_, seed_ * 1000ULL + static_cast<unsigned>(stats_.restarts));
    }

    std::optional<std::string> afterEvent(Run& run, int event)
    {
        for (const ui::Form* form : run.app().openForms()) {
            ++stats_.shown[form->name()];
        }
        if (event % kDumpEvery == 0) {
            wiring::dumpProgram(run.app());
        }
        if (run.takeSave()) {
            ++stats_.saves;
            if (auto problem = fileDiffersFromTable(fileBytes(dir_ / Module1::kRecordFileName))) {
                return problem;
            }
        }
        return run.violation();
    }

    std::string failure(const Run& run, int event, const std::string& line, const std::string& problem)
    {
        const fs::path repro = dir_.parent_path() / ("monkey-seed-" + std::to_string(seed_));
        fs::create_directories(repro);
        std::ofstream(repro / "repro.scn") << run.reproduction();
        if (!run.startFile().empty()) {
            std::ofstream(repro / Module1::kRecordFileName, std::ios::binary) << run.startFile();
        }
        return "seed " + std::to_string(seed_) + ", event " + std::to_string(event) + " (" + line + "): " + problem +
               "\nReproduction in " + repro.string() + ":\n" + run.reproduction();
    }

    unsigned seed_;
    fs::path dir_;
    std::mt19937 random_;
    EventChooser chooser_;
    StormStats stats_;
};

class ScratchDir {
public:
    ScratchDir()
    {
        std::string pattern = (fs::temp_directory_path() / "quorvel-monkey-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) {
            throw std::runtime_error("cannot create a scratch directory");
        }
        path_ = pattern;
    }
    ~ScratchDir()
    {
        if (!keep) {
            fs::remove_all(path_);
        }
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    const fs::path& path() const { return path_; }
    bool keep = false;

private:
    fs::path path_;
};

} // namespace

TEST(Monkey, randomStormsOfPlayerEventsNeverBreakTheProgram)
{
    ScratchDir scratch;
    StormStats total;
    for (unsigned seed = 1; seed <= kSeeds; ++seed) {
        const fs::path dir = scratch.path() / ("run-" + std::to_string(seed));
        fs::create_directories(dir);
        Storm storm(seed, dir);
        if (auto failure = storm.play(kEventsPerSeed)) {
            scratch.keep = true;
            FAIL() << *failure;
        }
        for (const auto& [name, count] : storm.stats().shown) {
            total.shown[name] += count;
        }
        total.saves += storm.stats().saves;
        total.restarts += storm.stats().restarts;
        total.ticks += storm.stats().ticks;
    }
    // The storms are only worth something if they reach every screen and
    // the save, and run the program through many starts and ends.
    for (const char* name : kFormNames) {
        EXPECT_GT(total.shown[name], 0) << name << " was never open";
    }
    EXPECT_GT(total.saves, kSeeds / 2) << "too few name entries closed";
    EXPECT_GT(total.restarts, kSeeds) << "too few runs ended";
    std::cout << "monkey: " << kSeeds * kEventsPerSeed << " events, " << total.restarts << " restarts, " << total.saves
              << " saves, " << total.ticks << " timer ticks\n";
}
