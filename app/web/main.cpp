// Quorvel in a web page: the game on the web host, its records in the
// browser. main() starts the program and returns; the page's events and
// timeouts drive it from then on.

#include "app/Program.h"
#include "app/ProgramDump.h"
#include "app/web/BrowserPlays.h"
#include "app/web/BrowserRecords.h"
#include "core/FormNames.h"
#include "core/Module1.h"
#include "core/RecordFile.h"
#include "platform/web/CanvasRenderer.h"
#include "platform/web/PageBridge.h"
#include "platform/web/WebClock.h"
#include "platform/web/WebHost.h"

#include <emscripten/emscripten.h>
#include <emscripten/html5.h>

#include <exception>
#include <string>

EM_JS(void, qv_js_title_drawn, (), { window.qvPage.titleDrawn(); });
EM_JS(void, qv_js_start_failed, (const char* text), { window.qvPage.failed(UTF8ToString(text)); });

namespace {

// Everything the page's events reach lives as long as the page.
struct WebProgram {
    wiring::Program<webhost::WebClock> program;
    webhost::CanvasRenderer renderer;
    webhost::WebHost host{program.app, program.clock, renderer};
    bool titleDrawn = false;
};

WebProgram* running = nullptr;

void setScreenToViewport(ui::Application& model)
{
    double width = 0;
    double height = 0;
    emscripten_get_element_css_size("#qv-desktop", &width, &height);
    model.setScreenSizePx(static_cast<int>(width), static_cast<int>(height));
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
    webrecords::InstallBrowserRecords(
        web.program.app, [&web] { web.host.sync(); }, [&web] { return web.host.failed(); });
    web.host.setEndNote([] { return webrecords::SaveWhatIsLeft(); });
    webplays::InstallBrowserPlays(web.program.app);
    setScreenToViewport(web.program.app);
    reportTitleOnceDrawn(web);
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
        qv_js_start_failed((std::string("Quorvel could not start: ") + error.what()).c_str());
        return 1;
    }
    web.host.sync();
    return 0;
}
