// The comparison of two renders against odiff, side by side on the same pairs of 1280 x 2000
// pictures, threshold 0.1, anti-aliased pixels ignored on both sides. odiff runs as the program
// it is (decode both PNG files, compare, write the difference PNG); ours is timed the same
// way, and once more for the comparison alone.
//
// usage: imagediff_bench [ODIFF] [google benchmark flags]   (ODIFF: path to the odiff program;
// bench/visualcheck/run_imagediff_bench.sh installs it from npm)
#include "support/peers.h"

#include "imaging/imagediff.h"

#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <cstdio>

namespace {

constexpr int kWidth = 1280;
constexpr int kHeight = 2000;

std::string g_odiff;
QString g_folder;

// A documentation-like page: a heading bar, paragraphs of anti-aliased text, pictures.
QImage renderPage(int variant)
{
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.fillRect(0, 0, kWidth, 64, QColor(32, 40, 72));
    painter.setFont(QFont(QStringLiteral("DejaVu Sans"), 11));
    const QString words = QStringLiteral("The quick brown fox jumps over the lazy dog while the site is "
                                         "built from folders of pages, each linked to the next. ");
    for (int line = 0; line < 90; ++line) {
        // Variant 1 recolours one word; variant 2 moves one paragraph down a pixel.
        const int shift = variant == 2 && line >= 30 && line < 40 ? 1 : 0;
        painter.setPen(variant == 1 && line == 50 ? QColor(200, 30, 30) : QColor(40, 40, 40));
        painter.drawText(40, 100 + line * 20 + shift, words + words.left(40 + line % 30));
    }
    for (int block = 0; block < 4; ++block)
        painter.fillRect(900, 200 + block * 420, 300, 200, QColor(60 + block * 40, 110, 190));
    if (variant == 3)
        painter.fillRect(900, 1040, 300, 200, Qt::white); // a picture removed
    return image;
}

struct Pair {
    QString before;
    QString after;
    QImage beforeImage;
    QImage afterImage;
};
std::vector<Pair> g_pairs;

void makePairs()
{
    const QImage base = renderPage(0);
    base.save(g_folder + QStringLiteral("/base.png"));
    for (int variant = 0; variant <= 3; ++variant) {
        const QString after = g_folder + QStringLiteral("/variant%1.png").arg(variant);
        renderPage(variant).save(after);
        g_pairs.push_back({ g_folder + QStringLiteral("/base.png"), after,
            QImage(g_folder + QStringLiteral("/base.png")), QImage(after) });
    }
}

void BM_oursCompareOnly(benchmark::State &state)
{
    const Pair &pair = g_pairs[size_t(state.range(0))];
    for (auto _ : state)
        benchmark::DoNotOptimize(imaging::compareImages(pair.beforeImage, pair.afterImage));
}

void BM_oursFiles(benchmark::State &state)
{
    const Pair &pair = g_pairs[size_t(state.range(0))];
    const QString out = g_folder + QStringLiteral("/ours-diff.png");
    for (auto _ : state) {
        const QImage before(pair.before);
        const QImage after(pair.after);
        const imaging::ImageDiff diff = imaging::compareImages(before, after);
        if (diff.changed())
            imaging::differencePicture(before, after, diff).save(out);
    }
}

void BM_odiff(benchmark::State &state)
{
    const Pair &pair = g_pairs[size_t(state.range(0))];
    const std::string out = QString(g_folder + QStringLiteral("/odiff-diff.png")).toStdString();
    for (auto _ : state)
        if (!benchsupport::runQuietly({ g_odiff, pair.before.toStdString(), pair.after.toStdString(), out,
                "--threshold", "0.1", "--antialiasing" }))
            state.SkipWithError("odiff cannot be started");
}

void pairs(benchmark::internal::Benchmark *bench)
{
    bench->DenseRange(0, 3)->UseRealTime()->Unit(benchmark::kMillisecond);
}

BENCHMARK(BM_oursCompareOnly)->Apply(pairs);
BENCHMARK(BM_oursFiles)->Apply(pairs);
BENCHMARK(BM_odiff)->Apply(pairs);

const char *const kPairNames[] = { "same", "one word recoloured", "a paragraph 1 px lower",
    "a picture removed" };

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTemporaryDir folder;
    if (!folder.isValid())
        return 1;
    g_folder = folder.path();
    if (argc > 1 && argv[1][0] != '-') {
        g_odiff = argv[1];
        --argc;
        ++argv;
    }
    makePairs();
    if (g_odiff.empty())
        benchmark::AddCustomContext("odiff", "not given: only our side runs");
    benchmark::Initialize(&argc, argv);
    benchsupport::RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    std::printf("\npair                      odiff ms  ours files ms  ratio  ours compare ms  ratio\n");
    for (int pair = 0; pair < 4; ++pair) {
        const double peer = reporter.realTime("BM_odiff/" + std::to_string(pair));
        const double files = reporter.realTime("BM_oursFiles/" + std::to_string(pair));
        const double compare = reporter.realTime("BM_oursCompareOnly/" + std::to_string(pair));
        std::printf("%-24s %9.1f %14.1f %6.1f %16.2f %6.1f\n", kPairNames[pair], peer * 1000, files * 1000,
            files > 0 ? peer / files : 0.0, compare * 1000, compare > 0 ? peer / compare : 0.0);
    }
    return 0;
}
