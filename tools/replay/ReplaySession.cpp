#include "tools/replay/ReplaySession.h"

#include "core/Module1.h"
#include "core/Random.h"
#include "platform/model/Text.h"
#include "core/FormNames.h"
#include "app/ProgramDump.h"
#include "stage/frmStage.h"

#include <QImage>

#include <charconv>
#include <fstream>
#include <map>
#include <set>
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

std::string trimmed(std::string text)
{
    while (!text.empty() && (text.back() == '\r' || text.back() == ' ' || text.back() == '\t')) {
        text.pop_back();
    }
    std::size_t first = 0;
    while (first < text.size() && (text[first] == ' ' || text[first] == '\t')) {
        ++first;
    }
    return text.substr(first);
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

ReplaySession::ReplaySession(std::filesystem::path scriptDir, std::filesystem::path outDir)
    : scriptDir_(std::move(scriptDir)), outDir_(std::move(outDir))
{
    Module1::ResetSharedState();
    Module1::AppDirOverride = scriptDir_.string();
    Random::SetFixedSeed(std::nullopt);
}

std::optional<Failure> ReplaySession::run(std::istream& script)
{
    std::string raw;
    for (int number = 1; std::getline(script, raw); ++number) {
        const std::string line = trimmed(raw);
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

void ReplaySession::execute(const std::string& command)
{
    const auto [verb, rest] = splitCommand(command);
    if (verb == "seed") {
        Random::SetFixedSeed(static_cast<std::uint64_t>(parseWhole(rest, "seed")));
    } else if (verb == "appdir") {
        std::filesystem::path dir = rest;
        Module1::AppDirOverride = (dir.is_absolute() ? dir : scriptDir_ / dir).string();
    } else if (verb == "start") {
        start();
    } else if (verb == "key") {
        pressKey(rest);
    } else if (verb == "type") {
        typeText(rest);
    } else if (verb == "hit" || verb == "miss") {
        typeForTarget(verb == "hit");
    } else if (verb == "wait") {
        ui::advanceVirtualTime(app_, clock_, parseWhole(rest, "wait"));
    } else if (verb == "click") {
        click(rest);
    } else if (verb == "close") {
        close(rest);
    } else if (verb == "set") {
        const auto [name, value] = splitCommand(rest);
        std::string error;
        if (!Module1::SetSharedValue(name, value, error)) {
            fail(error);
        }
    } else if (verb == "show") {
        show(rest);
    } else if (verb == "snap") {
        snap(rest);
    } else if (verb == "expect") {
        expect(rest);
    } else if (verb == "screen") {
        const auto [width, height] = splitCommand(rest);
        app_.setScreenSizePx(static_cast<int>(parseWhole(width, "screen width")),
                             static_cast<int>(parseWhole(height, "screen height")));
    } else if (verb == "scale") {
        snapScale_ = static_cast<double>(parseWhole(rest, "scale"));
        if (snapScale_ < 1 || snapScale_ > 4) {
            fail("scale must be 1 to 4");
        }
    } else if (verb == "expectfile") {
        expectFileLine(rest);
    } else {
        fail("unknown command \"" + verb + "\"");
    }
}

void ReplaySession::start()
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
void ReplaySession::typeForTarget(bool hit)
{
    if (!hit) {
        typeCharacter(frmStage::characterThatMisses());
        return;
    }
    const auto* stage = dynamic_cast<const frmStage*>(app_.loaded(forms::kStage));
    if (stage == nullptr) {
        fail("hit: the stage is not open");
    }
    const auto target = stage->characterThatHits();
    if (!target) {
        fail("hit: no target to hit");
    }
    typeCharacter(*target);
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
    // Windows closed since the last snap let go of the pictures the
    // renderer keeps for them: a long script must not grow without end.
    std::set<std::uint64_t> open;
    for (const ui::Form* form : app_.openForms()) {
        open.insert(form->instanceId());
    }
    for (std::uint64_t id : renderedForms_) {
        if (open.count(id) == 0) {
            renderer_.forgetForm(id);
        }
    }
    renderedForms_ = open;
    for (const ui::Form* form : app_.openForms()) {
        const auto file = outDir_ / (name + "-" + form->name() + ".png");
        if (!renderer_.render(*form, snapScale_).save(QString::fromStdString(file.string()), "PNG")) {
            fail("snap: cannot write " + file.string());
        }
    }
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

// expectfile FILE TEXT: FILE (in the records directory) has a line that,
// read in code page 932, is exactly TEXT.
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
