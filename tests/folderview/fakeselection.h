#pragma once

#include "frame/selection.h"
#include "support/recordingprogress.h"
#include "support/testfiles.h"

#include <QDir>
#include <QFile>
#include <QList>
#include <QStringList>

// A page of the main window as the file operations see it: full paths, which of them are
// selected and which one carries the focus mark.
class FakeSelection : public frame::SelectionQueries
{
public:
    QStringList paths;
    QList<bool> selected;
    int current = -1;
    const frame::Page *page = nullptr;

    // Every path selected, the focus on the first.
    static FakeSelection allOf(const QStringList &paths)
    {
        FakeSelection s;
        s.paths = paths;
        s.selected = QList<bool>(paths.size(), true);
        s.current = paths.isEmpty() ? -1 : 0;
        return s;
    }

    int selectedCount() const { return int(selected.count(true)); }

    QString currentFile() const override
    {
        return selectedCount() <= 1 && current >= 0 ? paths.at(current) : QString();
    }
    frame::SelectionCount selectionCounts() const override
    {
        return {page, selectedCount(), int(paths.size())};
    }
    QString entryPath(int index, bool onlySelected) const override
    {
        if (index < 0 || index >= paths.size() || (onlySelected && !selected.at(index)))
            return {};
        return paths.at(index);
    }
};
