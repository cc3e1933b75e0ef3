#include "app/web/RecordTransfer.h"

#include "app/web/PageLanguage.h"
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

// The reader refuses a name that is not Shift_JIS text, as a file saved in
// another encoding (UTF-8, say) has.
bool refusedForItsCodePage(const Module1::RecordParseError& error)
{
    return error.reason.find("code page 932") != std::string::npos;
}

std::string nothingReplaced()
{
    return say(" Nothing was replaced.", " 何も置き換えていません。");
}

ExportedFile fromMemory(std::string note)
{
    return {Module1::formatRecords(Module1::SharedRecordTable()), std::move(note)};
}

} // namespace

ExportedFile exportRecords(Module1::RecordStorage& storage, const std::string& path, bool nameEntryOpen)
{
    if (Module1::HasUnsavedRecords() && (nameEntryOpen || !Module1::SaveUnsavedRecords())) {
        return fromMemory(say("Exported the records in memory: they hold records that could not be stored in this browser.",
                             "メモリ上の記録を書き出しました。このブラウザーに保存できなかった記録が含まれています。"));
    }
    if (!storage.isPlainFile(path)) {
        return fromMemory({});
    }
    std::string bytes;
    std::string reason;
    if (!storage.read(path, bytes, reason)) {
        return fromMemory(say("Exported the records in memory. ", "メモリ上の記録を書き出しました。") +
                          readError(path, 0, reason));
    }
    const Module1::ParsedTable stored = Module1::parseRecords(bytes);
    if (!stored.ok()) {
        // The player may mend them by hand, or keep them before importing others.
        return {bytes, say("Exported the stored records as they are. ", "保存されている記録をそのまま書き出しました。") +
                           readError(path, stored.error->line, stored.error->reason)};
    }
    return {Module1::formatRecords(stored.table), {}};
}

ImportOutcome importRecords(Module1::RecordStorage& storage, const std::string& path, std::string_view fileName,
                            std::string_view bytes, bool nameEntryOpen)
{
    if (nameEntryOpen) {
        return {false, say("Records cannot be imported while a name is being entered: the new record is saved when "
                           "the name entry closes.",
                           "名前の入力中は記録を読み込めません。新しい記録は名前の入力が閉じるときに保存されます。") +
                           nothingReplaced()};
    }
    const Module1::ParsedTable parsed = Module1::parseRecords(bytes);
    if (!parsed.ok()) {
        const std::string saveAs =
            refusedForItsCodePage(*parsed.error)
                ? say(" Save it as Shift_JIS (code page 932), as the game writes it.",
                      " ゲームが書くのと同じ Shift_JIS（コードページ 932）で保存してください。")
                : std::string();
        return {false, readError(std::string(fileName), parsed.error->line, parsed.error->reason) + saveAs +
                           nothingReplaced()};
    }
    Module1::SetSharedRecordTable(parsed.table);
    std::string reason;
    if (!storage.replace(path, Module1::formatRecords(parsed.table), reason)) {
        return {true, writeError(path, reason) + say(" The imported records are kept in memory while the page is open.",
                                                     " 読み込んだ記録はページを開いている間メモリに保たれます。")};
    }
    // From now on the stored table is the imported one, and later saves
    // merge into it.
    try {
        Module1::LoadRecords(path);
    } catch (const Module1::RecordFileError& error) {
        return {true, error.what()};
    }
    return {true, say("Imported the records of \"", "「") + std::string(fileName) +
                      say("\".", "」の記録を読み込みました。")};
}

} // namespace webrecords
