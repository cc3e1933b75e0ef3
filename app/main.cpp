// Quorvel: starts the window model on Qt windows and runs it until the last
// window is closed.

#include "app/PlatformChoice.h"
#include "app/Probes.h"
#include "app/Program.h"
#include "app/QtRecordStorage.h"
#include "core/Module1.h"
#include "platform/model/Application.h"
#include "platform/qt/QtHost.h"
#include "platform/qt/QtServices.h"
#include "resources/PictureCatalog.h"

#include <QApplication>
#include <QMessageBox>
#include <QScreen>
#include <QTimer>

#include <cstdlib>
#include <exception>
#include <iostream>
#include <optional>
#include <string>

namespace {

constexpr int kFontCheckDelayMs = 1000;

void warnAboutMissingFonts()
{
    const QString missing = qthost::missingFontsReport();
    if (!missing.isEmpty()) {
        std::cerr << "quorvel: " << missing.toStdString() << '\n';
    }
}

void setScreenSize(ui::Application& model)
{
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        model.setScreenSizePx(screen->size().width(), screen->size().height());
    }
}

int reportStartFailure(const QString& message)
{
    std::cerr << "quorvel: " << message.toStdString() << '\n';
    QMessageBox::critical(nullptr, QApplication::applicationName(), message);
    return EXIT_FAILURE;
}

} // namespace

int main(int argc, char** argv)
{
    const platformchoice::Environment environment = platformchoice::currentEnvironment();
    if (!platformchoice::displayAvailable(environment)) {
        std::cerr << "quorvel: no display found (DISPLAY and WAYLAND_DISPLAY are unset); "
                     "start it from a desktop session\n";
        return platformchoice::kNoDisplayExitCode;
    }
    if (const std::optional<QString> platform = platformchoice::platformToRequest(environment)) {
        qputenv("QT_QPA_PLATFORM", platform->toUtf8());
    }
    std::optional<platformchoice::StartGuard> startGuard(std::in_place, platformchoice::platformName(environment));
    QApplication application(argc, argv);
    startGuard.reset();
    QApplication::setApplicationName(QStringLiteral("Quorvel"));
    // Wayland compositors find the desktop entry, and so the icon, by this id.
    QGuiApplication::setDesktopFileName(QStringLiteral(QUORVEL_APP_ID));
    // The program ends when the model says so, not when Qt sees no window.
    QApplication::setQuitOnLastWindowClosed(false);

    qtrecords::QtRecordStorage records;
    Module1::UseRecordStorage(records);
    wiring::Program<qthost::SteadyClock> program;
    ui::Application& model = program.app;
    setScreenSize(model);

    try {
        model.run([&model] { Module1::Main(model); });
    } catch (const std::exception& error) {
        // A records file that cannot be read (Module1::RecordFileError) says
        // which file, which line and why; nothing has been shown yet.
        return reportStartFailure(QString::fromUtf8(error.what()));
    }
    if (model.openForms().empty()) {
        std::cerr << "quorvel: start-up opened no window\n";
        return EXIT_FAILURE;
    }

    const qthost::AppIdentity identity{
        QApplication::applicationName(),
        qthost::iconFromPictures(program.catalog, {pictures::kIcon32, pictures::kIcon16})};
    qthost::QtHost host(model, program.clock, identity);
    // Weston's XWayland window manager would put the side panels anywhere.
    host.setTransientToolWindows(!platformchoice::xClientOfWaylandSession(environment));
    probes::install(host, model);
    host.sync();
    // Looking through the installed fonts takes longer than showing the
    // title, which draws no text at first: the check waits until it is up.
    QTimer::singleShot(kFontCheckDelayMs, &application, warnAboutMissingFonts);
    if (host.exitCode()) {
        return *host.exitCode();
    }
    return QApplication::exec();
}
