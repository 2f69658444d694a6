#pragma once

#include <QString>

namespace frame {

// The main window's status: the hint line, the tabs' selection counts and the thin bar
// under the hint line.
class StatusLine
{
public:
    virtual ~StatusLine() = default;
    virtual void setHintLine(const QString &text) = 0;
    // The hint line names the current file and the tabs count the selection again.
    virtual void updateStatus() = 0;
    // The thin bar that long list operations step, 0 to 10.
    virtual void setListProgress(int position) = 0;
};

} // namespace frame
