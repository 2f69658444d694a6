#pragma once

#include "app/mainwindow.h"
#include "filelists/filelistspage.h"
#include "folderview/folderpanel.h"
#include "folderview/folderviewpage.h"
#include "frame/progresswindow.h"
#include "support/scripteddialogs.h"
#include "support/tempdir.h"
#include "support/testfiles.h"
#include "support/widgetbyname.h"
#include "thumbs/thumbviewpage.h"
#include "viewer/viewerwindow.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QListWidget>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

// A main window with its viewer on a temporary program folder and a small site.

// The positions of the pages' tabs.
constexpr int kFolderTab = 0;
constexpr int kThumbsTab = 1;
constexpr int kListsTab = 2;

template<class P> P *pageOf(const app::MainWindow &form)
{
    for (frame::Page *page : form.pages())
        if (auto *found = dynamic_cast<P *>(page))
            return found;
    return nullptr;
}
inline folderview::FolderViewPage *folderPageOf(const app::MainWindow &form)
{
    return pageOf<folderview::FolderViewPage>(form);
}
inline thumbs::ThumbViewPage *thumbPageOf(const app::MainWindow &form)
{
    return pageOf<thumbs::ThumbViewPage>(form);
}
inline filelists::FileListsPage *listsPageOf(const app::MainWindow &form)
{
    return pageOf<filelists::FileListsPage>(form);
}

inline void writeFile(const QString &path)
{
    writeFile(path, "<html><body>x</body></html>");
}

class MainWindowTest : public testing::Test
{
protected:
    void SetUp() override
    {
        for (const char *name : { "a.htm", "b.htm", "c.htm", "d.asp", "pic.gif" })
            writeFile(site.filePath(QString::fromLatin1(name)));
    }

    QString programFolder() const
    {
        return QDir::toNativeSeparators(program.path()) + QDir::separator();
    }
    QString sitePath(const char *name) const
    {
        return QDir::toNativeSeparators(site.filePath(QString::fromLatin1(name)));
    }
    void setIni(const QString &text)
    {
        writeFile(program.filePath(QStringLiteral("prg.ini")), text.toUtf8());
    }

    void start(const QStringList &arguments = {})
    {
        form = std::make_unique<app::MainWindow>(program.path(), arguments);
        view = std::make_unique<viewer::ViewerWindow>(form.get());
        progress = std::make_unique<frame::ProgressWindow>();
        form->setViewer(view.get());
        form->setProgressWindow(progress.get());
        form->show();
        form->handleActivation();
    }

    void selectRows(std::initializer_list<int> rows)
    {
        widget<QListWidget>(folderPageOf(*form), "LBFile")->clearSelection();
        for (int row : rows) {
            widget<QListWidget>(folderPageOf(*form), "LBFile")
                ->setCurrentRow(row, QItemSelectionModel::Select);
        }
        form->updateStatus();
    }

    void closeForm() { form->close(); }

    QTemporaryDir program;
    TemporaryDir site; // pages may have names that are not UTF-8
    ScriptedDialogs dialogs;
    std::unique_ptr<app::MainWindow> form;
    std::unique_ptr<viewer::ViewerWindow> view;
    std::unique_ptr<frame::ProgressWindow> progress;
};
