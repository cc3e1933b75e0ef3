#include "app/web/RecordTransfer.h"

#include "core/RecordFile.h"

namespace webrecords {

namespace {

std::string readError(const std::string& path, int line, const std::string& reason)
{
    return Module1::RecordFileError(Module1::RecordFileError::Action::Read, path, line, reason).what();
}

std::string writeError(const std::string& path, const std::string& reason)
{
    return Module1::RecordFileError(Module1::RecordFileError::Action::Write, path, 0, reason).what();
}

ExportedFile fromMemory(std::string note)
{
    return {Module1::formatRecords(Module1::SharedRecordTable()), std::move(note)};
}

} // namespace

ExportedFile exportRecords(Module1::RecordStorage& storage, const std::string& path, bool nameEntryOpen)
{
    if (Module1::HasUnsavedRecords() && (nameEntryOpen || !Module1::SaveUnsavedRecords())) {
        return fromMemory("Exported the records in memory: they hold records that could not be stored in this browser.");
    }
    if (!storage.isPlainFile(path)) {
        return fromMemory({});
    }
    std::string bytes;
    std::string reason;
    if (!storage.read(path, bytes, reason)) {
        return fromMemory("Exported the records in memory. " + readError(path, 0, reason));
    }
    const Module1::ParsedTable stored = Module1::parseRecords(bytes);
    if (!stored.ok()) {
        // The player may mend them by hand, or keep them before importing others.
        return {bytes, "Exported the stored records as they are. " +
                           readError(path, stored.error->line, stored.error->reason)};
    }
    return {Module1::formatRecords(stored.table), {}};
}

ImportOutcome importRecords(Module1::RecordStorage& storage, const std::string& path, std::string_view fileName,
                            std::string_view bytes, bool nameEntryOpen)
{
    if (nameEntryOpen) {
        return {false, "Records cannot be imported while a name is being entered: the new record is saved when the "
                       "name entry closes. Nothing was replaced."};
    }
    const Module1::ParsedTable parsed = Module1::parseRecords(bytes);
    if (!parsed.ok()) {
        return {false, readError(std::string(fileName), parsed.error->line, parsed.error->reason) +
                           " Nothing was replaced."};
    }
    Module1::SetSharedRecordTable(parsed.table);
    std::string reason;
    if (!storage.replace(path, Module1::formatRecords(parsed.table), reason)) {
        return {true, writeError(path, reason) + " The imported records are kept in memory while the page is open."};
    }
    // From now on the stored table is the imported one, and later saves
    // merge into it.
    try {
        Module1::LoadRecords(path);
    } catch (const Module1::RecordFileError& error) {
        return {true, error.what()};
    }
    return {true, "Imported the records of \"" + std::string(fileName) + "\"."};
}

} // namespace webrecords
