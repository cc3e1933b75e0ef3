#include "app/PlatformChoice.h"

#include <QByteArray>

#include <cstdio>
#include <cstdlib>
#include <mutex>

namespace platformchoice {
namespace {

StartGuard* activeGuard = nullptr;
// Qt may log from a thread of its own while the platform starts.
std::mutex heldMessagesMutex;

QString firstLine(const QString& text)
{
    return text.section(QLatin1Char('\n'), 0, 0).trimmed();
}

// Qt's own summary of a failed start says nothing of the reason.
bool isGenericPluginMessage(const QString& message)
{
    return message.startsWith(QLatin1String("Could not load the Qt platform plugin")) ||
           message.startsWith(QLatin1String("This application failed to start"));
}

} // namespace

Environment currentEnvironment()
{
    return Environment{qEnvironmentVariable("QT_QPA_PLATFORM"), qEnvironmentVariable("DISPLAY"),
                       qEnvironmentVariable("WAYLAND_DISPLAY")};
}

std::optional<QString> platformToRequest(const Environment& environment)
{
    if (!environment.qpaPlatform.isEmpty()) {
        return std::nullopt;
    }
    if (!environment.display.isEmpty()) {
        return QStringLiteral("xcb");
    }
    if (!environment.waylandDisplay.isEmpty()) {
        return QStringLiteral("wayland");
    }
    return std::nullopt;
}

bool displayAvailable(const Environment& environment)
{
    return !environment.qpaPlatform.isEmpty() || !environment.display.isEmpty() ||
           !environment.waylandDisplay.isEmpty();
}

QString platformName(const Environment& environment)
{
    if (!environment.qpaPlatform.isEmpty()) {
        return environment.qpaPlatform;
    }
    return platformToRequest(environment).value_or(QStringLiteral("xcb"));
}

bool xClientOfWaylandSession(const Environment& environment)
{
    return !environment.waylandDisplay.isEmpty() && platformName(environment) == QLatin1String("xcb");
}

StartGuard::StartGuard(QString platform) : platform_(std::move(platform))
{
    activeGuard = this;
    previous_ = qInstallMessageHandler(&StartGuard::handle);
}

StartGuard::~StartGuard()
{
    qInstallMessageHandler(previous_);
    activeGuard = nullptr;
    for (const Held& held : held_) {
        const QByteArray category = held.category.toUtf8();
        const QMessageLogContext context(nullptr, 0, nullptr, category.constData());
        previous_(held.type, context, held.message); // Qt's default handler when none was installed
    }
}

QString StartGuard::failureLine(const QString& platform, const std::vector<QString>& messages)
{
    QString reason;
    for (const QString& message : messages) {
        if (!isGenericPluginMessage(message) && !firstLine(message).isEmpty()) {
            reason = firstLine(message);
            break;
        }
    }
    if (reason.isEmpty()) {
        reason = QStringLiteral("no Qt platform plugin of that name could be loaded");
    }
    return QStringLiteral("quorvel: cannot open windows on the Qt platform \"%1\": %2").arg(platform, reason);
}

void StartGuard::handle(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    const std::lock_guard<std::mutex> lock(heldMessagesMutex);
    StartGuard& guard = *activeGuard;
    if (type != QtFatalMsg) {
        guard.held_.push_back(Held{type, QString::fromUtf8(context.category), message});
        return;
    }
    std::vector<QString> messages;
    for (const Held& held : guard.held_) {
        messages.push_back(held.message);
    }
    messages.push_back(message);
    std::fprintf(stderr, "%s\n", qPrintable(failureLine(guard.platform_, messages)));
    std::fflush(stderr);
    // Qt would abort right after this handler; nothing has been shown yet.
    std::_Exit(kNoDisplayExitCode);
}

} // namespace platformchoice
