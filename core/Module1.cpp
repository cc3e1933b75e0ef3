#include "core/Module1.h"

#include "core/RecordFile.h"
#include "core/RecordStorage.h"
#include "core/FormNames.h"
#include "platform/model/Text.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>
#include <type_traits>
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

// --- The shared values -------------------------------------------------------

using ScoreTable = decltype(RecordScore);
using NameTable = decltype(RecordName);

// Where a shared value lives, which also says how it is reset, dumped and
// set: a whole number, a decimal, or a table of one value per zone and slot.
using SharedField = std::variant<std::int16_t*, std::int32_t*, double*, ScoreTable*, NameTable*>;

template <class T>
constexpr bool kIsTable = std::is_same_v<T, ScoreTable> || std::is_same_v<T, NameTable>;

// Values that index the tables or pick a branch of a screen are held to the
// range the screens rely on; a value outside it would read past a table.
struct SharedValue {
    std::string_view name;
    SharedField field;
    std::int64_t lowest = std::numeric_limits<std::int64_t>::min();
    std::int64_t highest = std::numeric_limits<std::int64_t>::max();
};

// Every shared value but CharTable, in the order of the dump.
const SharedValue kSharedValues[] = {
    {"CurrentZone", &CurrentZone, 0, kZones - 1},
    {"LastScore", &LastScore},
    {"RecordScore", &RecordScore},
    {"RecordName", &RecordName},
    {"AvgResponse", &AvgResponse},
    {"HitRate", &HitRate},
    {"NewRecord", &NewRecord, 0, 1},
    {"SidePanel", &SidePanel, 0, 2},
    {"MenuCursor", &MenuCursor, 0, 2},
    {"KeepCursor", &KeepCursor, 0, 1},
    {"OptSpeed", &OptSpeed, 0, 1},
    {"OptCase", &OptCase, 0, 1},
    {"OptKana", &OptKana, 0, 1},
};

bool isTable(const SharedValue& value)
{
    return std::visit([](auto* field) { return kIsTable<std::remove_pointer_t<decltype(field)>>; }, value.field);
}

// "CurrentZone" names a value; "RecordScore(...)" one slot of a table.
bool isNamed(const SharedValue& value, std::string_view name)
{
    if (!isTable(value)) {
        return name == value.name;
    }
    return name.starts_with(value.name) && name.substr(value.name.size()).starts_with('(');
}

std::string slotKey(std::string_view base, int zone, int slot)
{
    return "Module1." + std::string(base) + "(" + std::to_string(zone) + "," + std::to_string(slot) + ")";
}

// Whole numbers are dumped as 64-bit integers, whatever their field.
template <class T>
void addLine(ui::StateDump& out, std::string key, const T& value)
{
    if constexpr (std::is_integral_v<T>) {
        out.add(std::move(key), static_cast<std::int64_t>(value));
    } else {
        out.add(std::move(key), value);
    }
}

void dumpValue(ui::StateDump& out, const SharedValue& value)
{
    std::visit(
        [&](auto* field) {
            if constexpr (kIsTable<std::remove_pointer_t<decltype(field)>>) {
                for (int zone = 0; zone < kZones; ++zone) {
                    for (int slot = 0; slot < kSlots; ++slot) {
                        addLine(out, slotKey(value.name, zone, slot), (*field)[zone][slot]);
                    }
                }
            } else {
                addLine(out, "Module1." + std::string(value.name), *field);
            }
        },
        value.field);
}

// --- SetSharedValue ---------------------------------------------------------

template <class T>
std::optional<T> parseInteger(std::string_view text)
{
    text = ui::trimBlanks(text);
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
    return ui::parseNumber(ui::trimBlanks(text));
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

struct SlotName {
    int zone = 0;
    int slot = 0;
};

// "RecordScore(0,10)" -> {0, 10}; nullopt when the name has no well-formed
// index pair.
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
    return SlotName{*zone, *slot};
}

template <class T>
    requires std::is_integral_v<T>
bool assign(T& target, std::string_view value, const SharedValue& shared, std::string& error)
{
    return assignInteger(target, value, shared.lowest, shared.highest, error);
}

bool assign(double& target, std::string_view value, const SharedValue&, std::string& error)
{
    const auto parsed = parseDouble(value);
    if (!parsed) {
        error = "\"" + std::string(value) + "\" is not a finite decimal number";
        return false;
    }
    target = *parsed;
    return true;
}

bool assign(std::string& target, std::string_view value, const SharedValue&, std::string&)
{
    target = std::string(value);
    return true;
}

bool setValue(const SharedValue& shared, std::string_view name, std::string_view value, std::string& error)
{
    return std::visit(
        [&](auto* field) {
            if constexpr (kIsTable<std::remove_pointer_t<decltype(field)>>) {
                const auto slot = parseSlotName(name, error);
                return slot && assign((*field)[slot->zone][slot->slot], value, shared, error);
            } else {
                return assign(*field, value, shared, error);
            }
        },
        shared.field);
}

} // namespace

void ResetSharedState()
{
    // AppDirOverride is configuration of the run, not game state: it stays.
    for (const SharedValue& value : kSharedValues) {
        std::visit([](auto* field) { *field = {}; }, value.field);
    }
    CharTable = {};
    ForgetRecordFile();
}

struct SavedState::Values {
    decltype(CurrentZone) currentZone = CurrentZone;
    decltype(LastScore) lastScore = LastScore;
    decltype(RecordScore) recordScore = RecordScore;
    decltype(RecordName) recordName = RecordName;
    decltype(AvgResponse) avgResponse = AvgResponse;
    decltype(HitRate) hitRate = HitRate;
    decltype(NewRecord) newRecord = NewRecord;
    decltype(CharTable) charTable = CharTable;
    decltype(SidePanel) sidePanel = SidePanel;
    decltype(MenuCursor) menuCursor = MenuCursor;
    decltype(KeepCursor) keepCursor = KeepCursor;
    decltype(OptSpeed) optSpeed = OptSpeed;
    decltype(OptCase) optCase = OptCase;
    decltype(OptKana) optKana = OptKana;
};

SavedState::SavedState() : values_(std::make_unique<Values>()) {}

SavedState::~SavedState()
{
    CurrentZone = values_->currentZone;
    LastScore = values_->lastScore;
    RecordScore = values_->recordScore;
    RecordName = values_->recordName;
    AvgResponse = values_->avgResponse;
    HitRate = values_->hitRate;
    NewRecord = values_->newRecord;
    CharTable = values_->charTable;
    SidePanel = values_->sidePanel;
    MenuCursor = values_->menuCursor;
    KeepCursor = values_->keepCursor;
    OptSpeed = values_->optSpeed;
    OptCase = values_->optCase;
    OptKana = values_->optKana;
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
    return withOneTrailingSlash(AppDirOverride.empty() ? CurrentRecordStorage().programDir() : AppDirOverride);
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
        const RecordStorage& storage = CurrentRecordStorage();
        if (storage.isInstalledCopy()) {
            return InstalledRecordPlace(storage.playerDataDir());
        }
        const std::string programDir = storage.programDir();
        return ChooseRecordPlace(programDir, storage.isWritableDirectory(programDir), storage.playerDataDir());
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
    if (CurrentRecordStorage().isPlainFile(place.startPath)) {
        LoadRecords(place.startPath);
    } else {
        ForgetRecordFile();
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
    for (const SharedValue& value : kSharedValues) {
        dumpValue(out, value);
    }
}

bool SetSharedValue(std::string_view name, std::string_view value, std::string& error)
{
    constexpr std::string_view kPrefix = "Module1.";
    if (name.starts_with(kPrefix)) {
        name.remove_prefix(kPrefix.size());
    }
    for (const SharedValue& shared : kSharedValues) {
        if (isNamed(shared, name)) {
            return setValue(shared, name, value, error);
        }
    }
    error = "unknown shared value \"" + std::string(name) + "\"";
    return false;
}

} // namespace Module1
