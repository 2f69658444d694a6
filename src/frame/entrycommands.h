#pragma once

#include <QString>

class QPoint;

namespace frame {

// A place in a file's text: the 1-based line and column where the text starts.
struct TextSpot {
    int line = 0;
    int column = 0;
    QString text;
};

// What Enter, a double-click and the right mouse button on a page's entry ask of the frame.
class EntryCommands
{
public:
    virtual ~EntryCommands() = default;
    // Opens the viewer window on the current file.
    virtual void openCurrentFile() = 0;
    // The same, on the editor's page, with the occurrence of the spot's text nearest its
    // line and column selected.
    virtual void openCurrentFileAt(const TextSpot &spot) = 0;
    // The shared context menu of the lists, the corner and the viewer, acting on the active
    // page.
    virtual void showContextMenu(const QPoint &globalPos) = 0;
};

} // namespace frame
