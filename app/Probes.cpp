#include "app/Probes.h"

#include "app/ProcessClock.h"
#include "app/ProgramDump.h"
#include "platform/qt/FormWindow.h"
#include "platform/qt/QtHost.h"

#include <QGuiApplication>
#include <QSaveFile>
#include <QWindow>

#include <cstdio>
#include <string>

namespace probes {

namespace {

// What the host sees, after the dump: the Qt platform, the form whose
// window has the keyboard focus (empty when none has), and how many key
// presses have reached the game's windows. Under a Wayland compositor nothing
// outside the game can tell which window has the focus, nor whether a key
// that was sent arrived.
// Then, for each window whose frame the game draws, the caption its title
// bar shows (cut short with "…" when it does not fit).
std::string hostLines(const qthost::QtHost& host, const ui::Application& app)
{
    std::string focus;
    std::string titleBars;
    const QWindow* focused = QGuiApplication::focusWindow();
    for (const ui::Form* form : app.openForms()) {
        const auto* window = dynamic_cast<const qthost::FormWindow*>(host.windowFor(*form));
        if (window == nullptr) {
            continue;
        }
        if (focused != nullptr && window->windowHandle() == focused) {
            focus = form->name();
        }
        if (window->drawnFrame()) {
            titleBars += "host.titleBar." + form->name() + "=" + window->shownCaption().toStdString() + "\n";
        }
    }
    return "host.platform=" + QGuiApplication::platformName().toStdString() + "\nhost.focus=" + focus +
           "\nhost.keys=" + std::to_string(host.keyPressesReceived()) + "\n" + titleBars;
}

void writeState(const QString& path, const qthost::QtHost& host, const ui::Application& app)
{
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly)) {
        const std::string text = wiring::dumpProgram(app).text() + hostLines(host, app);
        file.write(text.data(), static_cast<qint64>(text.size()));
        file.commit();
    }
}

} // namespace

void install(qthost::QtHost& host, const ui::Application& app)
{
    const QString statePath = qEnvironmentVariable("QUORVEL_STATE_FILE");
    if (!statePath.isEmpty()) {
        const auto write = [statePath, &host, &app] { writeState(statePath, host, app); };
        host.setAfterSync(write);
        // The focus may move without any event of the game's.
        QObject::connect(qGuiApp, &QGuiApplication::focusWindowChanged, &host, write);
    }
    if (qEnvironmentVariableIntValue("QUORVEL_EXIT_AFTER_FIRST_FRAME") == 1) {
        host.setAfterPaint([](const ui::Form&) {
            std::printf("first-frame-ms %.1f\n", probes::msSinceProcessStart());
            std::fflush(stdout);
            QGuiApplication::exit(0);
        });
    }
}

} // namespace probes
