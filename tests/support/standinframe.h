#pragma once

#include "frame/page.h"
#include "frame/pageframe.h"
#include "frame/settings.h"

#include <QList>
#include <QStringList>

#include <functional>
#include <vector>

// Hosts one page without the main window: the selection queries ask that page, and every
// request to the frame is recorded by name. It stands in for every interface of the frame.
class StandInFrame : public frame::PageFrame
{
public:
    explicit StandInFrame(const QString &programFolder = QString())
        : m_programFolder(programFolder)
    { }

    app::Page *page = nullptr; // the active page
    QStringList hints;
    QStringList requests;
    QStringList shownFiles; // what showFileInViews was asked to show
    QString hintLine;
    app::Settings values;
    QString folder; // the Folder View's folder
    QString mask = QStringLiteral("*.htm");
    QStringList miniThumbs; // what the thumbnail corner was asked to show
    QList<int> listProgress; // positions of the thin progress bar
    bool diskSpaceLeft = true;
    QString fileInEditor; // the editor's file, and whether it has unsaved changes
    bool editorUnsaved = false;
    // What openCurrentFileAt was asked: the current file then, and the spot.
    QStringList openedAtFiles;
    QList<frame::TextSpot> openedAt;
    folderview::BatchProgress *progress = nullptr;

    QString programFolder() const { return m_programFolder; }
    // The editor wrote a file: the followers of its saves hear of it.
    void saveInEditor(const QString &path)
    {
        for (const auto &saved : m_saveFollowers)
            saved(path);
    }

    QString currentFile() const override { return page ? page->currentFile() : QString(); }
    folderview::SelectionCount selectionCounts() const override
    {
        return page ? page->selectionCounts() : folderview::SelectionCount();
    }
    QString entryPath(int index, bool onlySelected) const override
    {
        return page ? page->entryPath(index, onlySelected) : QString();
    }

    void setHintLine(const QString &text) override
    {
        hints.append(text);
        hintLine = text;
    }
    void updateStatus() override { requests.append(QStringLiteral("UpdateStatus")); }
    void setListProgress(int position) override { listProgress.append(position); }

    app::Page *activePage() const override { return page; }
    void setActivePage(app::Page *active) override { page = active; }
    void setPagesEnabled(bool enabled) override
    {
        requests.append(enabled ? QStringLiteral("enable") : QStringLiteral("disable"));
    }
    bool isStarting() const override { return false; }

    folderview::BatchProgress *progressWindow() override { return progress; }
    void setMainWindowEnabled(bool enabled) override
    {
        requests.append(enabled ? QStringLiteral("mainEnabled") : QStringLiteral("mainDisabled"));
    }
    bool checkDiskSpace(const QString &, qint64) override { return diskSpaceLeft; }

    void openCurrentFile() override { requests.append(QStringLiteral("DblClickForAll")); }
    void openCurrentFileAt(const frame::TextSpot &spot) override
    {
        openedAtFiles.append(currentFile());
        openedAt.append(spot);
    }
    void showContextMenu(const QPoint &) override { requests.append(QStringLiteral("menu")); }

    void showFileInViews(bool) override { shownFiles.append(currentFile()); }
    void clearViews() override { requests.append(QStringLiteral("ClearViews")); }
    void setViewerButtonState() override { }
    engine::HtmlView *browserView() override { return nullptr; }

    QString editedFile() const override { return fileInEditor; }
    bool hasUnsavedChanges() const override { return editorUnsaved; }
    std::optional<platform::Answer> askSaveChanges() override { return {}; }
    std::optional<platform::Answer> askSaveChangesBeforeShowing() override { return {}; }
    void reloadEditedFile() override { requests.append(QStringLiteral("ReloadEditor")); }
    void followEditorSaves(QObject *, const std::function<void(const QString &)> &saved) override
    {
        m_saveFollowers.push_back(saved);
    }

    app::Settings &settings() override { return values; }
    QString dataFolder() const override { return m_programFolder; }

    QString currentFolder() const override { return folder; }
    QString currentMask() const override { return mask; }
    void showMiniThumb(const QString &page) override { miniThumbs.append(page); }
    void showSavedCopy(const QString &) override { }

    QRect mainWindowBounds() const override { return QRect(100, 100, 800, 600); }
    void snapCurrentView() override { requests.append(QStringLiteral("snapView")); }
    void setSaveButtons(bool, bool) override { }
    formatter::Style *formatterStyle() override { return nullptr; }
    QStringList tagSyntaxTable() const override { return {}; }

private:
    QString m_programFolder;
    std::vector<std::function<void(const QString &)>> m_saveFollowers;
};

// A page with nothing in it, for what asks the frame about its active page.
class StandInPage : public app::Page
{
public:
    bool views = false; // whether it hosts the borrowed browser or editor

    QString currentFile() const override { return {}; }
    folderview::SelectionCount selectionCounts() const override { return { this, 0, 0 }; }
    QString entryPath(int, bool) const override { return {}; }
    QString title() const override { return QStringLiteral("Stand-in"); }
    QWidget *widget() override { return nullptr; }
    void start() override { }
    void activate() override { }
    bool hostsViews() const override { return views; }
    bool offersContextItem(app::ContextItem) const override { return true; }
    bool runContextItem(app::ContextItem) override { return false; }
};
