#pragma once

#include <QDateTime>

#include <functional>

namespace formatter {

// What a run needs of the window around it; every member may be left empty. The window
// passes its progress bar and event processing in, so the formatter itself knows none.
struct FormatHooks {
    // The progress bar's range becomes 0 .. maximum.
    std::function<void(qsizetype maximum)> setProgressMaximum;
    std::function<void(qsizetype position)> setProgress;
    // Lets pending window messages run; called whenever progress is shown.
    std::function<void()> processEvents;
    // The clock of the signature comment; the current local time when empty.
    std::function<QDateTime()> currentTime;
};

} // namespace formatter
