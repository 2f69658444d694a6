// The file lists at 100,000 entries: a recursive search of 2,000 folders against
// `find DIR -type f` on the same tree in the same run (in-process and as the batch tool),
// loading + verifying + filling the report list, and sorting it by each column.
// Prints the ratios and the targets at the end.
#include "app/pageframe.h"
#include "filelists/filelistspage.h"
#include "filelists/listfile.h"
#include "filelists/listrecord.h"
#include "filelists/reportmodel.h"
#include "platform/startup.h"
#include "support/peers.h"
#include "support/standinframe.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>

#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr int kFolders = 2000;
constexpr int kFilesPerFolder = 50;

QString g_tree;
QString g_program; // with its FILELISTS folder holding big.lst, the tree's records

// 2,000 folders two levels deep, 50 pages each.
void makeTree(const QString &root)
{
    for (int folder = 0; folder < kFolders; ++folder) {
        const QString path = root + QStringLiteral("/part%1/folder%2").arg(folder % 40).arg(folder);
        QDir().mkpath(path);
        const QByteArray prefix = QFile::encodeName(path) + "/page";
        for (int file = 0; file < kFilesPerFolder; ++file) {
            const QByteArray name = prefix + QByteArray::number(file * 7919 % 1000) + ".htm";
            const int fd = ::open(name.constData(), O_CREAT | O_WRONLY, 0644);
            if (fd >= 0) {
                (void)::write(fd, "<p>", 3);
                ::close(fd);
            }
        }
    }
}

filelists::ScanOptions searchOptions()
{
    filelists::ScanOptions options;
    options.mask = QStringLiteral("*.htm");
    options.descendEverywhere = false;
    options.thumbFolder = app::thumbFolderOf(g_program + QLatin1Char('/'));
    return options;
}

// What "Search" does, pending events included: they run when the clock says so.
void BM_searchRecords(benchmark::State &state)
{
    qsizetype found = 0;
    for (auto _ : state) {
        QStringList records;
        filelists::appendFolderRecords(records, g_tree, true, searchOptions());
        found = records.size();
    }
    state.counters["records"] = double(found);
}

// The same without any events: the difference is what the clock checks cost.
void BM_searchRecordsWithoutEvents(benchmark::State &state)
{
    filelists::ScanOptions options = searchOptions();
    options.letEventsRun = [] {};
    options.eventInterval = 1 << 30;
    for (auto _ : state) {
        QStringList records;
        filelists::appendFolderRecords(records, g_tree, true, options);
    }
}

void BM_findTypeF(benchmark::State &state)
{
    const std::string tree = QFile::encodeName(g_tree).toStdString();
    for (auto _ : state)
        if (!benchsupport::runQuietly({ "find", tree, "-type", "f" }))
            state.SkipWithError("cannot run find");
}

// find reading the same facts a record needs: the size and the last-write time of each file.
void BM_findWithFacts(benchmark::State &state)
{
    const std::string tree = QFile::encodeName(g_tree).toStdString();
    for (auto _ : state)
        if (!benchsupport::runQuietly({ "find", tree, "-type", "f", "-printf", "%s %T@\n" }))
            state.SkipWithError("cannot run find");
}

void BM_batchSearch(benchmark::State &state)
{
    const std::string tool = QFile::encodeName(
        QCoreApplication::applicationDirPath() + QStringLiteral("/folioscope-batch"))
                                 .toStdString();
    const std::string tree = QFile::encodeName(g_tree).toStdString();
    for (auto _ : state)
        if (!benchsupport::runQuietly({ tool, "search", "--recursive", "--mask", "*.htm", tree }))
            state.SkipWithError("cannot run folioscope-batch");
}

struct PageStand {
    StandInFrame frame { g_program + QLatin1Char('/') };
    filelists::FileListsPage page { frame };

    PageStand()
    {
        frame.page = &page;
        frame.activePage = app::FileListsPage;
        page.resize(900, 600);
        page.show();
        page.fillSavedLists();
        page.LBListen->setCurrentRow(0);
        page.LBListen->item(0)->setSelected(true);
    }
};

// "Load List" on big.lst: read, fill, verify every entry against the disk, fill again.
void BM_loadVerifyFill(benchmark::State &state)
{
    PageStand stand;
    for (auto _ : state) {
        stand.page.BOpenListClick();
        QCoreApplication::processEvents();
    }
    state.counters["entries"] = double(stand.page.model()->rowCount());
}

void BM_sortByColumn(benchmark::State &state)
{
    PageStand stand;
    stand.page.BOpenListClick();
    const int column = int(state.range(0));
    for (auto _ : state) {
        stand.page.ELVReportColumnClick(column);
        QCoreApplication::processEvents();
    }
}

BENCHMARK(BM_searchRecords)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_searchRecordsWithoutEvents)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_batchSearch)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_findTypeF)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_findWithFacts)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_loadVerifyFill)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_sortByColumn)->DenseRange(0, 4)->Unit(benchmark::kMillisecond)->UseRealTime();

void printTarget(const char *what, double seconds, double limit)
{
    std::printf("%s: %.0f ms, target %.0f ms %s\n", what, seconds * 1000, limit * 1000,
        seconds > 0 && seconds <= limit ? "met" : "MISSED");
}

} // namespace

int main(int argc, char **argv)
{
    platform::prepareHeadlessApplicationStart();
    QApplication app(argc, argv);
    QTemporaryDir tree;
    QTemporaryDir program;
    if (!tree.isValid() || !program.isValid())
        return 1;
    g_tree = tree.path();
    g_program = program.path();
    makeTree(g_tree);
    QStringList records;
    filelists::appendFolderRecords(records, g_tree, true, searchOptions());
    QDir().mkpath(app::listsFolderOf(g_program + QLatin1Char('/')));
    QString error;
    if (!filelists::writeListFile(
            app::listsFolderOf(g_program + QLatin1Char('/')) + QStringLiteral("big.lst"), records,
            &error))
        return 1;

    benchmark::Initialize(&argc, argv);
    benchsupport::RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    const double find = reporter.realTime("BM_findTypeF");
    const double findFacts = reporter.realTime("BM_findWithFacts");
    std::printf("\n%lld files in %d folders\n", static_cast<long long>(records.size()), kFolders);
    for (const char *name : { "BM_searchRecords", "BM_batchSearch" }) {
        const double ours = reporter.realTime(name);
        if (find > 0 && findFacts > 0 && ours > 0)
            std::printf("%s %.0f ms; find -type f %.0f ms, ratio %.2f, target 2.00 %s; "
                        "find -printf '%%s %%T@' %.0f ms, ratio %.2f\n",
                name, ours * 1000, find * 1000, ours / find, ours <= 2 * find ? "met" : "MISSED",
                findFacts * 1000, ours / findFacts);
    }
    printTarget("load + verify + fill", reporter.realTime("BM_loadVerifyFill"), 2.0);
    for (int column = 0; column < filelists::ColumnCount; ++column)
        printTarget(("sort by column " + std::to_string(column)).c_str(),
            reporter.realTime("BM_sortByColumn/" + std::to_string(column)), 0.5);
    return 0;
}
