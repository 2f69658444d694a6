#pragma once

#include <QtGlobal>

class QString;

namespace folderview {
class BatchProgress;
}

namespace frame {

// What long runs over many files need of the frame.
class Progress
{
public:
    virtual ~Progress() = default;
    // The shared progress window; null when there is none.
    virtual folderview::BatchProgress *progressWindow() = 0;
    // The main window is disabled while a run goes on.
    virtual void setMainWindowEnabled(bool enabled) = 0;
    // False, after its message, when the volume of the path has less than neededKb free.
    virtual bool checkDiskSpace(const QString &path, qint64 neededKb) = 0;
};

} // namespace frame
