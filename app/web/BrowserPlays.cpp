#include "app/web/BrowserPlays.h"

#include "app/plays/PlayRecorder.h"
#include "app/plays/PlayShelf.h"
#include "app/web/PageLanguage.h"
#include "platform/web/PageBridge.h"

#include <emscripten/emscripten.h>

#include <chrono>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>

namespace webplays {

namespace {

// --- The page's storage -----------------------------------------------------

// Each call keeps its answer (or the browser's reason) for qv_plays_kept_take.
EM_JS(void, qv_plays_storage_keys, (const char* prefix), {
    const start = UTF8ToString(prefix);
    const names = [];
    try {
        for (let i = 0; i < localStorage.length; ++i) {
            const key = localStorage.key(i);
            if (key !== null && key.startsWith(start)) names.push(key.slice(start.length));
        }
    } catch (error) {
        // A storage that cannot be read holds no plays of ours.
    }
    Module.qvPlaysKept = names.join("\n");
});

// 0 when nothing is stored under KEY, 1 with the value kept.
EM_JS(int, qv_plays_storage_get, (const char* key), {
    let value = null;
    try {
        value = localStorage.getItem(UTF8ToString(key));
    } catch (error) {
        value = null;
    }
    Module.qvPlaysKept = value;
    return value === null ? 0 : 1;
});

// 0, or 1 with the browser's reason kept.
EM_JS(int, qv_plays_storage_set, (const char* key, const char* value), {
    try {
        localStorage.setItem(UTF8ToString(key), UTF8ToString(value));
        return 0;
    } catch (error) {
        Module.qvPlaysKept = error.name + ": " + error.message;
        return 1;
    }
});

EM_JS(void, qv_plays_storage_remove, (const char* key), {
    try {
        localStorage.removeItem(UTF8ToString(key));
    } catch (error) {
        // What cannot be removed stays, and the next play tries again.
    }
});

EM_JS(int, qv_plays_kept_length, (), { return lengthBytesUTF8(String(Module.qvPlaysKept)); });

EM_JS(void, qv_plays_kept_take, (char* into, int size), {
    stringToUTF8(String(Module.qvPlaysKept), into, size);
    Module.qvPlaysKept = null;
});

EM_JS(void, qv_plays_connect_panel, (), { window.qvPlays.connect(Module); });
EM_JS(void, qv_plays_changed, (), { window.qvPlays.changed(); });

std::string takeKept()
{
    std::string text(static_cast<std::size_t>(qv_plays_kept_length()) + 1, '\0');
    qv_plays_kept_take(text.data(), static_cast<int>(text.size()));
    text.pop_back();
    return text;
}

std::string keyOf(const std::string& name)
{
    return kStoragePrefix + name;
}

class BrowserPlayStore : public playgame::PlayStore {
public:
    std::vector<std::string> names() const override
    {
        qv_plays_storage_keys(kStoragePrefix);
        std::vector<std::string> found;
        std::istringstream lines(takeKept());
        for (std::string name; std::getline(lines, name);) {
            found.push_back(name);
        }
        return found;
    }

    std::optional<std::string> read(const std::string& name) const override
    {
        if (qv_plays_storage_get(keyOf(name).c_str()) == 0) {
            return std::nullopt;
        }
        return takeKept();
    }

    void write(const std::string& name, const std::string& text) override
    {
        if (qv_plays_storage_set(keyOf(name).c_str(), text.c_str()) != 0) {
            throw std::runtime_error("\"" + keyOf(name) + "\" cannot be written: " + takeKept());
        }
    }

    void remove(const std::string& name) override { qv_plays_storage_remove(keyOf(name).c_str()); }
};

struct PagePlays {
    BrowserPlayStore store;
    playgame::PlayShelf shelf{store};
    std::unique_ptr<playgame::PlayRecorder> recorder;
    bool refusalTold = false;
};

PagePlays& pagePlays()
{
    static PagePlays plays;
    return plays;
}

std::int64_t msSince1970()
{
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    return std::chrono::duration_cast<std::chrono::milliseconds>(now).count();
}

void keep(const plays::Play& play)
{
    PagePlays& plays = pagePlays();
    try {
        plays.shelf.keep(play, msSince1970());
        qv_plays_changed();
    } catch (const std::exception& error) {
        if (!plays.refusalTold) {
            plays.refusalTold = true;
            std::string reason = error.what();
            if (!reason.ends_with('.')) {
                reason += '.';
            }
            webhost::showPageMessage(webrecords::say(
                "The play of this stage could not be kept: " + reason +
                    " The game goes on; its plays are kept again once the browser's storage takes them.",
                "このステージのプレイを残せませんでした: " + reason +
                    " ゲームは続きます。ブラウザーの保存領域が受け付けるようになれば、またプレイを残します。"));
        }
    }
}

std::string shelvedJson(const std::vector<playgame::ShelvedPlay>& shelved)
{
    std::string json = "[";
    for (const playgame::ShelvedPlay& play : shelved) {
        if (json.size() > 1) {
            json += ",";
        }
        json += "{\"name\":" + webhost::page::jsonString(play.name) + ",\"zone\":" + std::to_string(play.zone) +
                ",\"total\":" + std::to_string(play.total) + ",\"playedAt\":" + std::to_string(play.playedAtMs) +
                "}";
    }
    return json + "]";
}

} // namespace

void InstallBrowserPlays(ui::Application& app)
{
    PagePlays& plays = pagePlays();
    plays.recorder = std::make_unique<playgame::PlayRecorder>(app, keep);
    qv_plays_connect_panel();
}

} // namespace webplays

extern "C" {

// What the panel lists: {"best": [...], "recent": [...]}, newest first.
EMSCRIPTEN_KEEPALIVE const char* qv_plays_list()
{
    static std::string json;
    const playgame::PlayShelf& shelf = webplays::pagePlays().shelf;
    json = "{\"best\":" + webplays::shelvedJson(shelf.bestByZone()) +
           ",\"recent\":" + webplays::shelvedJson(shelf.recent()) + "}";
    return json.c_str();
}

// The play's text, or nothing when it is no longer kept.
EMSCRIPTEN_KEEPALIVE const char* qv_plays_text(const char* name)
{
    static std::string text;
    text = webplays::pagePlays().store.read(name).value_or(std::string());
    return text.c_str();
}

} // extern "C"
