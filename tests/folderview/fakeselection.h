#pragma once

#include "frame/batchprogress.h"
#include "frame/selection.h"

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

// Records what a batch shows; can ask to stop after a given number of steps.
class RecordingProgress : public frame::BatchProgress
{
public:
    int max = -1;
    int steps = 0;
    int stopAfterSteps = -1;
    bool shown = false;
    int closes = 0;
    QStringList texts;

    void initProgressBar(int n) override { max = n; }
    void showProgress() override { shown = true; }
    void setProgressText(const QString &text) override { texts.append(text); }
    void stepProgress() override { ++steps; }
    bool stopRequested() const override { return stopAfterSteps >= 0 && steps >= stopAfterSteps; }
    void closeProgress() override
    {
        shown = false;
        ++closes;
    }
};

inline bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

inline QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}
