#include "enginetestutil.h"

#include "engine/capturehost.h"
#include "engine/htmlview.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

// A 1x1 PNG.
const QByteArray tinyPng = QByteArray::fromBase64(
    "iVBORw0KGgoAAAANSUhEUgAAAAEAAAABCAIAAACQd1PeAAAADElEQVR4nGP4z8AAAAMBAQDJ/pLvAAAAAElFTkSuQmCC");

QByteArray randomBytes(int size)
{
    QByteArray bytes(size, '\0');
    QRandomGenerator generator(7);
    for (char &byte : bytes)
        byte = char(generator.bounded(256));
    return bytes;
}

QByteArray manyPictures()
{
    QByteArray html = "<html><body>";
    for (int i = 0; i < 10000; ++i)
        html += (i % 2 ? "<img src='dot.png'>" : "<img src='missing") + QByteArray::number(i)
            + (i % 2 ? "" : ".png'>");
    return html + "</body></html>";
}

QByteArray hugePage()
{
    QByteArray html = "<html><body>";
    const QByteArray line = "<p>A line of text in a very large page, repeated many times.</p>\n";
    html.reserve(50 * 1024 * 1024 + 100);
    while (html.size() < 50 * 1024 * 1024)
        html += line;
    return html + "</body></html>";
}

// Each input must come back within its time and leave the view able to show the next page.
TEST(BadInputTest, NothingCrashesOrHangs)
{
    struct Row {
        const char *name;
        QString file;
        QByteArray content; // empty: the file is not written
        int timeoutMs;
    };
    PageFolder pages;
    pages.write(QStringLiteral("dot.png"), tinyPng);
    const QString good = pages.write(
        QStringLiteral("good.htm"), "<html><body style='background:#00ff00'></body></html>");
    const Row rows[] = {
        { "missing file", QStringLiteral("missing.htm"), {}, 10000 },
        { "binary file named as a page", QStringLiteral("binary.htm"), randomBytes(1 << 20),
            10000 },
        { "binary file", QStringLiteral("binary.dat"), randomBytes(1 << 20), 10000 },
        { "frameset that includes itself", QStringLiteral("self.htm"),
            "<html><frameset rows='50%,*'><frame src='self.htm'><frame src='self.htm'></frameset>"
            "</html>",
            10000 },
        { "10,000 pictures", QStringLiteral("pictures.htm"), manyPictures(), 10000 },
        { "endless script", QStringLiteral("endless.htm"),
            "<html><body>before<script>for (;;) {}</script>after</body></html>", 1500 },
        { "picture on a dead host", QStringLiteral("dead.htm"),
            "<html><body><img src='http://10.255.255.1/picture.png'></body></html>", 1500 },
        { "50 MB page", QStringLiteral("huge.htm"), hugePage(), 10000 },
    };
    engine::CaptureHost host(QSize(320, 240));
    engine::HtmlView &view = *host.view();
    for (const Row &row : rows) {
        const QString file
            = row.content.isEmpty() ? pages.path(row.file) : pages.write(row.file, row.content);
        view.setLoadTimeout(row.timeoutMs);
        QElapsedTimer timer;
        timer.start();
        view.loadHtmlFile(file);
        // A guard against a hang, not a measure of speed: generous for a loaded machine.
        EXPECT_LT(timer.elapsed(), row.timeoutMs + 30000) << row.name;
        EXPECT_FALSE(view.isProcessing()) << row.name;
        view.capture();

        view.setLoadTimeout(engine::HtmlView::DefaultLoadTimeoutMs);
        EXPECT_TRUE(view.loadHtmlFile(good)) << "after " << row.name;
        // A busy machine may show the page later than the load's frame wait.
        EXPECT_TRUE(waitFor(
            [&] { return sameColor(host.capture().pixel(100, 100), qRgb(0, 255, 0)); }, 3000))
            << row.name;
    }
}

// How a load ends, and how long the view waits: a page's request to close does not cut its
// load short, and a stop from the user ends the wait at once whatever the page does.
TEST(BadInputTest, HowALoadEnds)
{
    struct Row {
        const char *name;
        QByteArray content;
        int stopAfterMs; // 0: nobody stops it
        engine::CaptureOutcome outcome;
        int withinMs;
    };
    const QByteArray endless = "<html><body>x<script>for (;;) {}</script></body></html>";
    const Row rows[] = {
        { "closes itself while loading",
            "<html><body style='background:#00ff00'>x<script>window.close()</script>"
            "<img src='missing.png'></body></html>",
            0, engine::CaptureOutcome::Done, engine::HtmlView::DefaultLoadTimeoutMs },
        { "endless script stopped by the user", endless, 300, engine::CaptureOutcome::Stopped,
            3000 },
        { "endless script", endless, 0, engine::CaptureOutcome::Unfinished,
            engine::HtmlView::DefaultLoadTimeoutMs + 30000 },
    };
    PageFolder pages;
    for (const Row &row : rows) {
        engine::CaptureHost host(QSize(320, 240));
        engine::HtmlView &view = *host.view();
        bool stopped = false;
        view.setStopCheck([&stopped] { return stopped; });
        if (row.stopAfterMs > 0)
            QTimer::singleShot(row.stopAfterMs, &host, [&stopped] { stopped = true; });
        QElapsedTimer timer;
        timer.start();
        view.loadHtmlFile(pages.write(QStringLiteral("page.htm"), row.content));
        EXPECT_LT(timer.elapsed(), row.withinMs) << row.name;
        EXPECT_EQ(view.loadOutcome(), row.outcome) << row.name;
    }
}

// A page that reloads itself at once is shown, and then left alone: the view does not go on
// loading it, so the windows stay responsive and the viewer may open.
TEST(BadInputTest, APageThatReloadsItselfSettles)
{
    const QByteArray rows[] = {
        "<html><head><meta http-equiv='refresh' content='0;url=again.htm'></head>"
        "<body>again</body></html>",
        "<html><body onload='location.reload()'>again</body></html>",
    };
    for (const QByteArray &content : rows) {
        PageFolder pages;
        const QString page = pages.write(QStringLiteral("again.htm"), content);
        engine::HtmlView view;
        view.resize(320, 240);
        view.show();
        int loads = 0;
        QObject::connect(&view, &engine::HtmlView::processingChanged,
            [&loads](bool processing) { loads += processing ? 1 : 0; });
        view.loadHtmlFile(page);
        EXPECT_TRUE(waitFor([&] { return !view.isProcessing(); }, 5000)) << content.constData();
        spin(200); // a reload still on its way
        const int settled = loads;
        spin(1500);
        EXPECT_EQ(loads, settled) << content.constData();
        EXPECT_FALSE(view.isProcessing()) << content.constData();
    }
}

TEST(BadInputTest, EmptyPathLoadsNothing)
{
    engine::HtmlView view;
    EXPECT_FALSE(view.loadHtmlFile(QString()));
    EXPECT_TRUE(view.currentFile().isEmpty());
}

} // namespace
