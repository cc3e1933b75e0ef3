#include "core/Module1.h"

#include "core/RecordFile.h"
#include "core/FormNames.h"

#include <charconv>
#include <cmath>
#include <filesystem>
#include <limits>
#include <system_error>
#include <variant>

namespace Module1 {

namespace {

constexpr std::int32_t kTopDefaultScore = 10000;
constexpr std::int32_t kDefaultScoreStep = 1000;
constexpr const char* kDefaultName = "CPU";

// Tables 0..2 hold the keys that count for a target, tables 3..4 the forms
// it is drawn in; position p means the same target in all five. Table 1 and
// 2 hold one backslash between ";" and "0".
constexpr std::u32string_view kCharTexts[5] = {
    U"ABCDEFGHIJKLMNOPQRSTUVWXYZｱｲｳｴｵｶｷｸｹｺｻｼｽｾｿﾀﾁﾂﾃﾄﾅﾆﾇﾈﾉﾊﾋﾌﾍﾎﾏﾐﾑﾒﾓﾔﾕﾖﾗﾘﾙﾚﾛﾜﾝ1234567890",
    U"abcdefghijklmnopqrstuvwxyz3E456TGH:BXDRPCQAZWSUI1,KFV2^-JN]/M789OL.;\\0Yﾇﾌｱｳｴｵﾔﾕﾖﾜ",
    U"ﾁｺｿｼｲﾊｷｸﾆﾏﾉﾘﾓﾐﾗｾﾀｽﾄｶﾅﾋﾃｻﾝﾂ3e456tgh:bxdrpcqazwsui1,kfv2^-jn]/m789ol.;\\0y1234567890",
    U"ＡＢＣＤＥＦＧＨＩＪＫＬＭＮＯＰＱＲＳＴＵＶＷＸＹＺあいうえおかきくけこさしすせそたちつてとなにぬねのはひふへほまみむめもやゆよらりるれろわん１２３４５６７８９０",
    U"ａｂｃｄｅｆｇｈｉｊｋｌｍｎｏｐｑｒｓｔｕｖｗｘｙｚアイウエオカキクケコサシスセソタチツテトナニヌネノハヒフヘホマミムメモヤユヨラリルレロワン１２３４５６７８９０",
};

std::string withOneTrailingSlash(std::string dir)
{
    while (!dir.empty() && dir.back() == '/') {
        dir.pop_back();
    }
    return dir + "/";
}

std::string executableDirectory()
{
    std::error_code error;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", error);
    if (!error) {
        return exe.parent_path().string();
    }
    // Without /proc the working directory is the best guess there is.
    const auto cwd = std::filesystem::current_path(error);
    return error ? std::string(".") : cwd.string();
}

std::string slotKey(const char* base, int zone, int slot)
{
    return std::string("Module1.") + base + "(" + std::to_string(zone) + "," + std::to_string(slot) + ")";
}

// --- SetSharedValue ---------------------------------------------------------

using ScalarTarget = std::variant<std::int16_t*, std::int32_t*, double*>;

// Values that index the tables or pick a branch of a screen are held to the
// range the screens rely on; a value outside it would read past a table.
struct ScalarField {
    std::string_view name;
    ScalarTarget target;
    std::int64_t lowest = std::numeric_limits<std::int64_t>::min();
    std::int64_t highest = std::numeric_limits<std::int64_t>::max();
};

const ScalarField kScalarFields[] = {
    {"CurrentZone", &CurrentZone, 0, 2}, {"LastScore", &LastScore},      {"AvgResponse", &AvgResponse},
    {"HitRate", &HitRate},               {"NewRecord", &NewRecord, 0, 1}, {"SidePanel", &SidePanel, 0, 2},
    {"MenuCursor", &MenuCursor, 0, 2},   {"KeepCursor", &KeepCursor, 0, 1}, {"OptSpeed", &OptSpeed, 0, 1},
    {"OptCase", &OptCase, 0, 1},         {"OptKana", &OptKana, 0, 1},
};

std::string_view trimSpaces(std::string_view text)
{
    while (!text.empty() && text.front() == ' ') {
        text.remove_prefix(1);
    }
    while (!text.empty() && text.back() == ' ') {
        text.remove_suffix(1);
    }
    return text;
}

template <class T>
std::optional<T> parseInteger(std::string_view text)
{
    text = trimSpaces(text);
    if (text.size() > 1 && text.front() == '+' && text[1] != '-') {
        text.remove_prefix(1);
    }
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() ||
        value < std::numeric_limits<T>::min() || value > std::numeric_limits<T>::max()) {
        return std::nullopt;
    }
    return static_cast<T>(value);
}

std::optional<double> parseDouble(std::string_view text)
{
    text = trimSpaces(text);
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

template <class T>
bool assignInteger(T& target, std::string_view value, std::int64_t lowest, std::int64_t highest, std::string& error)
{
    lowest = std::max<std::int64_t>(lowest, std::numeric_limits<T>::min());
    highest = std::min<std::int64_t>(highest, std::numeric_limits<T>::max());
    const auto parsed = parseInteger<T>(value);
    if (!parsed || *parsed < lowest || *parsed > highest) {
        error = "\"" + std::string(value) + "\" is not a whole number from " + std::to_string(lowest) + " to " +
                std::to_string(highest);
        return false;
    }
    target = *parsed;
    return true;
}

bool assignScalar(const ScalarField& field, std::string_view value, std::string& error)
{
    if (auto* target = std::get_if<std::int16_t*>(&field.target)) {
        return assignInteger(**target, value, field.lowest, field.highest, error);
    }
    if (auto* target = std::get_if<std::int32_t*>(&field.target)) {
        return assignInteger(**target, value, field.lowest, field.highest, error);
    }
    const auto parsed = parseDouble(value);
    if (!parsed) {
        error = "\"" + std::string(value) + "\" is not a finite decimal number";
        return false;
    }
    *std::get<double*>(field.target) = *parsed;
    return true;
}

struct SlotName {
    std::string_view base;
    int zone = 0;
    int slot = 0;
};

// "RecordScore(0,10)" -> {"RecordScore", 0, 10}; nullopt when the name has
// no well-formed index pair.
std::optional<SlotName> parseSlotName(std::string_view name, std::string& error)
{
    const auto open = name.find('(');
    const auto comma = name.find(',', open);
    if (open == std::string_view::npos || comma == std::string_view::npos || name.back() != ')') {
        error = "\"" + std::string(name) + "\" needs two indexes, as in RecordScore(0,10)";
        return std::nullopt;
    }
    const auto zone = parseInteger<int>(name.substr(open + 1, comma - open - 1));
    const auto slot = parseInteger<int>(name.substr(comma + 1, name.size() - comma - 2));
    if (!zone || !slot || *zone < 0 || *zone >= kZones || *slot < 0 || *slot >= kSlots) {
        error = "\"" + std::string(name) + "\" has a bad index: zones are 0 to " + std::to_string(kZones - 1) +
                ", slots 0 to " + std::to_string(kSlots - 1);
        return std::nullopt;
    }
    return SlotName{name.substr(0, open), *zone, *slot};
}

bool setSlotValue(std::string_view name, std::string_view value, std::string& error)
{
    const auto slot = parseSlotName(name, error);
    if (!slot) {
        return false;
    }
    if (slot->base == "RecordName") {
        RecordName[slot->zone][slot->slot] = std::string(value);
        return true;
    }
    return assignInteger(RecordScore[slot->zone][slot->slot], value, std::numeric_limits<std::int64_t>::min(), std::numeric_limits<std::int64_t>::max(), error);
}

} // namespace

void ResetSharedState()
{
    // AppDirOverride is configuration of the run, not game state: it stays.
    CurrentZone = 0;
    LastScore = 0;
    RecordScore = {};
    RecordName = {};
    AvgResponse = 0;
    HitRate = 0;
    NewRecord = 0;
    CharTable = {};
    SidePanel = 0;
    MenuCursor = 0;
    KeepCursor = 0;
    OptSpeed = 0;
    OptCase = 0;
    OptKana = 0;
}

void FillDefaultRecords()
{
    for (int zone = 0; zone < kZones; ++zone) {
        for (int rank = 0; rank < kRanks; ++rank) {
            RecordName[zone][rank] = kDefaultName;
            RecordScore[zone][rank] = kTopDefaultScore - kDefaultScoreStep * rank;
        }
    }
}

void FillCharTables()
{
    for (std::size_t i = 0; i < CharTable.size(); ++i) {
        CharTable[i] = kCharTexts[i];
    }
}

void CenterForm(ui::Form& form)
{
    const auto formWidth = static_cast<float>(form.width());
    const auto screenWidth = static_cast<float>(form.app().screenWidthTwips());
    const auto formHeight = static_cast<float>(form.height());
    const auto screenHeight = static_cast<float>(form.app().screenHeightTwips());
    const float left = (screenWidth - formWidth) / 2.0F;
    const float top = (screenHeight - formHeight) / 2.0F;
    form.move(left, top);
}

std::string AppDir()
{
    return withOneTrailingSlash(AppDirOverride.empty() ? executableDirectory() : AppDirOverride);
}

RecordPlace CurrentRecordPlace()
{
    if (!AppDirOverride.empty()) {
        return ChooseRecordPlace(AppDir(), true, {});
    }
    // Decided once, at start-up, and kept for the run: a folder whose
    // permissions change while the game is open must not send the later
    // saves of a run to another file than the earlier ones.
    static const RecordPlace place = [] {
        const std::string programDir = executableDirectory();
        return ChooseRecordPlace(programDir, IsWritableDirectory(programDir), PlayerDataDir());
    }();
    return place;
}

std::string RecordFilePath()
{
    return CurrentRecordPlace().savePath;
}

void Main(ui::Application& app)
{
    const RecordPlace place = CurrentRecordPlace();
    if (IsPlainFile(place.startPath)) {
        LoadRecords(place.startPath);
    } else {
        FillDefaultRecords();
    }
    FillCharTables();
    OptSpeed = 0;
    OptCase = 0;
    OptKana = 0;

    ui::Form& title = app.form(forms::kTitle);
    CenterForm(title);
    title.show();
}

void DumpSharedState(ui::StateDump& out)
{
    out.add("Module1.CurrentZone", CurrentZone);
    out.add("Module1.LastScore", static_cast<std::int64_t>(LastScore));
    for (int zone = 0; zone < kZones; ++zone) {
        for (int slot = 0; slot < kSlots; ++slot) {
            out.add(slotKey("RecordScore", zone, slot), static_cast<std::int64_t>(RecordScore[zone][slot]));
        }
    }
    for (int zone = 0; zone < kZones; ++zone) {
        for (int slot = 0; slot < kSlots; ++slot) {
            out.add(slotKey("RecordName", zone, slot), RecordName[zone][slot]);
        }
    }
    out.add("Module1.AvgResponse", AvgResponse);
    out.add("Module1.HitRate", HitRate);
    out.add("Module1.NewRecord", NewRecord);
    out.add("Module1.SidePanel", SidePanel);
    out.add("Module1.MenuCursor", MenuCursor);
    out.add("Module1.KeepCursor", KeepCursor);
    out.add("Module1.OptSpeed", OptSpeed);
    out.add("Module1.OptCase", OptCase);
    out.add("Module1.OptKana", OptKana);
}

bool SetSharedValue(std::string_view name, std::string_view value, std::string& error)
{
    constexpr std::string_view kPrefix = "Module1.";
    if (name.starts_with(kPrefix)) {
        name.remove_prefix(kPrefix.size());
    }
    for (const ScalarField& field : kScalarFields) {
        if (name == field.name) {
            return assignScalar(field, value, error);
        }
    }
    if (name.starts_with("RecordScore(") || name.starts_with("RecordName(")) {
        return setSlotValue(name, value, error);
    }
    error = "unknown shared value \"" + std::string(name) + "\"";
    return false;
}

} // namespace Module1
