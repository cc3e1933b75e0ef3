#include "tools/replay/ReplaySession.h"

#include "core/Module1.h"
#include "core/Random.h"
#include "core/RecordStorage.h"
#include "platform/model/Text.h"
#include "app/ProgramDump.h"
#include "stage/frmStage.h"
#include "tools/replay/FileRecordStorage.h"

#include <algorithm>
#include <charconv>
#include <fstream>
#include <map>
#include <sstream>
#include <stdexcept>

namespace replay {

namespace {

[[noreturn]] void fail(const std::string& message)
{
    throw std::runtime_error(message);
}

std::pair<std::string, std::string> splitCommand(const std::string& line)
{
    const auto space = line.find(' ');
    if (space == std::string::npos) {
        return {line, std::string()};
    }
    return {line.substr(0, space), line.substr(space + 1)};
}

std::int64_t parseWhole(const std::string& text, const char* what)
{
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) {
        fail(std::string(what) + " must be a whole number, not \"" + text + "\"");
    }
    return value;
}

struct KeyStroke {
    int keyCode;
    char32_t typed; // 0: the key types nothing
};

std::optional<KeyStroke> keyNamed(const std::string& name)
{
    static const std::map<std::string, KeyStroke> named = {
        {"Enter", {ui::vk::Enter, U'\r'}},   {"Space", {ui::vk::Space, U' '}},
        {"Escape", {ui::vk::Escape, 0x1B}},  {"Backspace", {ui::vk::Backspace, 0x08}},
        {"Left", {ui::vk::Left, 0}},         {"Up", {ui::vk::Up, 0}},
        {"Right", {ui::vk::Right, 0}},       {"Down", {ui::vk::Down, 0}},
    };
    if (auto found = named.find(name); found != named.end()) {
        return found->second;
    }
    if (name.size() == 1 && name[0] >= 'A' && name[0] <= 'Z') {
        // An unshifted letter key types the small letter.
        return KeyStroke{name[0], static_cast<char32_t>(name[0] - 'A' + 'a')};
    }
    if (name.size() == 1 && name[0] >= '0' && name[0] <= '9') {
        return KeyStroke{name[0], static_cast<char32_t>(name[0])};
    }
    return std::nullopt;
}

// "Label3(0)" -> {"Label3", 0}; "Picture1" -> {"Picture1", -1}.
std::pair<std::string, int> controlName(const std::string& text)
{
    const auto open = text.find('(');
    if (open == std::string::npos || text.back() != ')') {
        return {text, -1};
    }
    return {text.substr(0, open),
            static_cast<int>(parseWhole(text.substr(open + 1, text.size() - open - 2), "a control index"))};
}

int keyAsciiOf(char32_t ch)
{
    return ui::keyAsciiFor(ch).value_or('?');
}

} // namespace

ReplaySession::ReplaySession(std::filesystem::path scriptDir, std::filesystem::path outDir,
                             SnapshotPainter& painter)
    : scriptDir_(std::move(scriptDir)), outDir_(std::move(outDir)), painter_(painter)
{
    static FileRecordStorage files;
    Module1::UseRecordStorage(files);
    Module1::ResetSharedState();
    Module1::AppDirOverride = scriptDir_.string();
    Random::SetFixedSeed(std::nullopt);
}

std::optional<Failure> ReplaySession::run(std::istream& script)
{
    std::string raw;
    for (int number = 1; std::getline(script, raw); ++number) {
        const std::string line(ui::trimBlanks(raw));
        if (line.empty() || line[0] == '#') {
            continue;
        }
        try {
            execute(line);
        } catch (const std::exception& error) {
            return Failure{number, error.what()};
        }
    }
    return std::nullopt;
}

std::span<const ReplaySession::Command> ReplaySession::commands()
{
    static const Command table[] = {
        {"seed", "N", &ReplaySession::seed, "Seeds the random numbers (without it, from the clock)."},
        {"appdir", "DIR", &ReplaySession::appDir,
         "The directory where qorvl.dat is read and written (default: the script's directory; relative to it)."},
        {"start", "", &ReplaySession::start, "Starts the program."},
        {"key", "NAME", &ReplaySession::pressKey,
         "Presses and releases a key: Enter, Space, Escape, Backspace, Left, Up, Right, Down, A-Z, 0-9."},
        {"type", "TEXT", &ReplaySession::typeText, "Each character of TEXT (UTF-8) arrives as one key press."},
        {"hit", "", &ReplaySession::hit, "During play, types a character the current target accepts."},
        {"miss", "", &ReplaySession::miss, "During play, types a character no target accepts."},
        {"wait", "MS", &ReplaySession::wait, "Advances the virtual clock, firing every due timer tick in order."},
        {"click", "FORM[.CONTROL]", &ReplaySession::click,
         "Clicks a window (activating it) or a control on it (focus moves there)."},
        {"close", "FORM", &ReplaySession::close, "Closes the window with its close box."},
        {"set", "NAME VALUE", &ReplaySession::setValue,
         "Sets a shared value: set RecordScore(0,10) 5000, set HitRate 97.3."},
        {"show", "FORM", &ReplaySession::show, "Shows a window modeless, as the screen that opens it would."},
        {"snap", "NAME", &ReplaySession::snap,
         "Writes NAME.txt (the dump) and NAME-FORM.png for every open window into OUTDIR."},
        {"expect", "LINE", &ReplaySession::expect,
         "Checks that the dump, as it stands now, contains exactly that line."},
        {"screen", "W H", &ReplaySession::setScreen,
         "The screen size in pixels, for centring the title (default 1024 × 768)."},
        {"scale", "N", &ReplaySession::setScale, "Snaps render at N times the pixel density (1 to 4)."},
        {"expectfile", "FILE TEXT", &ReplaySession::expectFileLine,
         "FILE in the records directory has a line that, read in code page 932, is exactly TEXT."},
        {"record", "PLAYFILE", &ReplaySession::recordPlay,
         "Writes the play of the stage last finished into OUTDIR/PLAYFILE."},
    };
    return table;
}

std::string ReplaySession::usage()
{
    const auto synopsis = [](const Command& command) {
        return command.arguments.empty() ? std::string(command.verb)
                                         : std::string(command.verb) + " " + std::string(command.arguments);
    };
    std::size_t width = 0;
    for (const Command& command : commands()) {
        width = std::max(width, synopsis(command).size());
    }
    std::string text = "usage: quorvel-replay SCRIPT [OUTDIR]\n"
                       "or:    quorvel-replay verify PLAYFILE (checks a play and prints its figures)\n"
                       "SCRIPT holds one command a line; blank lines and lines starting with # are skipped:\n";
    for (const Command& command : commands()) {
        const std::string left = synopsis(command);
        text += "  " + left + std::string(width + 2 - left.size(), ' ') + std::string(command.meaning) + "\n";
    }
    return text;
}

void ReplaySession::execute(const std::string& command)
{
    const auto [verb, rest] = splitCommand(command);
    for (const Command& known : commands()) {
        if (verb == known.verb) {
            (this->*known.run)(rest);
            return;
        }
    }
    fail("unknown command \"" + verb + "\"");
}

void ReplaySession::recordPlay(const std::string& name)
{
    if (name.empty()) {
        fail("record: name the play's file");
    }
    const auto& play = recorder_.lastPlay();
    if (!play) {
        fail("record: no stage has finished since the script began");
    }
    const std::filesystem::path path = outDir_ / name;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << plays::writePlay(*play);
    out.close();
    if (!out) {
        fail("record: cannot write " + path.string());
    }
}

void ReplaySession::seed(const std::string& number)
{
    Random::SetFixedSeed(static_cast<std::uint64_t>(parseWhole(number, "seed")));
}

void ReplaySession::appDir(const std::string& dir)
{
    const std::filesystem::path path = dir;
    Module1::AppDirOverride = (path.is_absolute() ? path : scriptDir_ / path).string();
}

void ReplaySession::start(const std::string&)
{
    if (!app_.openForms().empty() || app_.finished()) {
        fail("start: the program has already started");
    }
    app_.run([this] { Module1::Main(app_); });
}

void ReplaySession::pressKey(const std::string& name)
{
    const auto stroke = keyNamed(name);
    if (!stroke) {
        fail("key: unknown key \"" + name + "\"");
    }
    std::vector<ui::TypedChar> typed;
    if (stroke->typed != 0) {
        typed.push_back(ui::TypedChar{keyAsciiOf(stroke->typed), stroke->typed});
    }
    app_.keyStroke(stroke->keyCode, 0, typed);
}

void ReplaySession::typeText(const std::string& text)
{
    for (char32_t ch : ui::toU32(text)) {
        typeCharacter(ch);
    }
}

void ReplaySession::typeCharacter(char32_t ch)
{
    app_.keyPress(keyAsciiOf(ch), ch);
}

// The stage says what hits its target and what no target accepts.
void ReplaySession::hit(const std::string&)
{
    const frmStage* stage = app_.loaded<frmStage>();
    if (stage == nullptr) {
        fail("hit: the stage is not open");
    }
    const auto target = stage->characterThatHits();
    if (!target) {
        fail("hit: no target to hit");
    }
    typeCharacter(*target);
}

void ReplaySession::miss(const std::string&)
{
    typeCharacter(frmStage::characterThatMisses());
}

void ReplaySession::wait(const std::string& milliseconds)
{
    program_.advance(parseWhole(milliseconds, "wait"));
}

ui::Form& ReplaySession::openForm(const std::string& name)
{
    ui::Form* form = app_.loaded(name);
    if (form == nullptr || !form->visible()) {
        fail(name + " is not open");
    }
    return *form;
}

void ReplaySession::click(const std::string& target)
{
    const auto dot = target.find('.');
    ui::Form& form = openForm(target.substr(0, dot));
    if (dot == std::string::npos) {
        app_.click(form);
        return;
    }
    const auto [name, index] = controlName(target.substr(dot + 1));
    ui::Control* control = form.find(name, index);
    if (control == nullptr) {
        fail(target + ": no such control");
    }
    app_.click(*control);
}

void ReplaySession::close(const std::string& formName)
{
    app_.requestClose(openForm(formName));
}

void ReplaySession::setValue(const std::string& arguments)
{
    const auto [name, value] = splitCommand(arguments);
    std::string error;
    if (!Module1::SetSharedValue(name, value, error)) {
        fail(error);
    }
}

void ReplaySession::show(const std::string& formName)
{
    if (!app_.isRegistered(formName)) {
        fail("show: no form is called " + formName);
    }
    app_.run([&] { app_.form(formName).show(); });
}

void ReplaySession::snap(const std::string& name)
{
    if (name.empty()) {
        fail("snap needs a name");
    }
    std::filesystem::create_directories(outDir_);
    std::ofstream text(outDir_ / (name + ".txt"), std::ios::binary);
    text << wiring::dumpProgram(app_).text();
    if (!text) {
        fail("snap: cannot write " + (outDir_ / (name + ".txt")).string());
    }
    painter_.paint(app_, outDir_, name, snapScale_);
}

void ReplaySession::expect(const std::string& line)
{
    const ui::StateDump dump = wiring::dumpProgram(app_);
    const auto equals = line.find('=');
    const std::string key = line.substr(0, equals);
    std::string actual;
    for (const auto& [k, v] : dump.lines()) {
        if (k + "=" + v == line) {
            return;
        }
        if (k == key) {
            actual = k + "=" + v;
        }
    }
    fail("expected \"" + line + "\" but the dump has " + (actual.empty() ? "no such key" : "\"" + actual + "\""));
}

void ReplaySession::setScreen(const std::string& size)
{
    const auto [width, height] = splitCommand(size);
    app_.setScreenSizePx(static_cast<int>(parseWhole(width, "screen width")),
                         static_cast<int>(parseWhole(height, "screen height")));
}

void ReplaySession::setScale(const std::string& factor)
{
    snapScale_ = static_cast<double>(parseWhole(factor, "scale"));
    if (snapScale_ < 1 || snapScale_ > 4) {
        fail("scale must be 1 to 4");
    }
}

void ReplaySession::expectFileLine(const std::string& arguments)
{
    const auto [file, wanted] = splitCommand(arguments);
    const std::filesystem::path path = std::filesystem::path(Module1::AppDir()) / file;
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        fail("expectfile: cannot read " + path.string());
    }
    std::stringstream bytes;
    bytes << in.rdbuf();
    std::istringstream lines(bytes.str());
    for (std::string raw; std::getline(lines, raw);) {
        if (!raw.empty() && raw.back() == '\r') {
            raw.pop_back();
        }
        if (ui::fromCp932(raw).value_or(std::string()) == wanted) {
            return;
        }
    }
    fail("expectfile: " + path.string() + " has no line \"" + wanted + "\"");
}

} // namespace replay
