#pragma once

#include "frame/folderservices.h"
#include "frame/page.h"
#include "frame/pageframe.h"

#include <QStringList>

// Hosts one page without the main window: the selection queries ask that page, and every
// request to the frame is recorded by name. It stands in for the Folder View's services too.
class StandInFrame : public frame::PageFrame, public frame::FolderServices
{
public:
    explicit StandInFrame(const QString &programFolder = QString())
        : m_programFolder(programFolder)
    { }

    frame::Page *page = nullptr; // the active page
    QStringList hints;
    QStringList requests;
    QStringList shownFiles; // what showFileInViews was asked to show
    QString hintLine;
    frame::Settings values;
    QString folder; // the Folder View's folder
    QString mask = QStringLiteral("*.htm");
    QStringList miniThumbs; // what the thumbnail corner was asked to show
    QList<int> listProgress; // positions of the thin progress bar
    bool diskSpaceLeft = true;
    QString editedFile; // the editor's file, and whether it has unsaved changes
    bool editorUnsaved = false;
    frame::BatchProgress *progress = nullptr;

    QString currentFile() const override { return page ? page->currentFile() : QString(); }
    frame::SelectionCount selectionCounts() const override
    {
        return page ? page->selectionCounts() : frame::SelectionCount();
    }
    QString entryPath(int index, bool onlySelected) const override
    {
        return page ? page->entryPath(index, onlySelected) : QString();
    }

    frame::Settings &settings() override { return values; }
    QString programFolder() const override { return m_programFolder; }
    QString dataFolder() const override { return m_programFolder; }
    bool isStarting() const override { return false; }
    frame::Page *activePage() const override { return page; }
    void setActivePage(frame::Page *active) override { page = active; }
    void setPagesEnabled(bool enabled) override
    {
        requests.append(enabled ? QStringLiteral("enable") : QStringLiteral("disable"));
    }
    std::optional<platform::Answer> askSaveChanges() override { return {}; }
    std::optional<platform::Answer> askSaveChangesBeforeShowing() override { return {}; }
    QString editorFile(bool *unsaved) const override
    {
        *unsaved = editorUnsaved;
        return editedFile;
    }
    void reloadEditorFile() override { requests.append(QStringLiteral("ReloadEditor")); }
    void setHintLine(const QString &text) override
    {
        hints.append(text);
        hintLine = text;
    }
    void updateStatus() override { requests.append(QStringLiteral("UpdateStatus")); }
    void showFileInViews(bool) override { shownFiles.append(currentFile()); }
    void clearViews() override { requests.append(QStringLiteral("ClearViews")); }
    void setViewerButtonState() override { }
    void openCurrentFile() override { requests.append(QStringLiteral("DblClickForAll")); }
    void showContextMenu(const QPoint &) override { requests.append(QStringLiteral("menu")); }
    void snapCurrentView() override { requests.append(QStringLiteral("snapView")); }
    QRect mainWindowBounds() const override { return QRect(100, 100, 800, 600); }
    frame::FolderServices &folderView() override { return *this; }
    void setListProgress(int position) override { listProgress.append(position); }
    frame::BatchProgress *progressWindow() override { return progress; }
    void setMainWindowEnabled(bool enabled) override
    {
        requests.append(enabled ? QStringLiteral("mainEnabled") : QStringLiteral("mainDisabled"));
    }
    bool checkDiskSpace(const QString &, qint64) override { return diskSpaceLeft; }
    engine::HtmlView *browserView() override { return nullptr; }
    formatter::Style *formatterStyle() override { return nullptr; }
    QStringList tagSyntaxTable() const override { return {}; }

    QWidget *folderPanel() const override { return nullptr; }
    QString currentFolder() const override { return folder; }
    QString currentMask() const override { return mask; }
    void showMiniThumb(const QString &page) override { miniThumbs.append(page); }
    void clearMiniThumb() override { }
    bool isInThumbFolder(const QString &) const override { return false; }
    void jumpToFileAndFolder(const QString &) override { }
    void handleDroppedFiles(const QStringList &) override { }
    void applyFileIcons() override { }
    QWidget *viewsPanel() const override { return nullptr; }
    void showInBrowserPanel(QWidget *) override { }
    bool browserSwitchDown() const override { return false; }
    void setSaveButtons(bool, bool) override { }
    bool saveEnabled() const override { return false; }
    void showSavedCopy(const QString &) override { }

private:
    QString m_programFolder;
};

// A page with nothing in it, for what asks the frame about its active page.
class StandInPage : public frame::Page
{
public:
    bool views = false; // whether it hosts the borrowed browser or editor

    QString currentFile() const override { return {}; }
    frame::SelectionCount selectionCounts() const override { return { this, 0, 0 }; }
    QString entryPath(int, bool) const override { return {}; }
    QString title() const override { return QStringLiteral("Stand-in"); }
    QWidget *widget() override { return nullptr; }
    void start() override { }
    void activate() override { }
    bool hostsViews() const override { return views; }
    bool offersContextItem(frame::ContextItem) const override { return true; }
    bool runContextItem(frame::ContextItem) override { return false; }
};
