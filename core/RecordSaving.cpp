// Loading and saving the records file through the storage the program
// handed over, and the name entry's save, which keeps the records other
// copies of the game saved meanwhile.

#include "core/RecordFile.h"
#include "core/RecordStorage.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <utility>

namespace Module1 {

namespace {

// The file as this run last read or wrote it.
struct KnownFile {
    std::string path;
    RecordTable table;
};

std::optional<KnownFile> knownFile;
// Entries made since the file was last read or written.
std::vector<EnteredRecord> unsavedEntries;
bool lastSaveFailed = false;
RecordSaveReport* saveReport = nullptr;

void makeFolder(RecordStorage& storage, const RecordPlace& place)
{
    if (place.folderToMake.empty()) {
        return;
    }
    std::string systemReason;
    if (!storage.makeFolder(place.folderToMake, systemReason)) {
        // Appended piece by piece: g++ 12 warns falsely (-Wrestrict) on a chain of +.
        std::string reason = "its folder \"";
        reason.append(place.folderToMake).append("\" cannot be made: ").append(systemReason);
        throw RecordFileError(RecordFileError::Action::Write, place.savePath, 0, reason);
    }
}

RecordTable readTable(RecordStorage& storage, const std::string& path)
{
    std::string bytes;
    std::string reason;
    if (!storage.read(path, bytes, reason)) {
        throw RecordFileError(RecordFileError::Action::Read, path, 0, reason);
    }
    ParsedTable parsed = parseRecords(bytes);
    if (!parsed.ok()) {
        throw RecordFileError(RecordFileError::Action::Read, path, parsed.error->line, parsed.error->reason);
    }
    return std::move(parsed.table);
}

// Puts TABLE in the file; from then on the file holds every entry made.
void writeTable(RecordStorage& storage, const RecordPlace& place, const RecordTable& table)
{
    makeFolder(storage, place);
    const std::string bytes = formatRecords(table);
    std::string reason;
    if (!storage.replace(place.savePath, bytes, reason)) {
        throw RecordFileError(RecordFileError::Action::Write, place.savePath, 0, reason);
    }
    // Names are written in their storable form: remember what reads back.
    knownFile = KnownFile{place.savePath, parseRecords(bytes).table};
    unsavedEntries.clear();
    lastSaveFailed = false;
}

struct TableToSave {
    RecordTable table;
    std::optional<int> lastEntryRank; // where the last entry went, when it moved
};

TableToSave tableToSave(RecordStorage& storage, const std::string& path)
{
    if (!storage.isPlainFile(path)) {
        return {SharedRecordTable(), std::nullopt};
    }
    TableToSave merged{readTable(storage, path), std::nullopt};
    if (knownFile && knownFile->path == path && knownFile->table == merged.table) {
        return {SharedRecordTable(), std::nullopt};
    }
    for (const EnteredRecord& entry : unsavedEntries) {
        merged.lastEntryRank = bubbleIn(merged.table, entry);
    }
    return merged;
}

void report(const RecordFileError& error)
{
    if (saveReport != nullptr) {
        saveReport->saveFailed(error);
    } else {
        // stdio, not iostreams: the web build then carries no stream library.
        std::fprintf(stderr, "%s\n", SaveFailureLine(error).c_str());
    }
}

// The save of the name entry; nullopt when it failed and was reported.
std::optional<TableToSave> saveWithOthers()
{
    const RecordPlace place = CurrentRecordPlace();
    RecordStorage& storage = CurrentRecordStorage();
    try {
        // The lock is taken on the file's folder, which must exist first.
        makeFolder(storage, place);
        const auto lock = storage.lock(place.savePath);
        TableToSave toSave = tableToSave(storage, place.savePath);
        writeTable(storage, place, toSave.table);
        SetSharedRecordTable(toSave.table);
        return toSave;
    } catch (const RecordFileError& error) {
        lastSaveFailed = true;
        report(error);
        return std::nullopt;
    }
}

} // namespace

void LoadRecords()
{
    LoadRecords(CurrentRecordPlace().startPath);
}

void LoadRecords(const std::string& path)
{
    const RecordTable table = readTable(CurrentRecordStorage(), path);
    SetSharedRecordTable(table);
    knownFile = KnownFile{path, table};
    unsavedEntries.clear();
}

void SaveRecords()
{
    SaveRecords(CurrentRecordPlace());
}

void SaveRecords(const RecordPlace& place)
{
    writeTable(CurrentRecordStorage(), place, SharedRecordTable());
}

int bubbleIn(RecordTable& table, const EnteredRecord& entry)
{
    auto& names = table.names[entry.zone];
    auto& scores = table.scores[entry.zone];
    // The entry starts in the working slot below the ten.
    std::array<std::string, kSlots> slotNames;
    std::array<std::int32_t, kSlots> slotScores{};
    std::copy(names.begin(), names.end(), slotNames.begin());
    std::copy(scores.begin(), scores.end(), slotScores.begin());
    slotNames[kWorkingSlot] = entry.name;
    slotScores[kWorkingSlot] = entry.score;
    int rank = kWorkingSlot;
    for (int slot = kWorkingSlot; slot >= 1; --slot) {
        if (slotScores[slot] > slotScores[slot - 1]) {
            std::swap(slotScores[slot], slotScores[slot - 1]);
            std::swap(slotNames[slot], slotNames[slot - 1]);
            if (rank == slot) {
                rank = slot - 1;
            }
        }
    }
    std::copy(slotNames.begin(), slotNames.begin() + kRanks, names.begin());
    std::copy(slotScores.begin(), slotScores.begin() + kRanks, scores.begin());
    return rank;
}

int SaveEnteredRecord(int zone, int rank)
{
    if (rank >= 0 && rank < kRanks) {
        unsavedEntries.push_back({zone, RecordScore[zone][rank], RecordName[zone][rank]});
    }
    const auto saved = saveWithOthers();
    return saved && saved->lastEntryRank ? *saved->lastEntryRank : rank;
}

bool SaveUnsavedRecords()
{
    return !lastSaveFailed || saveWithOthers().has_value();
}

bool HasUnsavedRecords()
{
    return lastSaveFailed;
}

void ForgetRecordFile()
{
    knownFile.reset();
    unsavedEntries.clear();
    lastSaveFailed = false;
}

void UseRecordSaveReport(RecordSaveReport* report)
{
    saveReport = report;
}

std::string SaveFailureLine(const RecordFileError& error)
{
    return std::string("quorvel: ") + error.what();
}

} // namespace Module1
