#pragma once

#include <QRect>
#include <QStringList>

namespace formatter {
struct Style;
}

namespace frame {

// What the viewer window alone asks of the main window beside it.
class ViewerHost
{
public:
    virtual ~ViewerHost() = default;
    // The main window's frame: left, top, width, height.
    virtual QRect mainWindowBounds() const = 0;
    // "Snap View": a snapshot of what the browser shows.
    virtual void snapCurrentView() = 0;
    // The main window's Save buttons follow the editor's state.
    virtual void setSaveButtons(bool saveEnabled, bool saveAsEnabled) = 0;
    // The formatter style of "Format" (a run changes its counters); null for none.
    virtual formatter::Style *formatterStyle() = 0;
    // The lines of tagsyntax.txt.
    virtual QStringList tagSyntaxTable() const = 0;
};

} // namespace frame
