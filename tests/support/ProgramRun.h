#pragma once

#include <QString>
#include <QStringList>

#include <map>

namespace testing_support {

struct ProgramRun {
    bool finished = false; // false: it was killed after the time allowed
    int exitCode = -1;
    QString output; // standard output
    QString errors; // standard error
};

// Runs a program as a user would start it without a display (offscreen platform, no DISPLAY or
// WAYLAND_DISPLAY), with the environment changed as given (an empty value removes the
// variable), in `folder` (empty: the current one), to its end or for at most `timeoutMs`.
ProgramRun RunOffscreen(const QString& program, const QStringList& arguments,
                        const std::map<QString, QString>& environment = {},
                        const QString& folder = {}, int timeoutMs = 30000);

} // namespace testing_support
