#pragma once

#include "frame/configuration.h"
#include "frame/editedfile.h"
#include "frame/entrycommands.h"
#include "frame/folderplace.h"
#include "frame/page.h"
#include "frame/progress.h"
#include "frame/statusline.h"
#include "visualcheck/lookcheck.h"

#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;
class QTreeView;

namespace platform {
class FileWatch;
}

namespace visualcheck {

class LookListModel;
class LookPictures;

// The "Visual Check" page: which pages of the current folder and its sub-folders look
// different from their baselines, with before, after and difference pictures; pages saved in
// the editor or changed on disk are compared again while the page is shown.
class VisualCheckPage : public QWidget, public frame::Page
{
    Q_OBJECT

public:
    // What the page asks of the frame that hosts it.
    struct Frame {
        template<class Host>
        Frame(Host &host)
            : status(host)
            , progress(host)
            , commands(host)
            , editedFile(host)
            , configuration(host)
            , folder(host)
        { }
        frame::StatusLine &status;
        frame::Progress &progress;
        frame::EntryCommands &commands;
        frame::EditedFile &editedFile;
        frame::Configuration &configuration;
        frame::FolderPlace &folder;
    };

    explicit VisualCheckPage(const Frame &frame, QWidget *parent = nullptr);
    ~VisualCheckPage() override;

    QString title() const override;
    QString entryNoun() const override;
    QWidget *widget() override { return this; }
    void start() override;
    void activate() override;
    bool hostsViews() const override { return false; }
    bool offersContextItem(frame::ContextItem) const override { return true; }
    bool runContextItem(frame::ContextItem) override { return false; }

    QString currentFile() const override;
    frame::SelectionCount selectionCounts() const override;
    QString entryPath(int index, bool onlySelected) const override;

    // "Take Baseline" and "Compare": every page of the current folder and its sub-folders.
    void takeBaseline();
    void compare();
    // "Accept": the renders of the selected entries become their baselines.
    void acceptSelected();
    // Pages saved or changed on disk: compared again when the page is shown.
    void filesChanged(const QStringList &paths);

    LookListModel *model() const { return m_model; }
    LookPictures *pictures() const { return m_pictures; }

private:
    void buildLayout();
    void run(const QStringList &pages, bool update);
    LookSettings settings() const;
    QString looksFolder() const;
    void showCurrentEntry();
    void setCaption();
    QList<int> selectedRows() const;

    Frame m_frame;
    LookListModel *m_model;
    LookPictures *m_pictures = nullptr;
    platform::FileWatch *m_watch;
    QString m_root;
    bool m_running = false;

    QLabel *m_caption = nullptr;
    QTreeView *m_list = nullptr;
    QLineEdit *m_masks = nullptr;
    QPushButton *m_baselineButton = nullptr;
    QPushButton *m_compareButton = nullptr;
    QPushButton *m_acceptButton = nullptr;
};

} // namespace visualcheck
