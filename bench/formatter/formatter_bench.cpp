#include "benchpage.h"

#include "formatter/formatselection.h"
#include "formatter/style.h"

#include <QCoreApplication>

#include <benchmark/benchmark.h>

namespace {

formatter::Style shippedStyle()
{
    formatter::Style style;
    style.options.lineSize = 80;
    style.options.spacing = 2;
    formatter::LoadStyle(style, QCoreApplication::applicationDirPath(), QString());
    formatter::LoadTrimTags(style, QCoreApplication::applicationDirPath());
    return style;
}

void formatPage(benchmark::State &state, formatter::FormatMode mode)
{
    static const QString page = benchmarkPage(2'000'000);
    formatter::Style style = shippedStyle();
    for (auto _ : state) {
        QString result = formatter::FormatSelection(style, page, QString(), mode);
        benchmark::DoNotOptimize(result);
    }
    state.SetBytesProcessed(state.iterations() * page.size());
}

void BM_Format(benchmark::State &state) { formatPage(state, formatter::FormatMode::Format); }
void BM_Compress(benchmark::State &state) { formatPage(state, formatter::FormatMode::Compress); }
void BM_Trim(benchmark::State &state) { formatPage(state, formatter::FormatMode::Trim); }

} // namespace

BENCHMARK(BM_Format)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Compress)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Trim)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
