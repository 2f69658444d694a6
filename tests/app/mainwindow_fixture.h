#pragma once

#include "app/tform1.h"
#include "filelists/filelistspage.h"
#include "folderview/folderviewpage.h"
#include "folderview/formprogress.h"
#include "support/scripteddialogs.h"
#include "thumbs/thumbviewpage.h"
#include "viewer/tformview.h"

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

template<class P> P *pageOf(const app::TForm1 &form)
{
    for (app::Page *page : form.pages())
        if (auto *found = dynamic_cast<P *>(page))
            return found;
    return nullptr;
}
inline folderview::FolderViewPage *folderPageOf(const app::TForm1 &form)
{
    return pageOf<folderview::FolderViewPage>(form);
}
inline thumbs::ThumbViewPage *thumbPageOf(const app::TForm1 &form)
{
    return pageOf<thumbs::ThumbViewPage>(form);
}
inline filelists::FileListsPage *listsPageOf(const app::TForm1 &form)
{
    return pageOf<filelists::FileListsPage>(form);
}

inline void writeFile(const QString &path, const QByteArray &bytes = "<html><body>x</body></html>")
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

inline QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
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
        form = std::make_unique<app::TForm1>(program.path(), arguments);
        view = std::make_unique<viewer::TFormView>(form.get());
        progress = std::make_unique<folderview::TFormProgress>();
        form->setViewer(view.get());
        form->setProgressWindow(progress.get());
        form->show();
        form->FormActivate();
    }

    void selectRows(std::initializer_list<int> rows)
    {
        folderPageOf(*form)->LBFile->clearSelection();
        for (int row : rows) {
            folderPageOf(*form)->LBFile->setCurrentRow(row, QItemSelectionModel::Select);
        }
        form->UpdateStatus();
    }

    void closeForm() { form->close(); }

    QTemporaryDir program;
    QTemporaryDir site;
    ScriptedDialogs dialogs;
    std::unique_ptr<app::TForm1> form;
    std::unique_ptr<viewer::TFormView> view;
    std::unique_ptr<folderview::TFormProgress> progress;
};
