// loadHtmlFile plus capture of a simple page at 640 x 480, one page per repetition, after a
// first page that starts the engine. Run with:
//   QT_QPA_PLATFORM=offscreen engine_bench --benchmark_repetitions=60
#include "engine/capturehost.h"
#include "engine/htmlview.h"
#include "platform/startup.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

engine::CaptureHost *host = nullptr;
QStringList pageFiles;

void writePages(const QTemporaryDir &dir)
{
    for (int i = 0; i < 100; ++i) {
        const QString path = dir.filePath(QStringLiteral("page%1.htm").arg(i));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            continue;
        file.write(QStringLiteral("<html><head><title>Page %1</title></head><body "
                                  "style='background:#%2'><h1>Page %1</h1><p>A simple page with "
                                  "a <a href='page%3.htm'>link</a>, a list and a table.</p>"
                                  "<ul><li>one<li>two<li>three</ul><table border=1><tr><td>a"
                                  "<td>b<tr><td>c<td>d</table></body></html>")
                       .arg(i)
                       .arg(i % 2 ? QStringLiteral("ffffff") : QStringLiteral("e0e0ff"))
                       .arg(i + 1)
                       .toUtf8());
        pageFiles.append(path);
    }
}

void BM_LoadAndCapture(benchmark::State &state)
{
    static int next = 1;
    for (auto _ : state) {
        const QString &file = pageFiles.at(next++ % pageFiles.size());
        if (!host->view()->loadHtmlFile(file))
            state.SkipWithError("page did not load");
        const QImage image = host->capture();
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_LoadAndCapture)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char **argv)
{
    platform::prepareHeadlessApplicationStart();
    QApplication app(argc, argv);
    QTemporaryDir dir;
    writePages(dir);
    engine::CaptureHost captureHost(QSize(640, 480));
    host = &captureHost;
    captureHost.view()->loadHtmlFile(pageFiles.first());
    captureHost.capture();

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
