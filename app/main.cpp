// Quorvel: starts the window model on Qt windows and runs it until the last
// window is closed.

#include "app/DesktopPlays.h"
#include "app/PlatformChoice.h"
#include "app/Probes.h"
#include "app/Program.h"
#include "app/QtRecordStorage.h"
#include "app/ThisCopy.h"
#include "app/WatchMode.h"
#include "core/Module1.h"
#include "core/RecordFile.h"
#include "platform/model/Application.h"
#include "platform/qt/QtHost.h"
#include "platform/qt/QtServices.h"
#include "platform/qt/SessionEnd.h"
#include "resources/PictureCatalog.h"

#include <QApplication>
#include <QMessageBox>
#include <QScreen>
#include <QTimer>

#include <cstdlib>
#include <exception>
#include <functional>
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

// A save of the records that failed: one line on stderr, and a dialog. The
// game goes on with its table in memory, and saves it again later.
class SaveFailureDialog : public Module1::RecordSaveReport {
public:
    using WindowFinder = std::function<QWidget*()>;

    // The dialog stands over the window the player is in, found when it opens.
    void setWindowFinder(WindowFinder finder) { activeWindow_ = std::move(finder); }

    void saveFailed(const Module1::RecordFileError& error) override
    {
        std::cerr << Module1::SaveFailureLine(error) << std::endl;
        const QString message = QString::fromUtf8(error.what());
        if (ended_) {
            QMessageBox::critical(nullptr, QApplication::applicationName(),
                                  message + QStringLiteral("\n\nThe records of this game could not be kept."));
            return;
        }
        // Opened once the event that saved is over and its next window is
        // up and active, so that it stands over that window rather than under.
        QTimer::singleShot(0, qApp, [this, message] {
            openOverGame(message + QStringLiteral("\n\nThe game goes on with its records, and saves them again "
                                                  "after the next name entry and when it ends."));
        });
    }
    // The game's windows are gone: a report is shown at once.
    void gameEnded() { ended_ = true; }

private:
    void openOverGame(const QString& message) const
    {
        QWidget* over = activeWindow_ ? activeWindow_() : nullptr;
        // On the heap and without a loop of its own: the window under it
        // may close while it is up, and the game's events go on.
        auto* box = new QMessageBox(QMessageBox::Critical, QApplication::applicationName(), message,
                                    QMessageBox::Ok, over);
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->open();
    }

    WindowFinder activeWindow_;
    bool ended_ = false;
};

// The last save failed: one more try, now that the game is over.
int saveWhatIsLeft(SaveFailureDialog& dialog, int exitCode)
{
    dialog.gameEnded();
    if (exitCode == 0 && !Module1::SaveUnsavedRecords()) {
        return EXIT_FAILURE;
    }
    return exitCode;
}

// `--watch PLAYFILE` shows a play instead of starting the game.
std::optional<QString> watchedPlay(const QStringList& arguments)
{
    const qsizetype at = arguments.indexOf(QStringLiteral("--watch"));
    if (at < 0) {
        return std::nullopt;
    }
    return at + 1 < arguments.size() ? arguments.at(at + 1) : QString();
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

    if (const std::optional<QString> playFile = watchedPlay(application.arguments())) {
        if (playFile->isEmpty()) {
            std::cerr << "quorvel: --watch needs the play's file: quorvel --watch PLAYFILE\n";
            return EXIT_FAILURE;
        }
        return watchmode::watch(*playFile);
    }

    qtrecords::QtRecordStorage records(game::kThisCopy);
    Module1::UseRecordStorage(records);
    SaveFailureDialog saveFailures;
    Module1::UseRecordSaveReport(&saveFailures);
    wiring::Program<qthost::SteadyClock> program;
    ui::Application& model = program.app;
    setScreenSize(model);
    desktopplays::DesktopPlays keptPlays(model, std::cerr);

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
    saveFailures.setWindowFinder([&model, &host]() -> QWidget* {
        const ui::Form* active = model.activeForm();
        return active != nullptr ? host.windowFor(*active) : nullptr;
    });
    // Weston's XWayland window manager would put the side panels anywhere.
    host.setTransientToolWindows(!platformchoice::xClientOfWaylandSession(environment));
    probes::install(host, model);
    // A logout, SIGTERM or SIGHUP closes the windows as the player would:
    // a name just entered is saved by its screen's own unload.
    const qthost::SessionEnd sessionEnd([&host] {
        host.closeEveryWindow();
        if (!host.exitCode()) {
            QApplication::exit(0);
        }
    });
    host.sync();
    // Looking through the installed fonts takes longer than showing the
    // title, which draws no text at first: the check waits until it is up.
    QTimer::singleShot(kFontCheckDelayMs, &application, warnAboutMissingFonts);
    if (host.exitCode()) {
        return *host.exitCode();
    }
    return saveWhatIsLeft(saveFailures, QApplication::exec());
}
