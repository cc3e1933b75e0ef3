#include "app/web/BrowserRecords.h"

#include "app/web/BrowserRecordStorage.h"
#include "app/web/RecordTransfer.h"
#include "core/FormNames.h"
#include "core/Module1.h"
#include "core/RecordFile.h"
#include "platform/web/PageBridge.h"
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

// A press on a button leaves the keyboard where the game put it (the name
// entry's text box, say), and Space or Enter never press one.
EM_JS(void, qv_records_add_tools, (), {
    let tools = document.getElementById("qv-records-tools");
    if (!tools) {
        tools = document.createElement("div");
        tools.id = "qv-records-tools";
        document.body.appendChild(tools);
    }
    const exportButton = document.createElement("button");
    exportButton.type = "button";
    exportButton.id = "qv-export-records";
    exportButton.textContent = "Export records";
    exportButton.addEventListener("click", () => Module["_qv_records_export"]());
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
    const importButton = document.createElement("button");
    importButton.type = "button";
    importButton.id = "qv-import-records";
    importButton.textContent = "Import records";
    importButton.addEventListener("click", () => chooser.click());
    for (const button of [exportButton, importButton]) {
        button.addEventListener("mousedown", (event) => event.preventDefault());
    }
    tools.append(exportButton, importButton, chooser);
    // The last moments in which the browser lets the page write its storage.
    document.addEventListener("visibilitychange", () => {
        if (document.visibilityState === "hidden") Module["_qv_records_page_left"]();
    });
    window.addEventListener("pagehide", () => Module["_qv_records_page_left"]());
});

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

void showMessage(const std::string& text)
{
    webhost::showPageMessage(text);
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
            showMessage(lastFailure + " The game goes on with the records in memory; the next save tries again.");
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
    const std::string unavailable = records.storage.unavailableReason(Module1::RecordFilePath());
    if (!unavailable.empty()) {
        showMessage("This browser keeps no records for this page (" + unavailable +
                    "). The game goes on; its records last until the page is closed.");
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
        return "The records that could not be stored before are stored now in " + Module1::RecordFilePath() + ".";
    }
    return records.report.lastFailure +
           " The records not stored last until the page is closed; \"Export records\" downloads them.";
}

std::string UnreadableStoredTableMessage(const Module1::RecordFileError& error)
{
    return std::string(error.what()) +
           " The game cannot start with it: \"Import records\" replaces it with a good records file, and \"Export "
           "records\" downloads it as it is stored.";
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
        webrecords::showMessage(file.note);
    }
}

// The page is being hidden or left. A retry that fails keeps the report
// already shown; one that succeeds says so, with the end of the program
// once it has ended.
EMSCRIPTEN_KEEPALIVE void qv_records_page_left()
{
    webrecords::PageRecords& records = webrecords::pageRecords();
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
        webrecords::showMessage("The file \"" + text.substr(0, cut) + "\" cannot be read: " + text.substr(cut + 1) +
                                ". Nothing was replaced.");
        return;
    }
    const auto outcome = webrecords::importRecords(records.storage, Module1::RecordFilePath(), text, bytes,
                                                   webrecords::nameEntryOpen(records));
    webrecords::showMessage(outcome.message);
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

} // extern "C"
