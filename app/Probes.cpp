#include "app/Probes.h"

#include "app/ProcessClock.h"
#include "app/ProgramDump.h"
#include "platform/qt/QtHost.h"

#include <QCoreApplication>
#include <QSaveFile>

#include <cstdio>
#include <string>

namespace probes {

namespace {


void writeState(const QString& path, const ui::Application& app)
{
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly)) {
        const std::string text = wiring::dumpProgram(app).text();
        file.write(text.data(), static_cast<qint64>(text.size()));
        file.commit();
    }
}

} // namespace

void install(qthost::QtHost& host, const ui::Application& app)
{
    const QString statePath = qEnvironmentVariable("QUORVEL_STATE_FILE");
    if (!statePath.isEmpty()) {
        host.setAfterSync([statePath, &app] { writeState(statePath, app); });
    }
    if (qEnvironmentVariableIntValue("QUORVEL_EXIT_AFTER_FIRST_FRAME") == 1) {
        host.setAfterPaint([](const ui::Form&) {
            std::printf("first-frame-ms %.1f\n", probes::msSinceProcessStart());
            std::fflush(stdout);
            QCoreApplication::exit(0);
        });
    }
}

} // namespace probes
