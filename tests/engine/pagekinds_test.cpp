#include "enginetestutil.h"

#include "engine/capturehost.h"
#include "engine/htmlview.h"
#include "engine/localfiles.h"

#include <QBuffer>
#include <QDir>
#include <QImage>

#include <gtest/gtest.h>

namespace {

constexpr QRgb red = qRgb(255, 0, 0);
constexpr QRgb green = qRgb(0, 255, 0);
constexpr QRgb blue = qRgb(0, 0, 255);

QByteArray redJpeg()
{
    QImage image(100, 100, QImage::Format_RGB32);
    image.fill(red);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPG", 95);
    return bytes;
}

// A page that is green only through its style sheet and red at the top left only through its
// picture, both found relative to the page's own folder.
const char styledPage[] = "<html><head><link rel=stylesheet href='../style/green.css'></head>"
                          "<body><img src='../pics/red.jpg' width=100 height=100></body></html>";

class PageKindsTest : public ::testing::Test
{
protected:
    PageKindsTest()
    {
        pages.write(QStringLiteral("style/green.css"), "body{background:#00ff00;margin:0}");
        pages.write(QStringLiteral("pics/red.jpg"), redJpeg());
        blank = pages.write(
            QStringLiteral("blue.htm"), "<html><body style='background:#0000ff'></body></html>");
    }
    ~PageKindsTest() override { engine::setExtraPageTest({}); }

    engine::HtmlView &view() { return *host.view(); }

    // Shows the file after a blue page, so that a file the engine refuses leaves blue behind.
    // A busy machine may show the page later than the load's frame wait: the picture is
    // taken again for a while until the page's colours are there.
    QImage shoot(const QString &file, const std::function<bool(const QImage &)> &shown = {})
    {
        EXPECT_TRUE(view().loadHtmlFile(blank));
        EXPECT_TRUE(view().loadHtmlFile(file)) << file.toStdString();
        QImage shot = host.capture();
        if (shown)
            waitFor([&] { return shown(shot = host.capture()); }, 3000);
        return shot;
    }

    PageFolder pages;
    QString blank;
    engine::CaptureHost host { QSize(640, 480) };
};

TEST_F(PageKindsTest, EveryPageKindOfTheFilterListRendersAsHtml)
{
    // The built-in masks *.htm;*.asp;*.sht;*.dht;*.cfm;*.jht also take longer extensions.
    const QStringList names = { QStringLiteral("page.htm"), QStringLiteral("page.html"),
        QStringLiteral("page.asp"), QStringLiteral("page.aspx"), QStringLiteral("page.sht"),
        QStringLiteral("page.shtml"), QStringLiteral("page.dht"), QStringLiteral("page.dhtml"),
        QStringLiteral("page.cfm"), QStringLiteral("page.cfml"), QStringLiteral("page.jht"),
        QStringLiteral("page.jhtml"), QStringLiteral("PAGE.SHT"),
        QStringLiteral("my page #1 100%.cfm"), QStringLiteral("caf\u00e9.jht") };
    for (const QString &name : names) {
        SCOPED_TRACE(name.toStdString());
        const QImage shot = shoot(
            pages.write(QStringLiteral("sub/") + name, styledPage), [](const QImage &image) {
                return sameColor(image.pixel(50, 50), red, 24)
                    && sameColor(image.pixel(400, 300), green);
            });
        EXPECT_TRUE(sameColor(shot.pixel(50, 50), red, 24)) << "picture";
        EXPECT_TRUE(sameColor(shot.pixel(400, 300), green)) << "style sheet";
        EXPECT_EQ(QDir::cleanPath(view().currentFile()),
            QDir::cleanPath(pages.path(QStringLiteral("sub/") + name)));
    }
}

TEST_F(PageKindsTest, KindsOfTheUsersFilterListRenderAsHtml)
{
    const QString php = pages.write(QStringLiteral("sub/page.php"), styledPage);
    engine::setExtraPageTest(
        [](const QString &name) { return name.endsWith(QLatin1String(".php")); });
    const QImage shot = shoot(php);
    EXPECT_TRUE(sameColor(shot.pixel(50, 50), red, 24));
    EXPECT_TRUE(sameColor(shot.pixel(400, 300), green));
}

TEST_F(PageKindsTest, PicturesStayPictures)
{
    // Even when the user's filter list takes pictures as well.
    engine::setExtraPageTest([](const QString &) { return true; });
    const QImage shot = shoot(pages.path(QStringLiteral("pics/red.jpg")));
    EXPECT_TRUE(sameColor(shot.pixel(320, 240), red, 24)) << "the picture in the middle";
}

TEST_F(PageKindsTest, LinksBetweenPageKindsOpenInTheirFramesAndHistory)
{
    const QString index = pages.write(QStringLiteral("index.dht"),
        "<html><frameset cols='100,*'><frame name=nav src='nav.cfm'><frame name=main "
        "src='a.jht'></frameset></html>");
    pages.write(QStringLiteral("nav.cfm"), "<html><body><a id=l href='b.asp' target=main>b</a>");
    pages.write(QStringLiteral("a.jht"), "<html><body style='background:#0000ff'></body></html>");
    pages.write(QStringLiteral("b.asp"), "<html><body style='background:#00ff00'></body></html>");
    // The main frame is painted in this colour, now or soon.
    const auto shows = [&](QRgb color) {
        return waitFor([&] {
            view().waitForFrame(200);
            return sameColor(host.capture().pixel(400, 300), color);
        });
    };
    ASSERT_TRUE(view().loadHtmlFile(index));
    EXPECT_TRUE(shows(blue));

    QString clicked;
    QObject::connect(&view(), &engine::HtmlView::hotSpotTargetClick, &view(),
        [&](const QString &, const QString &url, const QString &frameFile, bool *) {
            clicked = frameFile + QLatin1Char('|') + url;
        });
    clickAt(view(), elementCentre(view(), QStringLiteral("l"), { QStringLiteral("nav") }));
    ASSERT_TRUE(waitFor([&] { return view().canGoBack(); }));
    EXPECT_EQ(clicked, pages.path(QStringLiteral("nav.cfm")) + QStringLiteral("|b.asp"));
    EXPECT_TRUE(shows(green));
    EXPECT_EQ(QDir::cleanPath(view().currentFile()), QDir::cleanPath(index));

    view().goBack();
    EXPECT_TRUE(shows(blue));
}

TEST_F(PageKindsTest, Utf8PagesWithoutADeclarationReadAsUtf8)
{
    const QString file = pages.write(QStringLiteral("cafe.sht"),
        "<html><body><p id=t>caf\xc3\xa9 \xe2\x82\xac</p></body></html>");
    ASSERT_TRUE(view().loadHtmlFile(file));
    EXPECT_EQ(view()
                  .evaluateJavaScript(QStringLiteral("document.getElementById('t').textContent"))
                  .toString(),
        QStringLiteral("caf\u00e9 \u20ac"));
}

} // namespace
