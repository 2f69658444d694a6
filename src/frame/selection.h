#pragma once

#include <QString>

namespace frame {

class Page;

// What the active page of the main window has selected; file operations act on it.
struct SelectionCount {
    const Page *page = nullptr; // the page that answered
    int selected = 0; // entries selected
    int total = 0;    // entries in the page's list
};

class SelectionQueries
{
public:
    virtual ~SelectionQueries() = default;
    // The single current file, or empty.
    virtual QString currentFile() const = 0;
    virtual SelectionCount selectionCounts() const = 0;
    // The full path of entry i of the active page, or empty past the end or, with
    // onlySelected, when the entry is not selected.
    virtual QString entryPath(int index, bool onlySelected) const = 0;
};

} // namespace frame
