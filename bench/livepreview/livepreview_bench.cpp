// From a write of the page on disk to the first frame the view paints with the new content,
// through the internal browser following the disk, offscreen. Then the page rewritten 100 times
// a second: reloads a second, how late the event loop handles input meanwhile, and whether the
// last content is shown. Run with:
//   QT_QPA_PLATFORM=offscreen livepreview_bench [WRITES]
#include "engine/capturehost.h"
#include "engine/htmlview.h"
#include "platform/startup.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

const QRgb colours[] = { qRgb(200, 30, 30), qRgb(30, 30, 200) };

// A page of some substance (a heading, text, a table) whose background says which write it is.
QByteArray pageWith(QRgb colour, int serial)
{
    QString rows;
    for (int i = 0; i < 40; ++i)
        rows += QStringLiteral("<tr><td>row %1</td><td>some text in a cell</td></tr>").arg(i);
    return QStringLiteral("<html><head><title>Write %1</title></head><body style='background:%2'>"
                          "<h1>Write %1</h1><p>A page rewritten by an editor.</p>"
                          "<table border=1>%3</table></body></html>")
        .arg(serial)
        .arg(QColor(colour).name(), rows)
        .toUtf8();
}

bool writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

bool closeTo(QRgb a, QRgb b)
{
    return qAbs(qRed(a) - qRed(b)) < 8 && qAbs(qGreen(a) - qGreen(b)) < 8
        && qAbs(qBlue(a) - qBlue(b)) < 8;
}

// Runs events until the view's painted frame shows the colour at a point of the background;
// the milliseconds it took, or -1 after timeoutMs.
double waitForColour(engine::CaptureHost &host, QRgb colour, const QElapsedTimer &since,
    int timeoutMs)
{
    const QPoint probe(600, 20);
    while (since.elapsed() < timeoutMs) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
        if (closeTo(host.capture().pixel(probe), colour))
            return double(since.nsecsElapsed()) / 1e6;
    }
    return -1;
}

double percentile(std::vector<double> values, double p)
{
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, size_t(p * double(values.size())))];
}

// Each write waits for the last to be painted, and then for gapMs more: the view reloads at
// most ten times a second, so writes back to back (gap 0) wait for that turn as well.
void measureWrites(
    engine::CaptureHost &host, const QString &page, int writes, int gapMs, const char *name)
{
    std::vector<double> latencies, started, loaded;
    int missed = 0;
    QElapsedTimer *current = nullptr;
    QObject scope; // the connections end with this function

    QObject::connect(host.view(), &engine::HtmlView::processingChanged, &scope, [&](bool on) {
        if (on && current)
            started.push_back(double(current->nsecsElapsed()) / 1e6);
    });
    QObject::connect(host.view(), &engine::HtmlView::reloadedFromDisk, &scope, [&] {
        if (current)
            loaded.push_back(double(current->nsecsElapsed()) / 1e6);
    });
    static int serial = 0; // shown now: colours[0]
    for (int i = 1; i <= writes; ++i) {
        const QRgb colour = colours[++serial % 2];
        QElapsedTimer gap;
        gap.start();
        while (gap.elapsed() < gapMs)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QElapsedTimer since;
        since.start();
        current = &since;
        writeFile(page, pageWith(colour, serial));
        const double ms = waitForColour(host, colour, since, 3000);
        if (ms < 0)
            ++missed;
        else
            latencies.push_back(ms);
    }
    current = nullptr;
    if (!started.empty() && !loaded.empty())
        std::printf("  (from the write: reload started, median %.1f ms; loaded, median %.1f ms)\n",
            percentile(started, 0.5), percentile(loaded, 0.5));
    if (latencies.empty()) {
        std::printf("folioscope: no write was shown\n");
        return;
    }
    std::printf("folioscope  write -> painted frame, %d writes %s: median %.1f ms, p95 %.1f ms, "
                "max %.1f ms, not shown within 3 s: %d\n",
        writes, name, percentile(latencies, 0.5), percentile(latencies, 0.95),
        *std::max_element(latencies.begin(), latencies.end()), missed);
}

// 100 writes a second for two seconds; a timer standing for input every 10 ms.
void measureStorm(engine::CaptureHost &host, const QString &page)
{
    const QRgb lastColour = qRgb(30, 160, 30);
    int reloads = 0;
    QObject::connect(host.view(), &engine::HtmlView::reloadedFromDisk, host.view(),
        [&] { ++reloads; });
    QElapsedTimer clock;
    clock.start();
    qint64 lastTick = 0;
    qint64 worstGap = 0;
    int written = 0;
    QTimer writer;
    writer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&writer, &QTimer::timeout, [&] {
        ++written;
        // The last write has a colour of its own, so that only it can pass the last check.
        writeFile(page, pageWith(written == 200 ? lastColour : colours[written % 2], 1000 + written));
        if (written == 200)
            writer.stop();
    });
    QTimer input;
    input.setTimerType(Qt::PreciseTimer);
    QObject::connect(&input, &QTimer::timeout, [&] {
        const qint64 now = clock.elapsed();
        worstGap = std::max(worstGap, now - lastTick);
        lastTick = now;
    });
    writer.start(10);
    input.start(10);
    while (writer.isActive())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    const qint64 stormMs = clock.elapsed();
    const int stormReloads = reloads;
    input.stop();
    QElapsedTimer since;
    since.start();
    const bool lastShown = waitForColour(host, lastColour, since, 3000) >= 0;
    std::printf("folioscope  100 writes/s for %.1f s: %d reloads (%.1f a second), input "
                "handled at most %lld ms late (10 ms timer), last content shown: %s\n",
        double(stormMs) / 1000.0, stormReloads, stormReloads * 1000.0 / double(stormMs),
        (long long)std::max<qint64>(0, worstGap - 10), lastShown ? "yes" : "NO");
}

} // namespace

int main(int argc, char **argv)
{
    platform::prepareHeadlessApplicationStart();
    QApplication app(argc, argv);
    const int writes = argc > 1 ? std::max(1, QString::fromLocal8Bit(argv[1]).toInt()) : 200;
    QTemporaryDir dir;
    const QString page = dir.filePath(QStringLiteral("page.htm"));
    writeFile(page, pageWith(colours[0], 0));
    engine::CaptureHost host(QSize(640, 480));
    host.view()->setFollowDisk(true);
    if (!host.view()->loadHtmlFile(page)) {
        std::fprintf(stderr, "the page did not load\n");
        return 1;
    }
    measureWrites(host, page, writes, 100, "after a pause");
    measureWrites(host, page, writes, 0, "back to back");
    measureStorm(host, page);
    return 0;
}
