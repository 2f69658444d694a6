// The file lists at 100,000 entries: a recursive search of 2,000 folders against
// `find DIR -type f` on the same tree in the same run (in-process, through the page, and as
// the batch tool), loading + verifying + filling the report list, and sorting it by each
// column. Prints the ratios and the targets at the end.
#include "../../tests/support/widgetbyname.h"
#include "filelists/filelistspage.h"
#include "filelists/listnamedialog.h"
#include "filelists/reportmodel.h"
#include "filelists/searchdialog.h"
#include "frame/datafolders.h"
#include "platform/dialogs.h"
#include "platform/startup.h"
#include "scan/listfile.h"
#include "scan/listrecord.h"
#include "support/peers.h"
#include "support/standinframe.h"

#include <QApplication>
#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <ctime>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int kFolders = 2000;
constexpr int kFilesPerFolder = 50;

QString g_tree;
QString g_program; // with its FILELISTS folder holding big.lst, the tree's records

// 2,000 folders two levels deep, 50 pages each, of many sizes, names and times, as sorting
// a real list meets them. The sizes cost no memory: the files are sparse.
void makeTree(const QString &root)
{
    const time_t now = ::time(nullptr);
    for (int folder = 0; folder < kFolders; ++folder) {
        const QString path = root + QStringLiteral("/part%1/folder%2").arg(folder % 40).arg(folder);
        QDir().mkpath(path);
        const QByteArray prefix = QFile::encodeName(path) + "/page";
        for (int file = 0; file < kFilesPerFolder; ++file) {
            const int serial = folder * kFilesPerFolder + file;
            const QByteArray name = prefix + QByteArray::number(serial * 7919 % 100003) + ".htm";
            const int fd = ::open(name.constData(), O_CREAT | O_WRONLY, 0644);
            if (fd < 0)
                continue;
            (void)::ftruncate(fd, serial * 37 % 65536);
            const timespec times[2] = { { now, 0 }, { now - serial * 61, 0 } };
            ::futimens(fd, times);
            ::close(fd);
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

// The scan alone, reading the facts but making no records.
void BM_scanOnly(benchmark::State &state)
{
    filelists::ScanOptions options = searchOptions();
    options.letEventsRun = [] {};
    for (auto _ : state)
        filelists::ScanFolder(g_tree, options,
            [](const QString &, const QString &, const filelists::EntryFacts &) {});
}
// The least any search that writes records can do: list each folder and look once at each
// file, without names, masks or records.
long long statEveryFile(int fd)
{
    DIR *listing = ::fdopendir(fd);
    if (!listing) {
        ::close(fd);
        return 0;
    }
    long long files = 0;
    while (const dirent *entry = ::readdir(listing)) {
        if (entry->d_name[0] == '.')
            continue;
        if (entry->d_type == DT_DIR) {
            const int child = ::openat(fd, entry->d_name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW);
            if (child >= 0)
                files += statEveryFile(child);
            continue;
        }
        struct statx info {
        };
        files += ::statx(fd, entry->d_name, 0, STATX_SIZE | STATX_MTIME, &info) == 0;
    }
    ::closedir(listing);
    return files;
}

void BM_statEveryFile(benchmark::State &state)
{
    const QByteArray tree = QFile::encodeName(g_tree);
    long long files = 0;
    for (auto _ : state)
        files = statEveryFile(::open(tree.constData(), O_RDONLY | O_DIRECTORY));
    state.counters["files"] = double(files);
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

// Answers the search form with "include sub-folders" and declines to save the result.
class SearchDialogs : public platform::SilentDialogs
{
public:
    int execDialog(QDialog &dialog) override
    {
        auto *search = qobject_cast<filelists::SearchDialog *>(&dialog);
        if (!search)
            return QDialog::Rejected;
        widget<QCheckBox>(search, "CBIncludeSub")->setChecked(true);
        widget<QCheckBox>(search, "CBAdd")->setChecked(false);
        return QDialog::Accepted;
    }
};

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
        page.resize(900, 600);
        page.show();
        page.fillSavedLists();
        widget<QListWidget>(&page, "LBListen")->setCurrentRow(0);
        widget<QListWidget>(&page, "LBListen")->item(0)->setSelected(true);
    }
};

// "Load List" on big.lst: read, fill, verify every entry against the disk, fill again.
void BM_loadVerifyFill(benchmark::State &state)
{
    PageStand stand;
    for (auto _ : state) {
        stand.page.openList();
        QCoreApplication::processEvents();
    }
    state.counters["entries"] = double(stand.page.model()->rowCount());
}

// "Search" in the window: the scan letting events run, the list filled from its records.
void BM_pageSearch(benchmark::State &state)
{
    SearchDialogs dialogs;
    platform::setDialogs(&dialogs);
    {
        PageStand stand;
        stand.frame.folder = g_tree;
        for (auto _ : state) {
            stand.page.searchFiles();
            QCoreApplication::processEvents();
        }
        state.counters["entries"] = double(stand.page.model()->rowCount());
    }
    platform::setDialogs(nullptr);
}

void BM_sortByColumn(benchmark::State &state)
{
    PageStand stand;
    stand.page.openList();
    const int column = int(state.range(0));
    for (auto _ : state) {
        stand.page.sortByColumn(column);
        QCoreApplication::processEvents();
    }
}

// The CPU column counts every thread of the process: the facts are read on two.
BENCHMARK(BM_searchRecords)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();
BENCHMARK(BM_searchRecordsWithoutEvents)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();
BENCHMARK(BM_scanOnly)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();
BENCHMARK(BM_statEveryFile)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();
BENCHMARK(BM_pageSearch)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();
BENCHMARK(BM_batchSearch)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_findTypeF)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_findWithFacts)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_loadVerifyFill)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_sortByColumn)->DenseRange(0, 4)->Unit(benchmark::kMillisecond)->UseRealTime();

// The figures follow the load of the machine: the other programs' share of its cores.
void printLoadAverage(const char *when)
{
    QFile loadavg(QStringLiteral("/proc/loadavg"));
    if (loadavg.open(QIODevice::ReadOnly))
        std::printf("load average %s: %s", when, loadavg.readLine().constData());
}

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
    printLoadAverage("before");
    benchsupport::RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    printLoadAverage("after");

    const double find = reporter.realTime("BM_findTypeF");
    const double findFacts = reporter.realTime("BM_findWithFacts");
    std::printf("\n%lld files in %d folders\n", static_cast<long long>(records.size()), kFolders);
    for (const char *name : { "BM_searchRecords/process_time", "BM_pageSearch/process_time",
             "BM_batchSearch", "BM_statEveryFile/process_time" }) {
        const double ours = reporter.realTime(name);
        if (find > 0 && findFacts > 0 && ours > 0)
            std::printf("%s %.0f ms; find -type f %.0f ms, ratio %.2f, target 2.00 %s; "
                        "find -printf '%%s %%T@' %.0f ms, ratio %.2f\n",
                name, ours * 1000, find * 1000, ours / find, ours <= 2 * find ? "met" : "MISSED",
                findFacts * 1000, ours / findFacts);
    }
    const double walk = reporter.realTime("BM_statEveryFile/process_time");
    const double search = reporter.realTime("BM_searchRecords/process_time");
    if (walk > 0 && search > 0)
        std::printf("search against the bare one-thread walk: ratio %.2f\n", search / walk);
    printTarget("load + verify + fill", reporter.realTime("BM_loadVerifyFill"), 2.0);
    for (int column = 0; column < filelists::ColumnCount; ++column)
        printTarget(("sort by column " + std::to_string(column)).c_str(),
            reporter.realTime("BM_sortByColumn/" + std::to_string(column)), 0.5);
    return 0;
}
