#pragma once

#include "frame/pageframe.h"

#include <QStringList>

// Hosts one page without the main window: the selection queries ask that page, and every
// request to the frame is recorded by name.
class StandInFrame : public app::PageFrame
{
public:
    explicit StandInFrame(const QString &programFolder)
        : m_programFolder(programFolder)
    { }

    folderview::SelectionQueries *page = nullptr;
    int activePage = app::FolderViewPage;
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

    QString CurrentFile() const override { return page->CurrentFile(); }
    folderview::SelectionCount SelectionCounts() const override { return page->SelectionCounts(); }
    QString EntryPath(int index, bool onlySelected) const override
    {
        return page->EntryPath(index, onlySelected);
    }

    app::Settings &settings() override { return values; }
    QString ProgramFolder() const override { return m_programFolder; }
    QString dataFolder() const override { return m_programFolder; }
    bool Starting() const override { return false; }
    int activePageIndex() const override { return activePage; }
    void setActivePage(int index) override { activePage = index; }
    void setPagesEnabled(bool enabled) override
    {
        requests.append(enabled ? QStringLiteral("enable") : QStringLiteral("disable"));
    }
    int AskSaveChanges() override { return 0; }
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
    QString currentFolder() const override { return folder; }
    QString CurrentMask() const override { return mask; }
    void ShowMiniThumb(const QString &page) override { miniThumbs.append(page); }
    void setListProgress(int position) override { listProgress.append(position); }
    folderview::BatchProgress *progressWindow() override { return progress; }
    void setMainWindowEnabled(bool enabled) override
    {
        requests.append(enabled ? QStringLiteral("mainEnabled") : QStringLiteral("mainDisabled"));
    }
    bool CheckDiskSpace(const QString &, qint64) override { return diskSpaceLeft; }
    engine::HtmlView *browserView() override { return nullptr; }

private:
    QString m_programFolder;
};
