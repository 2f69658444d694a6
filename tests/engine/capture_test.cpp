#include "enginetestutil.h"

#include "engine/capturehost.h"
#include "engine/htmlview.h"

#include <QElapsedTimer>

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
    ASSERT_TRUE(host.view()->LoadHTMLFile(file));
    const QImage shot = host.capture();
    ASSERT_EQ(shot.size(), QSize(640, 480));
    for (const QPoint &p :
        { QPoint(0, 0), QPoint(639, 0), QPoint(320, 240), QPoint(0, 479), QPoint(639, 479) })
        EXPECT_TRUE(sameColor(shot.pixel(p), red)) << p.x() << "," << p.y();

    // Another page right away: the capture never shows the previous one.
    const QString blue = pages.write(
        QStringLiteral("blue.htm"), "<html><body style='background:#0000ff'></body></html>");
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(host.view()->LoadHTMLFile(i % 2 ? file : blue));
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
    ASSERT_TRUE(host.view()->LoadHTMLFile(file));

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

TEST(CaptureTest, HiddenViewsLoadWithoutWaitingForAFrame)
{
    PageFolder pages;
    const QString file = pages.write(QStringLiteral("a.htm"), "<html><body>a</body></html>");
    engine::HtmlView hidden;
    QElapsedTimer timer;
    timer.start();
    EXPECT_TRUE(hidden.LoadHTMLFile(file));
    EXPECT_LT(timer.elapsed(), 3000);
    EXPECT_EQ(hidden.currentFile(), file);
}

} // namespace
