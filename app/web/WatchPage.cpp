// Watching a play in a page of its own (site/watch.html, which the game's
// page puts in a frame): that page's program runs no game. It is handed one
// play, which it verifies and then plays at the page's clock, showing the
// stage window as the game's page shows windows. Its WebAssembly memory is
// its own, so nothing it does can touch the game's shared state.

#include "app/ProgramDump.h"
#include "app/plays/PlayWatch.h"
#include "core/FormNames.h"
#include "platform/web/CanvasRenderer.h"
#include "platform/web/PageBridge.h"
#include "platform/web/WebClock.h"
#include "platform/web/WebHost.h"

#include <emscripten/emscripten.h>

#include <exception>
#include <memory>
#include <string>

namespace {

struct WatchPage {
    explicit WatchPage(std::unique_ptr<playgame::PlayWatch> opened) : watch(std::move(opened))
    {
        // The play's log says when every tick came, not the page's timeouts.
        host.leaveTimersToOwner();
        ui::Form& stage = watch->app().form(forms::kStage);
        stage.setLeft(0);
        stage.setTop(0);
    }

    std::unique_ptr<playgame::PlayWatch> watch;
    webhost::WebClock clock;
    webhost::CanvasRenderer renderer;
    webhost::WebHost host{watch->app(), clock, renderer};
};

WatchPage* watching = nullptr;

std::string yesNo(bool value)
{
    return value ? "true" : "false";
}

} // namespace

extern "C" {

// Nothing once TEXT is being watched, else why it is not.
EMSCRIPTEN_KEEPALIVE const char* qv_watch_open(const char* text)
{
    static std::string refusal;
    auto opened = playgame::PlayWatch::open(text);
    if (const auto* reason = std::get_if<std::string>(&opened)) {
        refusal = *reason;
        return refusal.c_str();
    }
    delete watching;
    watching = new WatchPage(std::move(std::get<std::unique_ptr<playgame::PlayWatch>>(opened)));
    watching->host.sync();
    return "";
}

// The page's clock has moved on: the play follows it, unless paused.
EMSCRIPTEN_KEEPALIVE void qv_watch_frame()
{
    if (watching == nullptr || watching->host.failed()) {
        return;
    }
    try {
        watching->watch->showAt(watching->clock.nowMs());
    } catch (const std::exception& error) {
        webhost::page::programFailed(std::string("The replay stopped because of an error: ") + error.what());
        return;
    }
    watching->host.sync();
}

EMSCRIPTEN_KEEPALIVE void qv_watch_toggle_pause()
{
    if (watching != nullptr) {
        watching->watch->togglePause(watching->clock.nowMs());
    }
}

// Where the watch stands: {"playMs", "lengthMs", "paused", "ended"}.
EMSCRIPTEN_KEEPALIVE const char* qv_watch_state()
{
    static std::string json;
    if (watching == nullptr) {
        return "null";
    }
    const playgame::PlayWatch& watch = *watching->watch;
    json = "{\"playMs\":" + std::to_string(watch.playMs()) + ",\"lengthMs\":" + std::to_string(watch.lengthMs()) +
           ",\"paused\":" + yesNo(watch.paused()) + ",\"ended\":" + yesNo(watch.ended()) + "}";
    return json.c_str();
}

// The replayed program's dump, as the game's page gives its own.
EMSCRIPTEN_KEEPALIVE const char* qv_watch_dump()
{
    static std::string text;
    text = watching != nullptr ? wiring::dumpProgram(watching->watch->app()).text() : std::string();
    return text.c_str();
}

} // extern "C"
