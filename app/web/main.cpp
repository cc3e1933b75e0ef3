// Quorvel in a web page: the game on the web host, its records in the
// browser. main() starts the program and returns; the page's events and
// timeouts drive it from then on.

#include "app/Program.h"
#include "app/ProgramDump.h"
#include "app/web/BrowserPlays.h"
#include "app/web/BrowserRecords.h"
#include "app/web/PageLanguage.h"
#include "core/FormNames.h"
#include "core/Module1.h"
#include "core/RecordFile.h"
#include "platform/model/Controls.h"
#include "screens/MenuLayout.h"
#include "platform/web/CanvasRenderer.h"
#include "platform/web/PageBridge.h"
#include "platform/web/WebClock.h"
#include "platform/web/WebHost.h"

#include <emscripten/emscripten.h>
#include <emscripten/html5.h>

#include <algorithm>
#include <exception>
#include <string>

EM_JS(void, qv_js_title_drawn, (), { window.qvPage.titleDrawn(); });
EM_JS(void, qv_js_start_failed, (const char* text), { window.qvPage.failed(UTF8ToString(text)); });
EM_JS(void, qv_js_arrangement, (int width, int height), { window.qvWindows.fitAround(width, height); });

namespace {

// Everything the page's events reach lives as long as the page.
struct WebProgram {
    wiring::Program<webhost::WebClock> program;
    webhost::CanvasRenderer renderer;
    webhost::WebHost host{program.app, program.clock, renderer};
    bool titleDrawn = false;
};

WebProgram* running = nullptr;

// The largest arrangement the game makes, which the page's size factor
// fits: the main menu, centred as the title was, with the records panel
// beside it (the options panel is lower but shorter).
void tellPageTheArrangement()
{
    constexpr int kMenuClientWidth = 4860 / ui::kTwipsPerPixel;
    constexpr int kMenuClientHeight = 3660 / ui::kTwipsPerPixel;
    constexpr int kRecordsClientWidth = 2745 / ui::kTwipsPerPixel;
    const ui::FrameMetrics main = ui::frameMetrics(ui::FormBorder::FixedSingle);
    const ui::FrameMetrics tool = ui::frameMetrics(ui::FormBorder::ToolWindow);
    const int menuWidth = kMenuClientWidth + 2 * main.side;
    const int menuHeight = kMenuClientHeight + 2 * main.side + main.caption;
    const int panelRight = static_cast<int>(menu_layout::kPanelLeftOffset) / ui::kTwipsPerPixel +
                           kRecordsClientWidth + 2 * tool.side;
    qv_js_arrangement(2 * std::max(menuWidth / 2, panelRight - menuWidth / 2), menuHeight);
}

void setScreenToViewport(ui::Application& model)
{
    const webhost::Size screen = webhost::page::viewportSize();
    model.setScreenSizePx(screen.width, screen.height);
}

// "Leave this page?" only while a stage is being played: its flight ticks.
bool stagePlaying(const ui::Application& model)
{
    const ui::Form* stage = model.loaded(forms::kStage);
    const auto* flight = stage != nullptr ? dynamic_cast<const ui::Timer*>(stage->find("Timer1", -1)) : nullptr;
    return flight != nullptr && flight->running();
}

void followTheGame(WebProgram& web)
{
    web.host.setAfterSync([&web, guarded = false]() mutable {
        webrecords::FollowTheGame();
        const bool playing = stagePlaying(web.program.app);
        if (playing != guarded) {
            guarded = playing;
            webhost::page::guardLeaving(playing);
        }
    });
}

void reportTitleOnceDrawn(WebProgram& web)
{
    web.host.setAfterPaint([&web](const ui::Form& form) {
        if (!web.titleDrawn && form.name() == forms::kTitle) {
            web.titleDrawn = true;
            qv_js_title_drawn();
        }
    });
}

} // namespace

extern "C" EMSCRIPTEN_KEEPALIVE const char* qv_web_dump()
{
    static std::string text;
    text = running != nullptr ? wiring::dumpProgram(running->program.app).text() : std::string();
    return text.c_str();
}

int main()
{
    running = new WebProgram;
    WebProgram& web = *running;
    webrecords::useJapanese(webhost::page::japanesePage());
    tellPageTheArrangement();
    webrecords::InstallBrowserRecords(
        web.program.app, [&web] { web.host.sync(); }, [&web] { return web.host.failed(); });
    web.host.setEndNote([] { return webrecords::SaveWhatIsLeft(); });
    webplays::InstallBrowserPlays(web.program.app);
    setScreenToViewport(web.program.app);
    reportTitleOnceDrawn(web);
    followTheGame(web);
    // The program starts while the title's pictures and fonts are still on
    // their way; the page says when they are in (qv_web_drawing_ready).
    web.host.holdPainting();
    try {
        web.program.app.run([&web] { Module1::Main(web.program.app); });
    } catch (const Module1::RecordFileError& error) {
        // A stored table that cannot be read says where, which line and why,
        // and how to replace it; nothing has been shown yet.
        qv_js_start_failed(webrecords::UnreadableStoredTableMessage(error).c_str());
        return 1;
    } catch (const std::exception& error) {
        qv_js_start_failed(
            (webrecords::say("Quorvel could not start: ", "Quorvel を始められませんでした: ") + error.what()).c_str());
        return 1;
    }
    web.host.sync();
    return 0;
}
