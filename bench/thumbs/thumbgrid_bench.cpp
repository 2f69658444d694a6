// The thumbnail grid on a folder of 10,000 pages that all have thumbnails: opening it (the
// entries and the first screenful), and scrolling one screenful at a time, each decoded from
// its JPEG files into the cache and drawn. Run with:
//   QT_QPA_PLATFORM=offscreen thumbgrid_bench
#include "imaging/jpegcodec.h"
#include "imaging/thumbstore.h"
#include "platform/startup.h"
#include "thumbs/imagecache.h"
#include "thumbs/thumbgrid.h"
#include "thumbs/thumblistmodel.h"

#include <QApplication>
#include <QDir>
#include <QPainter>
#include <QScrollBar>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

constexpr int kPages = 10000;

struct Folder {
    QTemporaryDir dir;
    QString thumbs = dir.filePath(QStringLiteral("THUMBS")) + QLatin1Char('/');
    QString site = dir.filePath(QStringLiteral("site"));
    QStringList names;
};

Folder *g_folder = nullptr;

// One small page picture per entry, each a little different, as real thumbnails are.
void fillFolder(Folder &folder)
{
    QDir().mkpath(imaging::ThumbFileFor(folder.thumbs, folder.site, QStringLiteral("x"))
                      .section(QLatin1Char('/'), 0, -2));
    QImage picture(thumbs::kThumbWidth, thumbs::kThumbHeight, QImage::Format_RGB32);
    for (int i = 0; i < kPages; ++i) {
        const QString name = QStringLiteral("page%1.htm").arg(i, 5, 10, QLatin1Char('0'));
        picture.fill(QColor::fromHsv(i % 360, 80, 240));
        QPainter painter(&picture);
        painter.drawText(picture.rect(), Qt::AlignCenter | Qt::TextWordWrap,
            QStringLiteral("A page of the manual, number %1, with some text").arg(i));
        painter.end();
        imaging::writeJpeg(picture, imaging::ThumbFileFor(folder.thumbs, folder.site, name), 70);
        folder.names.append(name);
    }
}

// The grid of the folder, shown, with its first screenful drawn.
struct OpenGrid {
    thumbs::ImageCache cache { 200 };
    thumbs::ThumbListModel model { g_folder->thumbs, cache };
    thumbs::ThumbGrid grid { model, cache };

    OpenGrid()
    {
        grid.resize(1024, 768);
        grid.show();
        model.setEntries(g_folder->site, g_folder->names);
        benchmark::DoNotOptimize(grid.viewport()->grab());
    }
};

void BM_OpenFolder(benchmark::State &state)
{
    for (auto _ : state) {
        OpenGrid open;
        benchmark::DoNotOptimize(open.cache.slotCount());
    }
}
BENCHMARK(BM_OpenFolder)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ScrollScreenful(benchmark::State &state)
{
    OpenGrid open;
    QScrollBar *bar = open.grid.verticalScrollBar();
    for (auto _ : state) {
        if (bar->value() >= bar->maximum())
            bar->setValue(0);
        bar->setValue(bar->value() + bar->pageStep());
        benchmark::DoNotOptimize(open.grid.viewport()->grab());
    }
    const auto [first, last] = open.grid.visibleRange();
    state.counters["entries_per_screen"] = last - first + 1;
    state.counters["pictures_decoded"] = open.cache.loadCounter();
}
BENCHMARK(BM_ScrollScreenful)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char **argv)
{
    platform::prepareHeadlessApplicationStart();
    QApplication app(argc, argv);
    Folder folder;
    fillFolder(folder);
    g_folder = &folder;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
