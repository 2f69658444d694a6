#include "enginetestutil.h"

#include "engine/capturehost.h"
#include "engine/htmlview.h"

#include <QElapsedTimer>

#include <memory>
#include <vector>

#include <gtest/gtest.h>

namespace {

constexpr QRgb red = qRgb(255, 0, 0);

bool columnIs(const QImage &image, int x, QRgb color, int y0, int y1)
{
    for (int y = y0; y < y1; ++y) {
        if (!sameColor(image.pixel(x, y), color))
            return false;
    }
    return true;
}

TEST(CaptureTest, CaptureShowsThePageAtTheHostSize)
{
    PageFolder pages;
    const QString file = pages.write(
        QStringLiteral("red.htm"), "<html><body style='background:red'></body></html>");
    engine::CaptureHost host(QSize(640, 480));
    ASSERT_TRUE(host.view()->loadHtmlFile(file));
    const QImage shot = host.capture();
    ASSERT_EQ(shot.size(), QSize(640, 480));
    for (const QPoint &p :
        { QPoint(0, 0), QPoint(639, 0), QPoint(320, 240), QPoint(0, 479), QPoint(639, 479) })
        EXPECT_TRUE(sameColor(shot.pixel(p), red)) << p.x() << "," << p.y();

    // Another page right away: the capture never shows the previous one.
    const QString blue = pages.write(
        QStringLiteral("blue.htm"), "<html><body style='background:#0000ff'></body></html>");
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(host.view()->loadHtmlFile(i % 2 ? file : blue));
        EXPECT_TRUE(sameColor(host.capture().pixel(320, 240), i % 2 ? red : qRgb(0, 0, 255)));
    }
}

TEST(CaptureTest, ScrollBarsAreSixteenPixelsAndFollowTheHostSize)
{
    PageFolder pages;
    const QString file = pages.write(QStringLiteral("big.htm"),
        "<html><body style='background:red;margin:0'><div style='width:3000px;height:3000px'>"
        "</div></body></html>");
    engine::CaptureHost host(QSize(400, 300));
    ASSERT_TRUE(host.view()->loadHtmlFile(file));

    for (const QSize size : { QSize(400, 300), QSize(640, 480) }) {
        host.setClientSize(size);
        host.view()->waitForFrame();
        const QImage shot = host.capture();
        ASSERT_EQ(shot.size(), size);
        const int w = size.width(), h = size.height();
        SCOPED_TRACE(w);
        const int bar = engine::HtmlView::ScrollBarExtent;
        EXPECT_TRUE(columnIs(shot, w - bar - 1, red, 20, h - bar - 20)) << "page up to the bar";
        // The bar's track and buttons are not the page.
        EXPECT_FALSE(sameColor(shot.pixel(w - bar, h / 2), red, 60));
        EXPECT_FALSE(sameColor(shot.pixel(w - 1, h / 2), red, 60));
        EXPECT_TRUE(sameColor(shot.pixel(w / 2, h - bar - 1), red));
        EXPECT_FALSE(sameColor(shot.pixel(w / 2, h - bar), red, 60));
        EXPECT_FALSE(sameColor(shot.pixel(w / 2, h - 1), red, 60));
    }
}

// Views loading at once are waited for in any order, long after their loads ended or before;
// each capture shows its own page, its picture included, never the page it showed before.
TEST(CaptureTest, ViewsLoadingSideBySideAreCapturedInAnyOrder)
{
    PageFolder pages;
    const QList<QRgb> colors = { qRgb(255, 0, 0), qRgb(0, 160, 0), qRgb(0, 0, 255) };
    QStringList files;
    for (int i = 0; i < colors.size(); ++i) {
        QImage picture(8, 8, QImage::Format_RGB32);
        picture.fill(colors.at(i));
        const QString png = pages.path(QStringLiteral("c%1.png").arg(i));
        ASSERT_TRUE(picture.save(png, "PNG"));
        files.append(pages.write(QStringLiteral("p%1.htm").arg(i),
            QStringLiteral("<html><body style='margin:0;background:#ffff00'>"
                           "<img src='c%1.png' style='width:100%;height:460px'></body></html>")
                .arg(i)
                .toUtf8()));
    }
    const QString grey = pages.write(
        QStringLiteral("grey.htm"), "<html><body style='background:#808080'></body></html>");
    std::vector<std::unique_ptr<engine::CaptureHost>> hosts;
    for (int i = 0; i < colors.size(); ++i) {
        hosts.push_back(std::make_unique<engine::CaptureHost>(QSize(320, 240)));
        ASSERT_TRUE(hosts.back()->view()->loadHtmlFile(grey));
    }
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        for (int i = 0; i < colors.size(); ++i)
            hosts.at(i)->view()->startLoadHtmlFile(files.at(i));
        if (round == 1)
            spin(300); // every load ends before anyone waits for it
        for (const int i : { 2, 0, 1 }) {
            EXPECT_TRUE(hosts.at(i)->view()->waitForLoad()) << i;
            EXPECT_TRUE(sameColor(hosts.at(i)->capture().pixel(150, 120), colors.at(i), 24)) << i;
        }
        for (int i = 0; i < colors.size(); ++i)
            ASSERT_TRUE(hosts.at(i)->view()->loadHtmlFile(grey));
    }
}

// A load reports once when its frame is on the view; the wait for it then ends at once. A page
// whose script never ends is never reported and still ends within the bounded wait.
TEST(CaptureTest, ASettledLoadIsReportedOnceAndNeedsNoWait)
{
    PageFolder pages;
    const QString grey = pages.write(
        QStringLiteral("grey.htm"), "<html><body style='background:#808080'></body></html>");
    const QList<QRgb> colors = { qRgb(255, 0, 0), qRgb(0, 0, 255) };
    engine::CaptureHost host(QSize(320, 240));
    engine::HtmlView *view = host.view();
    ASSERT_TRUE(view->loadHtmlFile(grey));
    int reports = 0;
    QObject::connect(view, &engine::HtmlView::loadSettled, [&] { ++reports; });
    for (const QRgb color : colors) {
        SCOPED_TRACE(color);
        reports = 0;
        view->startLoadHtmlFile(pages.write(QStringLiteral("%1.htm").arg(color),
            QStringLiteral("<html><body style='background:%1'></body></html>")
                .arg(QColor(color).name())
                .toUtf8()));
        EXPECT_FALSE(view->isLoadSettled());
        ASSERT_TRUE(waitFor([&] { return reports > 0; }));
        EXPECT_TRUE(view->isLoadSettled());
        QElapsedTimer timer;
        timer.start();
        EXPECT_TRUE(view->waitForLoad());
        EXPECT_LT(timer.elapsed(), 100);
        EXPECT_TRUE(sameColor(host.capture().pixel(150, 120), color));
        EXPECT_FALSE(view->isLoadSettled());
        spin(100);
        EXPECT_EQ(reports, 1);
    }

    reports = 0;
    view->setLoadTimeout(1500);
    view->startLoadHtmlFile(pages.write(
        QStringLiteral("endless.htm"), "<html><body>x<script>for (;;) {}</script></body></html>"));
    spin(500);
    EXPECT_FALSE(view->isLoadSettled());
    EXPECT_FALSE(view->waitForLoad());
    EXPECT_EQ(reports, 0);
}

TEST(CaptureTest, HiddenViewsLoadWithoutWaitingForAFrame)
{
    PageFolder pages;
    const QString file = pages.write(QStringLiteral("a.htm"), "<html><body>a</body></html>");
    engine::HtmlView hidden;
    QElapsedTimer timer;
    timer.start();
    EXPECT_TRUE(hidden.loadHtmlFile(file));
    EXPECT_LT(timer.elapsed(), 3000);
    EXPECT_EQ(hidden.currentFile(), file);
}

} // namespace
