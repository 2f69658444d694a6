#pragma once

#include "frame/folderservices.h"
#include "frame/page.h"
#include "frame/pageframe.h"

#include <QStringList>

// Hosts one page without the main window: the selection queries ask that page, and every
// request to the frame is recorded by name. It stands in for the Folder View's services too.
class StandInFrame : public app::PageFrame, public app::FolderServices
{
public:
    explicit StandInFrame(const QString &programFolder = QString())
        : m_programFolder(programFolder)
    { }

    app::Page *page = nullptr; // the active page
    QStringList hints;
    QStringList requests;
    QStringList shownFiles; // what ShowFileInViews was asked to show
    QString hintLine;
    app::Settings values;
    QString folder; // the Folder View's folder
    QString mask = QStringLiteral("*.htm");
    QStringList miniThumbs; // what the thumbnail corner was asked to show
    QList<int> listProgress; // positions of the thin progress bar
    bool diskSpaceLeft = true;
    folderview::BatchProgress *progress = nullptr;

    QString CurrentFile() const override { return page ? page->CurrentFile() : QString(); }
    folderview::SelectionCount SelectionCounts() const override
    {
        return page ? page->SelectionCounts() : folderview::SelectionCount();
    }
    QString EntryPath(int index, bool onlySelected) const override
    {
        return page ? page->EntryPath(index, onlySelected) : QString();
    }

    app::Settings &settings() override { return values; }
    QString ProgramFolder() const override { return m_programFolder; }
    QString dataFolder() const override { return m_programFolder; }
    bool Starting() const override { return false; }
    app::Page *activePage() const override { return page; }
    void setActivePage(app::Page *active) override { page = active; }
    void setPagesEnabled(bool enabled) override
    {
        requests.append(enabled ? QStringLiteral("enable") : QStringLiteral("disable"));
    }
    std::optional<platform::Answer> AskSaveChanges() override { return {}; }
    std::optional<platform::Answer> AskSaveChangesBeforeShowing() override { return {}; }
    void setHintLine(const QString &text) override
    {
        hints.append(text);
        hintLine = text;
    }
    void UpdateStatus() override { requests.append(QStringLiteral("UpdateStatus")); }
    void ShowFileInViews(bool) override { shownFiles.append(CurrentFile()); }
    void ClearViews() override { requests.append(QStringLiteral("ClearViews")); }
    void SetViewerButtonState() override { }
    void DblClickForAll() override { requests.append(QStringLiteral("DblClickForAll")); }
    void showContextMenu(const QPoint &) override { requests.append(QStringLiteral("menu")); }
    void snapCurrentView() override { requests.append(QStringLiteral("snapView")); }
    QRect mainWindowBounds() const override { return QRect(100, 100, 800, 600); }
    app::FolderServices &folderView() override { return *this; }
    void setListProgress(int position) override { listProgress.append(position); }
    folderview::BatchProgress *progressWindow() override { return progress; }
    void setMainWindowEnabled(bool enabled) override
    {
        requests.append(enabled ? QStringLiteral("mainEnabled") : QStringLiteral("mainDisabled"));
    }
    bool CheckDiskSpace(const QString &, qint64) override { return diskSpaceLeft; }
    engine::HtmlView *browserView() override { return nullptr; }
    formatter::Style *formatterStyle() override { return nullptr; }
    QStringList tagSyntaxTable() const override { return {}; }

    QWidget *folderPanel() const override { return nullptr; }
    QString currentFolder() const override { return folder; }
    QString CurrentMask() const override { return mask; }
    void ShowMiniThumb(const QString &page) override { miniThumbs.append(page); }
    void clearMiniThumb() override { }
    bool IsInThumbFolder(const QString &) const override { return false; }
    void JumpToFileAndFolder(const QString &) override { }
    void handleDroppedFiles(const QStringList &) override { }
    void applyFileIcons() override { }
    QWidget *viewsPanel() const override { return nullptr; }
    void showInPanel1(QWidget *) override { }
    bool browserSwitchDown() const override { return false; }
    void setSaveButtons(bool, bool) override { }
    bool saveEnabled() const override { return false; }
    void showSavedCopy(const QString &) override { }

private:
    QString m_programFolder;
};

// A page with nothing in it, for what asks the frame about its active page.
class StandInPage : public app::Page
{
public:
    bool views = false; // whether it hosts the borrowed browser or editor

    QString CurrentFile() const override { return {}; }
    folderview::SelectionCount SelectionCounts() const override { return { this, 0, 0 }; }
    QString EntryPath(int, bool) const override { return {}; }
    QString title() const override { return QStringLiteral("Stand-in"); }
    QWidget *widget() override { return nullptr; }
    void start() override { }
    void activate() override { }
    bool hostsViews() const override { return views; }
    bool offersContextItem(app::ContextItem) const override { return true; }
    bool runContextItem(app::ContextItem) override { return false; }
};
