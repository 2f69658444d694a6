#pragma once

#include <QString>

namespace folderview {

// What the active page of the main window has selected; file operations act on it.
struct SelectionCount {
    int page = 0;     // 0 Folder View, 1 Thumbnail View, 2 File Lists
    int selected = 0; // entries selected
    int total = 0;    // entries in the page's list
};

class SelectionQueries
{
public:
    virtual ~SelectionQueries() = default;
    // The single current file, or empty.
    virtual QString CurrentFile() const = 0;
    virtual SelectionCount SelectionCounts() const = 0;
    // The full path of entry i of the active page, or empty past the end or, with
    // onlySelected, when the entry is not selected.
    virtual QString EntryPath(int index, bool onlySelected) const = 0;
};

} // namespace folderview
