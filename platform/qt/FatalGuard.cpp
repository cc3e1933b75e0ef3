#include "platform/qt/FatalGuard.h"

#include <QCoreApplication>
#include <QMessageBox>

namespace qthost {

FatalGuard::FatalGuard(const QString& programName)
    : report_([programName](const QString& message) { QMessageBox::critical(nullptr, programName, message); })
{
}

void FatalGuard::finish()
{
    exitCode_ = 0;
    QCoreApplication::exit(0);
}

void FatalGuard::fail(const QString& message)
{
    failed_ = true;
    exitCode_ = 1;
    if (stop_) {
        stop_();
    }
    report_(message);
    QCoreApplication::exit(1);
}

} // namespace qthost
