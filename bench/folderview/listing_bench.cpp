// Opening a folder of 20,000 files: listMatchingFiles, and the main window filling its file
// list and sizing its thumbnail list, against `ls -f` of the same folder, in the same run.
// Prints the ratios of the real times at the end.
#include "app/mainwindow.h"
#include "folderview/folderlisting.h"
#include "folderview/folderviewpage.h"
#include "platform/startup.h"

#include <QApplication>
#include <QComboBox>
#include <QListWidget>

#include <QFile>
#include <QTemporaryDir>

#include "../../tests/support/widgetbyname.h"
#include "support/peers.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr int kFiles = 20000;
const QString kMask = QStringLiteral("*.htm;*.jpg;*.gif;*.asp;*.sht;*.dht;*.cfm;*.jht");

QTemporaryDir *g_folder = nullptr;

void fillFolder(const QString &path)
{
    static const char *const kinds[] = {".htm", ".html", ".HTM", ".jpg", ".gif", ".txt", ".css"};
    for (int i = 0; i < kFiles; ++i) {
        const QByteArray name =
            QFile::encodeName(path) + "/Page_" + QByteArray::number(i * 7919) + kinds[i % 7];
        const int fd = ::open(name.constData(), O_CREAT | O_WRONLY, 0644);
        if (fd >= 0)
            ::close(fd);
    }
}

void BM_listMatchingFiles(benchmark::State &state)
{
    qsizetype found = 0;
    for (auto _ : state) {
        const QStringList names = folderview::listMatchingFiles(g_folder->path(), kMask);
        found = names.size();
        benchmark::DoNotOptimize(names);
    }
    state.counters["files"] = double(found);
}

void BM_ls_f(benchmark::State &state)
{
    const std::string folder = QFile::encodeName(g_folder->path()).toStdString();
    for (auto _ : state) {
        if (!benchsupport::runQuietly({"ls", "-f", folder})) {
            state.SkipWithError("cannot run ls");
            break;
        }
    }
}

// What the user waits for: the folder list moves, the file list is filled (with icons) and
// the thumbnail list is sized.
void BM_openFolderInMainWindow(benchmark::State &state)
{
    QTemporaryDir program;
    app::MainWindow form(program.path(), {});
    form.show();
    form.handleActivation();
    auto *folderPage = dynamic_cast<folderview::FolderViewPage *>(form.pages().front());
    widget<QComboBox>(folderPage, "CBFilter")->setCurrentIndex(0);
    for (auto _ : state) {
        folderPage->changeFolder(program.path());
        folderPage->changeFolder(g_folder->path());
    }
    state.counters["files"] = double(widget<QListWidget>(folderPage, "LBFile")->count());
}

BENCHMARK(BM_openFolderInMainWindow)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_listMatchingFiles)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ls_f)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char **argv)
{
    platform::prepareHeadlessApplicationStart();
    QApplication app(argc, argv);
    QTemporaryDir folder;
    if (!folder.isValid())
        return 1;
    g_folder = &folder;
    fillFolder(folder.path());

    benchmark::Initialize(&argc, argv);
    benchsupport::RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    const auto ls = reporter.seconds.find("BM_ls_f/real_time");
    if (ls == reporter.seconds.end() || ls->second <= 0)
        return 0;
    for (const char *name : {"BM_listMatchingFiles", "BM_openFolderInMainWindow"}) {
        const auto ours = reporter.seconds.find(std::string(name) + "/real_time");
        if (ours == reporter.seconds.end())
            continue;
        std::printf("\n%d files: %s %.2f ms, ls -f %.2f ms, ratio %.2f, target 500 ms %s", kFiles,
                    name, ours->second * 1000, ls->second * 1000, ours->second / ls->second,
                    ours->second < 0.5 ? "met" : "MISSED");
    }
    std::printf("\n");
    return 0;
}
