// "Batch Export" of the snapshot options window over the pages given, at 800 x 600, 50 %,
// JPG: the window, the internal browser whose settings each capture copies, the shared
// progress window and the batch dialog, as the program has them. The engine is started first
// (the browser shows the first page), as it is when a user gets to this window.
// Usage: snapshot_window_bench OUTDIR PAGE...
#include "../../tests/support/widgetbyname.h"
#include "engine/htmlview.h"
#include "frame/progresswindow.h"
#include "frame/selection.h"
#include "platform/dialogs.h"
#include "platform/startup.h"
#include "snapshot/snapshotbatchdialog.h"
#include "snapshot/snapshotjob.h"
#include "snapshot/snapshotoptionsdialog.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <cstdio>

namespace {

class Pages : public frame::SelectionQueries
{
public:
    explicit Pages(const QStringList &paths)
        : m_paths(paths)
    { }
    QString currentFile() const override { return {}; }
    frame::SelectionCount selectionCounts() const override
    {
        return { nullptr, int(m_paths.size()), int(m_paths.size()) };
    }
    QString entryPath(int index, bool) const override { return m_paths.value(index); }

private:
    QStringList m_paths;
};

// Pages of the same name in different folders give the same snapshot name: overwrite, as a
// user who answers Yes does; anything else is printed.
class AnswerYes : public platform::HeadlessDialogs
{
public:
    int problems = 0;
    void ShowInfo(const QString &text) override { print(text); }
    bool AskYesNo(const QString &) override { return true; }
    platform::Answer AskYesNoCancel(const QString &) override { return platform::Answer::Yes; }
    void errorBox(const QString &text) override { print(text); }
    void plainMessage(const QString &text) override { print(text); }

private:
    void print(const QString &text)
    {
        ++problems;
        std::fprintf(stderr, "%s\n", qPrintable(text));
    }
};

} // namespace

int main(int argc, char **argv)
{
    platform::prepareHeadlessApplicationStart();
    QApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: snapshot_window_bench OUTDIR PAGE...\n");
        return 2;
    }
    QStringList pages;
    for (const QString &page : args.mid(1))
        pages.append(QDir::toNativeSeparators(QFileInfo(page).absoluteFilePath()));
    AnswerYes dialogs;
    platform::setDialogs(&dialogs);

    QWidget browserWindow;
    auto *layout = new QVBoxLayout(&browserWindow);
    auto *browser = new engine::HtmlView(&browserWindow);
    layout->addWidget(browser);
    browserWindow.resize(700, 500);
    browserWindow.show();
    browser->loadHtmlFile(pages.first());

    frame::Settings settings;
    settings.customWidth = 800;
    settings.customHeight = 600;
    settings.scale = 50;
    settings.snapshotPath
        = QDir::toNativeSeparators(QFileInfo(args.first()).absoluteFilePath()) + QDir::separator();
    snapshot::SnapshotJob job;
    job.batchMode = true;
    job.selectedCount = job.entryCount = int(pages.size());
    const Pages selection(pages);
    frame::ProgressWindow progress;
    snapshot::SnapshotOptionsDialog window(
        { settings, job, selection, &progress, browser, QRect(0, 0, 1024, 768), {} });
    window.show();

    // "Start" in the batch dialog, with JPG files as it offers them.
    QTimer::singleShot(0, [] {
        if (auto *batch
            = qobject_cast<snapshot::SnapshotBatchDialog *>(QApplication::activeModalWidget()))
            widget<QPushButton>(batch, "BOK")->click();
    });
    QElapsedTimer timer;
    timer.start();
    window.exportBatch();
    const double seconds = double(timer.nsecsElapsed()) / 1e9;
    const int written = int(QDir(args.first()).entryList(QDir::Files).size());
    std::printf("%d pages in %.2f s: %.1f ms/page, %d files written, %d messages\n",
        int(pages.size()), seconds, 1000 * seconds / double(pages.size()), written,
        dialogs.problems);
    platform::setDialogs(nullptr);
    return dialogs.problems == 0 ? 0 : 1;
}
