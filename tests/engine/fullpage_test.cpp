#include "enginetestutil.h"

#include "engine/captureform.h"
#include "engine/fullpage.h"
#include "engine/htmlview.h"

#include <gtest/gtest.h>

namespace {

// A page 3,000 pixels high: a red band at the top, a blue one at the bottom, something that
// moves (an endless animation, a transition, a focused text field with its caret) and a clock.
const char kTallPage[] = R"(<!DOCTYPE html><html><head><style>
body { margin: 0; }
#top { height: 100px; background: #ff0000; }
#spin { width: 60px; height: 60px; background: #00aa00; animation: turn 0.7s linear infinite; }
@keyframes turn { to { transform: rotate(360deg); } }
#fade { width: 60px; height: 60px; background: #000; transition: opacity 5s; }
#line { height: 80px; overflow: hidden; }
#middle { height: 2600px; }
#bottom { height: 100px; background: #0000ff; }
#clock { font-size: 40px; }
</style></head><body>
<div id="top"></div><div id="spin"></div><div id="fade"></div>
<div id="line"><input id="field" autofocus value="text"><span id="clock"></span></div>
<div id="middle"></div><div id="bottom"></div>
<script>
document.getElementById('fade').style.opacity = '0.2';
document.getElementById('clock').textContent = Date.now() + ' ' + Math.random();
</script></body></html>)";

engine::FullPageShot shoot(const QString &page, const engine::FullPageSettings &settings)
{
    engine::CaptureForm form(QSize(400, 300), nullptr);
    form.loadHtmlFile(page);
    engine::FullPageShot shot = engine::captureFullPage(form, settings);
    EXPECT_EQ(form.baseSize(), QSize(400, 300));
    return shot;
}

} // namespace

TEST(FullPageTest, ThePageIsCapturedWholeStillAndCutWhereItIsTooHigh)
{
    PageFolder folder;
    const QString page = folder.write(QStringLiteral("tall.htm"), kTallPage);
    engine::FullPageSettings settings;
    settings.masks = { QStringLiteral("#clock"), QStringLiteral("not a [selector") };

    const engine::FullPageShot first = shoot(page, settings);
    ASSERT_EQ(first.picture.size(), QSize(400, 3000));
    EXPECT_EQ(first.pageHeight, 3000);
    EXPECT_FALSE(first.cut());
    EXPECT_TRUE(sameColor(first.picture.pixel(200, 50), qRgb(255, 0, 0)));
    EXPECT_TRUE(sameColor(first.picture.pixel(200, 2950), qRgb(0, 0, 255)));
    // No scroll bar at the right edge.
    EXPECT_TRUE(sameColor(first.picture.pixel(397, 1500), qRgb(255, 255, 255)));

    const engine::FullPageShot second = shoot(page, settings);
    EXPECT_EQ(first.picture, second.picture) << "the same page twice gives the same pixels";

    settings.maxHeight = 1000;
    const engine::FullPageShot cut = shoot(page, settings);
    EXPECT_EQ(cut.picture.size(), QSize(400, 1000));
    EXPECT_EQ(cut.pageHeight, 3000);
    EXPECT_TRUE(cut.cut());

    // The default cap: an endless body is cut at 10,000 pixels, drawn to the last row.
    const QString endless = folder.write(QStringLiteral("endless.htm"),
        QByteArray(kTallPage).replace("#middle { height: 2600px; }", "#middle { height: 1000000px; background: #ffff00; }"));
    const engine::FullPageShot capped = shoot(endless, engine::FullPageSettings());
    EXPECT_EQ(capped.picture.size(), QSize(400, 10000));
    EXPECT_EQ(capped.pageHeight, 1000400);
    EXPECT_TRUE(sameColor(capped.picture.pixel(200, 9999), qRgb(255, 255, 0)));
}
