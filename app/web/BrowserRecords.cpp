#include "app/web/BrowserRecords.h"

#include "app/web/BrowserRecordStorage.h"
#include "app/web/PageLanguage.h"
#include "app/web/RecordTransfer.h"
#include "core/FormNames.h"
#include "core/Module1.h"
#include "core/RecordFile.h"
#include "platform/web/PageBridge.h"
#include "screens/frmNentry.h"
#include "screens/frmRecord.h"

#include <emscripten/emscripten.h>

#include <algorithm>
#include <string>
#include <utility>

namespace webrecords {

namespace {

// --- The page's side --------------------------------------------------------

// 0 when nothing is stored under KEY, 1 with the value kept for
// qv_records_kept_take, 2 with the browser's reason kept instead.
EM_JS(int, qv_records_storage_get, (const char* key), {
    try {
        const value = localStorage.getItem(UTF8ToString(key));
        Module.qvRecordsKept = value;
        return value === null ? 0 : 1;
    } catch (error) {
        Module.qvRecordsKept = error.name + ": " + error.message;
        return 2;
    }
});

EM_JS(int, qv_records_kept_length, (), { return lengthBytesUTF8(String(Module.qvRecordsKept)); });

EM_JS(void, qv_records_kept_take, (char* into, int size), {
    stringToUTF8(String(Module.qvRecordsKept), into, size);
    Module.qvRecordsKept = null;
});

// 0, or 1 with the browser's reason kept.
EM_JS(int, qv_records_storage_set, (const char* key, const char* value), {
    try {
        localStorage.setItem(UTF8ToString(key), UTF8ToString(value));
        return 0;
    } catch (error) {
        Module.qvRecordsKept = error.name + ": " + error.message;
        return 1;
    }
});

// The two buttons in the page's strip, and the moments to save: the last
// ones in which the browser lets the page write its storage, and another
// tab's save.
EM_JS(void, qv_records_add_tools, (), {
    const chooser = document.createElement("input");
    chooser.type = "file";
    chooser.id = "qv-import-file";
    chooser.hidden = true;
    chooser.addEventListener("change", () => {
        const file = chooser.files[0];
        if (!file) {
            return;
        }
        file.arrayBuffer().then((content) => {
            Module.qvRecordsImport = {name: file.name, bytes: new Uint8Array(content)};
            chooser.value = "";
            Module["_qv_records_import"]();
        }, (error) => {
            chooser.value = "";
            Module.qvRecordsImport = {name: file.name, reason: error.name + ": " + error.message};
            Module["_qv_records_import"]();
        });
    });
    window.qvPage.addButton("qv-export-records", {en: "Export records", ja: "記録を書き出す"},
                           () => Module["_qv_records_export"]());
    window.qvPage.addButton("qv-import-records", {en: "Import records", ja: "記録を読み込む"}, () => chooser.click());
    document.body.appendChild(chooser);
    document.addEventListener("visibilitychange", () => {
        if (document.visibilityState === "hidden") Module["_qv_records_page_left"]();
    });
    window.addEventListener("pagehide", () => Module["_qv_records_page_left"]());
    window.addEventListener("storage", (event) => {
        if (event.key === null || event.key === Module.qvRecordsKey) Module["_qv_records_stored_elsewhere"]();
    });
});

EM_JS(void, qv_records_watch_key, (const char* key), { Module.qvRecordsKey = UTF8ToString(key); });

EM_JS(void, qv_records_download, (const char* bytes, int size), {
    const file = new Blob([HEAPU8.slice(bytes, bytes + size)], {type: "application/octet-stream"});
    const link = document.createElement("a");
    link.href = URL.createObjectURL(file);
    link.download = "qorvl.dat";
    document.body.appendChild(link);
    link.click();
    link.remove();
    setTimeout(() => URL.revokeObjectURL(link.href), 60000);
});

// The chosen file's name, its size (-1 when it could not be read, and then
// the reason in place of the name), and its bytes.
EM_JS(int, qv_records_import_size, (), {
    const chosen = Module.qvRecordsImport;
    return chosen.bytes ? chosen.bytes.length : -1;
});

EM_JS(int, qv_records_import_text_length, (), {
    const chosen = Module.qvRecordsImport;
    return lengthBytesUTF8(chosen.bytes ? chosen.name : chosen.name + "\n" + chosen.reason);
});

EM_JS(void, qv_records_import_take, (char* text, int textSize, char* bytes), {
    const chosen = Module.qvRecordsImport;
    stringToUTF8(chosen.bytes ? chosen.name : chosen.name + "\n" + chosen.reason, text, textSize);
    if (chosen.bytes) {
        HEAPU8.set(chosen.bytes, bytes);
    }
    Module.qvRecordsImport = null;
});

EM_JS(void, qv_records_reload_page, (), {
    setTimeout(() => location.reload(), 1500);
});

void showMessage(const std::string& text, webhost::NoticeKind kind = webhost::NoticeKind::Lasting)
{
    webhost::showPageMessage(text, kind);
}

std::string takeKeptText()
{
    std::string text(static_cast<std::size_t>(qv_records_kept_length()) + 1, '\0');
    qv_records_kept_take(text.data(), static_cast<int>(text.size()));
    text.pop_back();
    return text;
}

// --- The storage and the game's side ---------------------------------------

class LocalStorage : public KeyValueStore {
public:
    bool get(const std::string& key, std::optional<std::string>& value, std::string& reason) override
    {
        switch (qv_records_storage_get(key.c_str())) {
        case 0:
            value.reset();
            return true;
        case 1:
            value = takeKeptText();
            return true;
        default:
            reason = takeKeptText();
            return false;
        }
    }

    bool set(const std::string& key, const std::string& value, std::string& reason) override
    {
        if (qv_records_storage_set(key.c_str(), value.c_str()) == 0) {
            return true;
        }
        reason = takeKeptText();
        return false;
    }
};

class PageSaveReport : public Module1::RecordSaveReport {
public:
    void saveFailed(const Module1::RecordFileError& error) override
    {
        lastFailure = error.what();
        if (!quiet) {
            showMessage(lastFailure + say(" The game goes on with the records in memory; the next save tries again.",
                                          " ゲームはメモリ上の記録で続きます。次の保存でもう一度試みます。"));
        }
    }

    std::string lastFailure;
    bool quiet = false; // the page is being left: its report stays as it is
};

struct PageRecords {
    LocalStorage store;
    BrowserRecordStorage storage{store};
    PageSaveReport report;
    ui::Application* app = nullptr;
    std::function<void()> showChanges;
    std::function<bool()> programFailed;
    bool nameEntryNoticeShown = false; // the notice that an import waits for the name entry
};

PageRecords& pageRecords()
{
    static PageRecords records;
    return records;
}

bool nameEntryOpen(const PageRecords& records)
{
    return records.app != nullptr && records.app->loaded(forms::kNentry) != nullptr;
}

} // namespace

void InstallBrowserRecords(ui::Application& app, std::function<void()> showChanges,
                           std::function<bool()> programFailed)
{
    PageRecords& records = pageRecords();
    records.app = &app;
    records.showChanges = std::move(showChanges);
    records.programFailed = std::move(programFailed);
    Module1::UseRecordStorage(records.storage);
    Module1::UseRecordSaveReport(&records.report);
    qv_records_add_tools();
    qv_records_watch_key(storageKey(Module1::RecordFilePath()).c_str());
    const std::string unavailable = records.storage.unavailableReason(Module1::RecordFilePath());
    if (!unavailable.empty()) {
        showMessage(say("This browser keeps no records for this page (", "このブラウザーはこのページの記録を保存できません（") +
                    unavailable +
                    say("). The game goes on; its records last until the page is closed.",
                        "）。ゲームは続けられますが、記録はページを閉じるまでしか残りません。"));
    }
}

std::string SaveWhatIsLeft()
{
    PageRecords& records = pageRecords();
    // An open name entry saves when it closes; a save now would move its
    // new record under it.
    if (!Module1::HasUnsavedRecords() || (records.programFailed && records.programFailed()) ||
        nameEntryOpen(records)) {
        return {};
    }
    if (Module1::SaveUnsavedRecords()) {
        return say("The records that could not be stored before are stored now in ",
                   "保存できなかった記録を保存しました: ") +
               Module1::RecordFilePath() + say(".", "");
    }
    return records.report.lastFailure +
           say(" The records not stored last until the page is closed; \"Export records\" downloads them.",
               " 保存されていない記録はページを閉じるまで残ります。「記録を書き出す」でダウンロードできます。");
}

void FollowTheGame()
{
    PageRecords& records = pageRecords();
    if (records.nameEntryNoticeShown && !nameEntryOpen(records)) {
        records.nameEntryNoticeShown = false;
        webhost::endStateNotice();
    }
}

std::string UnreadableStoredTableMessage(const Module1::RecordFileError& error)
{
    return std::string(error.what()) +
           say(" The game cannot start with it: \"Import records\" replaces it with a good records file, and "
               "\"Export records\" downloads it as it is stored.",
               " このままではゲームを始められません。「記録を読み込む」で正しい記録ファイルに置き換えられます。"
               "「記録を書き出す」は保存されているままの内容をダウンロードします。");
}

} // namespace webrecords

extern "C" {

EMSCRIPTEN_KEEPALIVE void qv_records_export()
{
    webrecords::PageRecords& records = webrecords::pageRecords();
    const auto file =
        webrecords::exportRecords(records.storage, Module1::RecordFilePath(), webrecords::nameEntryOpen(records));
    webrecords::qv_records_download(file.bytes.data(), static_cast<int>(file.bytes.size()));
    if (!file.note.empty()) {
        webrecords::showMessage(file.note, webhost::NoticeKind::Passing);
    }
}

// The page is being hidden or left, maybe for good: an open name entry
// saves as its closing would. A retry that fails keeps the report already
// shown; one that succeeds says so, with the end of the program once it has
// ended.
EMSCRIPTEN_KEEPALIVE void qv_records_page_left()
{
    webrecords::PageRecords& records = webrecords::pageRecords();
    if (webrecords::nameEntryOpen(records) && !(records.programFailed && records.programFailed())) {
        records.app->form<frmNentry>().saveRecords();
        records.showChanges();
    }
    records.report.quiet = true;
    const std::string note = webrecords::SaveWhatIsLeft();
    records.report.quiet = false;
    if (note.empty() || Module1::HasUnsavedRecords()) {
        return;
    }
    if (records.app != nullptr && records.app->finished()) {
        webhost::page::programEnded(note);
    } else {
        webrecords::showMessage(note);
    }
}

EMSCRIPTEN_KEEPALIVE void qv_records_import()
{
    webrecords::PageRecords& records = webrecords::pageRecords();
    const int size = webrecords::qv_records_import_size();
    std::string text(static_cast<std::size_t>(webrecords::qv_records_import_text_length()) + 1, '\0');
    std::string bytes(static_cast<std::size_t>(std::max(size, 0)), '\0');
    webrecords::qv_records_import_take(text.data(), static_cast<int>(text.size()), bytes.data());
    text.pop_back();
    if (size < 0) {
        const auto cut = text.find('\n');
        webrecords::showMessage(webrecords::say("The file \"", "ファイル「") + text.substr(0, cut) +
                                webrecords::say("\" cannot be read: ", "」を読めません: ") + text.substr(cut + 1) +
                                webrecords::say(". Nothing was replaced.", "。何も置き換えていません。"));
        return;
    }
    const bool waitsForNameEntry = webrecords::nameEntryOpen(records);
    const auto outcome =
        webrecords::importRecords(records.storage, Module1::RecordFilePath(), text, bytes, waitsForNameEntry);
    webrecords::showMessage(outcome.message, waitsForNameEntry ? webhost::NoticeKind::WhileStateLasts
                                             : outcome.replaced ? webhost::NoticeKind::Passing
                                                                : webhost::NoticeKind::Lasting);
    records.nameEntryNoticeShown = waitsForNameEntry;
    if (!outcome.replaced || records.app == nullptr) {
        return;
    }
    if (records.app->loaded(forms::kRecord) != nullptr) {
        records.app->form<frmRecord>().relist();
        records.showChanges();
    }
    // A game that could not start with the stored table starts with this one.
    if (records.app->openForms().empty()) {
        webrecords::qv_records_reload_page();
    }
}

// Another tab saved or imported: this one shows that table from now on.
// Entries this tab could not store yet, and an open name entry's, are kept
// by the merge of their save instead.
EMSCRIPTEN_KEEPALIVE void qv_records_stored_elsewhere()
{
    webrecords::PageRecords& records = webrecords::pageRecords();
    if (records.app == nullptr || records.app->openForms().empty() || webrecords::nameEntryOpen(records) ||
        Module1::HasUnsavedRecords() || (records.programFailed && records.programFailed())) {
        return;
    }
    try {
        Module1::LoadRecords(Module1::RecordFilePath());
    } catch (const Module1::RecordFileError&) {
        return; // this tab's table stands; its next save reports what is stored
    }
    if (records.app->loaded(forms::kRecord) != nullptr) {
        records.app->form<frmRecord>().relist();
        records.showChanges();
    }
}

} // extern "C"
