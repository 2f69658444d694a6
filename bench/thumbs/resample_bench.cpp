// The resampler against libvips on the same pixels, one thread each:
//   page capture 1600 x 1200 -> thumbnail 130 x 100 (the thumbnail maker's case),
//   640 x 480 -> 130 x 100 (the smallest usual base size),
//   640 x 480 -> 1200 x 900 (a snapshot enlarged).
// vips_reduce is exact like ours; vips_resize shrinks by boxes first and is not.
// --vector-target=AVX2 (or another of imaging::vectorTargets()) limits our side to that
// instruction set.
#include "imaging/resample.h"

#include <QRandomGenerator>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>

#ifdef FOLIOSCOPE_BENCH_VIPS
#include <vips/vips.h>
#endif

namespace {

double processCpuSeconds()
{
    timespec now {};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

// CPU time of every thread of the process per round: libvips computes in a worker thread, so
// the main thread's CPU time says nothing about it, and real time suffers when the machine is
// busy with other work.
struct ProcessCpu {
    benchmark::State &state;
    double start = processCpuSeconds();
    ~ProcessCpu()
    {
        state.counters["cpu_ms_all_threads"] = benchmark::Counter(
            (processCpuSeconds() - start) * 1000.0, benchmark::Counter::kAvgIterations);
    }
};

// A page-like picture: flat areas, hard edges and some noise, so no pass can take a short cut.
QImage pagePicture(int width, int height, QImage::Format format)
{
    QImage image(width, height, QImage::Format_RGB32);
    QRandomGenerator random(1234);
    for (int y = 0; y < height; ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const bool text = (y / 12) % 3 == 0 && (x / 5) % 4 != 0;
            const int noise = int(random.bounded(16));
            line[x] = text ? qRgb(20 + noise, 20, 30) : qRgb(250 - noise, 248, x * 255 / width);
        }
    }
    return image.convertToFormat(format);
}

void runOurs(benchmark::State &state, int sw, int sh, int dw, int dh, QImage::Format format)
{
    const QImage source = pagePicture(sw, sh, format);
    const imaging::FilterEntry &lanczos = imaging::FilterCatalog[imaging::kLanczos3];
    const ProcessCpu cpu { state };
    for (auto _ : state) {
        QImage destination(dw, dh, QImage::Format_RGB888);
        if (!imaging::ResampleBitmap(source, destination, lanczos.filter, lanczos.support))
            state.SkipWithError("ResampleBitmap failed");
        benchmark::DoNotOptimize(destination.constBits());
    }
}

BENCHMARK_CAPTURE(runOurs, 1600x1200_to_130x100, 1600, 1200, 130, 100, QImage::Format_RGB32)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(runOurs, 1600x1200_to_130x100_24bit, 1600, 1200, 130, 100, QImage::Format_RGB888)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(runOurs, 640x480_to_130x100, 640, 480, 130, 100, QImage::Format_RGB32)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(runOurs, 640x480_to_1200x900, 640, 480, 1200, 900, QImage::Format_RGB32)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

#ifdef FOLIOSCOPE_BENCH_VIPS

enum class VipsWay { Reduce, Resize };

// The same pixels as three-band bytes; each round builds the pipeline and computes it into
// memory, with the operation cache off so that nothing is reused between rounds.
void runVips(benchmark::State &state, int sw, int sh, int dw, int dh, VipsWay way)
{
    const QImage source = pagePicture(sw, sh, QImage::Format_RGB888);
    QByteArray packed;
    for (int y = 0; y < sh; ++y)
        packed.append(reinterpret_cast<const char *>(source.constScanLine(y)), qsizetype(sw) * 3);
    const ProcessCpu cpu { state };
    for (auto _ : state) {
        VipsImage *in = vips_image_new_from_memory(
            packed.constData(), size_t(packed.size()), sw, sh, 3, VIPS_FORMAT_UCHAR);
        VipsImage *out = nullptr;
        const int failed = way == VipsWay::Reduce
            ? vips_reduce(
                in, &out, double(sw) / dw, double(sh) / dh, "kernel", VIPS_KERNEL_LANCZOS3, nullptr)
            : vips_resize(in, &out, double(dw) / sw, "vscale", double(dh) / sh, "kernel",
                VIPS_KERNEL_LANCZOS3, nullptr);
        size_t size = 0;
        void *pixels = failed ? nullptr : vips_image_write_to_memory(out, &size);
        if (!pixels || out->Xsize != dw || out->Ysize != dh)
            state.SkipWithError("libvips failed or gave another size");
        benchmark::DoNotOptimize(pixels);
        g_free(pixels);
        if (out)
            g_object_unref(out);
        g_object_unref(in);
    }
}

// vips_reduce only shrinks; the enlargement goes through vips_resize alone.
BENCHMARK_CAPTURE(runVips, reduce_1600x1200_to_130x100, 1600, 1200, 130, 100, VipsWay::Reduce)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(runVips, resize_1600x1200_to_130x100, 1600, 1200, 130, 100, VipsWay::Resize)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(runVips, reduce_640x480_to_130x100, 640, 480, 130, 100, VipsWay::Reduce)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(runVips, resize_640x480_to_130x100, 640, 480, 130, 100, VipsWay::Resize)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(runVips, resize_640x480_to_1200x900, 640, 480, 1200, 900, VipsWay::Resize)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

#endif

} // namespace

// --vector-target=NAME runs our side with one instruction set of imaging::vectorTargets().
bool chooseVectorTarget(int &argc, char **argv)
{
    const char *const flag = "--vector-target=";
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], flag, std::strlen(flag)) != 0)
            continue;
        const std::string name = argv[i] + std::strlen(flag);
        std::copy(argv + i + 1, argv + argc, argv + i);
        --argc;
        if (imaging::useVectorTarget(name))
            return true;
        std::string known;
        for (const std::string &target : imaging::vectorTargets())
            known += " " + target;
        std::fprintf(stderr, "unknown vector target %s; this processor runs:%s\n", name.c_str(),
            known.c_str());
        return false;
    }
    return true;
}

int main(int argc, char **argv)
{
    if (!chooseVectorTarget(argc, argv))
        return 1;
#ifdef FOLIOSCOPE_BENCH_VIPS
    if (VIPS_INIT(argv[0]))
        return 1;
    vips_concurrency_set(1);
    vips_cache_set_max(0);
#endif
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
