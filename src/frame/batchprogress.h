#pragma once

#include <QString>

namespace frame {

// What a batch loop needs of the shared progress window; ProgressWindow is the real one, tests
// may stand in for it.
class BatchProgress
{
public:
    virtual ~BatchProgress() = default;
    // Bar from 0 to max, at 0, one step per item.
    virtual void initProgressBar(int max) = 0;
    // Shows the window without blocking; empties the text and clears the stop request.
    virtual void showProgress() = 0;
    // Sets the text line and repaints at once.
    virtual void setProgressText(const QString &text) = 0;
    virtual void stepProgress() = 0;
    virtual bool stopRequested() const = 0;
    virtual void closeProgress() = 0;
};

} // namespace frame
