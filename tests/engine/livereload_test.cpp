#include "enginetestutil.h"

#include "engine/capturehost.h"
#include "engine/htmlview.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include <functional>

namespace {

const QRgb white = qRgb(255, 255, 255);

// Forty bands 100 pixels high, every other one in the colour, and with frame a 300 x 200 frame
// of frame.htm after the fifth. The page scrolls itself to a number posted to it.
QByteArray bandsPage(const QString &colour, bool frame)
{
    QString html = QStringLiteral(
        "<html><body style='margin:0'><script>addEventListener('message', function (e) {"
        " if (typeof e.data === 'number') scrollTo(0, e.data); });</script>");
    for (int i = 0; i < 40; ++i) {
        if (frame && i == 5)
            html += QStringLiteral("<iframe name=f src=frame.htm style='display:block;"
                                   "width:300px;height:200px;border:0'></iframe>");
        html += QStringLiteral("<div style='height:100px;background:%1'></div>")
                    .arg(i % 2 ? colour : QStringLiteral("white"));
    }
    return (html + QStringLiteral("</body></html>")).toUtf8();
}

// Replaces the file as editors that write a new file and rename it over the old one do.
void replaceByRename(const QString &path, const QByteArray &content)
{
    const QString temporary = path + QStringLiteral(".new");
    QFile file(temporary);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
    file.close();
    ASSERT_TRUE(QFile::remove(path));
    ASSERT_TRUE(QFile::rename(temporary, path));
}

QByteArray pngOf(const QColor &colour)
{
    QImage image(40, 40, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

class LiveReloadTest : public ::testing::Test
{
protected:
    LiveReloadTest()
    {
        view().setFollowDisk(true);
        QObject::connect(&view(), &engine::HtmlView::reloadedFromDisk, &view(),
            [this] { ++reloads; });
    }

    engine::HtmlView &view() { return *host.view(); }

    QRgb pixel(int x, int y) { return view().capture().pixel(x, y); }
    bool showsAt(int x, int y, QRgb colour)
    {
        return waitFor([&] { return sameColor(pixel(x, y), colour); });
    }
    bool reloaded(int count) { return waitFor([&] { return reloads >= count; }); }

    PageFolder pages;
    engine::CaptureHost host { QSize(640, 480) };
    int reloads = 0;
};

TEST_F(LiveReloadTest, ARewrittenPageShowsItsNewPixelsAtTheSameScrollOffsets)
{
    // The main document scrolled by 350 shows its band 3 at the top; the frame, at 150 to 350
    // in the view and scrolled by 150, shows its band 1 at 160 and its white band 2 at 260.
    struct Row {
        const char *name;
        const char *file;
        bool byRename;
        QRgb top, frameBand;
    } rows[] = {
        { "page written in place", "page.htm", false, qRgb(0, 128, 0), qRgb(255, 0, 0) },
        { "frame page renamed over", "frame.htm", true, qRgb(0, 0, 255), qRgb(0, 128, 0) },
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        PageFolder pages;
        pages.write(QStringLiteral("frame.htm"), bandsPage(QStringLiteral("red"), false));
        const QString page
            = pages.write(QStringLiteral("page.htm"), bandsPage(QStringLiteral("blue"), true));
        view().clearHistory();
        ASSERT_TRUE(view().loadHtmlFile(page));
        view().evaluateJavaScript(QStringLiteral("scrollTo(0, 350); frames[0].postMessage(150,"
                                                 " '*'); 1"));
        ASSERT_TRUE(showsAt(100, 160, qRgb(255, 0, 0)));
        ASSERT_TRUE(showsAt(320, 10, qRgb(0, 0, 255)));

        const int before = reloads;
        const QString file = pages.path(QString::fromLatin1(row.file));
        const QByteArray content = bandsPage(QStringLiteral("green"), file == page);
        if (row.byRename)
            replaceByRename(file, content);
        else
            pages.write(QString::fromLatin1(row.file), content);
        ASSERT_TRUE(reloaded(before + 1));
        EXPECT_TRUE(showsAt(320, 10, row.top));
        EXPECT_TRUE(showsAt(100, 160, row.frameBand));
        EXPECT_TRUE(showsAt(100, 260, white));
        EXPECT_FALSE(view().canGoBack()) << "a reload adds nothing to the history";
    }
}

TEST_F(LiveReloadTest, EachKindOfFileThePageLoadedIsFollowed)
{
    struct Row {
        const char *name;
        const char *file;
        QByteArray before, after;
    } rows[] = {
        { "style sheet", "look.css", "body { background: #ff0000 }", "body { background: #00ff00 }" },
        { "script", "paint.js", "document.body.style.background = '#ff0000';",
            "document.body.style.background = '#00ff00';" },
        { "picture", "fill.png", pngOf(Qt::red), pngOf(Qt::green) },
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        PageFolder pages;
        const QString page = pages.write(QStringLiteral("page.htm"),
            "<html><head><link rel=stylesheet href=look.css></head><body style='margin:0'>"
            "<img src=fill.png style='position:absolute;left:0;top:0;width:100%;height:100%'>"
            "<script src=paint.js></script></body></html>");
        // The other two stay out of sight: white page, no picture.
        pages.write(QStringLiteral("look.css"), "");
        pages.write(QStringLiteral("paint.js"), "");
        pages.write(QString::fromLatin1(row.file), row.before);
        ASSERT_TRUE(view().loadHtmlFile(page));
        ASSERT_TRUE(showsAt(320, 240, qRgb(255, 0, 0)));
        pages.write(QString::fromLatin1(row.file), row.after);
        EXPECT_TRUE(showsAt(320, 240, qRgb(0, 255, 0)));
    }
}

TEST_F(LiveReloadTest, ADeletedPageKeepsItsViewAndIsShownAgainWhenItComesBack)
{
    const QString page = pages.write(
        QStringLiteral("page.htm"), "<html><body style='background:#ff0000'></body></html>");
    ASSERT_TRUE(view().loadHtmlFile(page));
    ASSERT_TRUE(showsAt(320, 240, qRgb(255, 0, 0)));
    QSignalSpy gone(&view(), &engine::HtmlView::pageGoneFromDiskChanged);

    ASSERT_TRUE(QFile::remove(page));
    ASSERT_TRUE(waitFor([&] { return view().isPageGoneFromDisk(); }));
    EXPECT_EQ(reloads, 0);
    EXPECT_TRUE(sameColor(pixel(320, 240), qRgb(255, 0, 0)));

    pages.write(QStringLiteral("page.htm"), "<html><body style='background:#00ff00'></body></html>");
    EXPECT_TRUE(showsAt(320, 240, qRgb(0, 255, 0)));
    EXPECT_FALSE(view().isPageGoneFromDisk());
    ASSERT_EQ(gone.size(), 2);
    EXPECT_EQ(gone.at(1).at(0).toBool(), false);
}

// Each case ends with the page rewritten once: inotify reports in order, so any reload the
// case itself caused has come before the one of that rewrite.
TEST_F(LiveReloadTest, BadInputGivesNoCrashNoStormAndNoStaleView)
{
    struct Row {
        const char *name;
        std::function<void(PageFolder &)> disturb;
        int reloadsBefore; // reloads the disturbance itself should give
    } rows[] = {
        { "ten style sheets saved together",
            [](PageFolder &folder) {
                for (int i = 0; i < 10; ++i)
                    folder.write(QStringLiteral("s%1.css").arg(i), "div { color: blue }");
            },
            1 },
        { "10,000 other files changed in the folder",
            [](PageFolder &folder) {
                for (int i = 0; i < 10000; ++i) {
                    QFile file(folder.path(QStringLiteral("x%1.txt").arg(i)));
                    if (file.open(QIODevice::WriteOnly))
                        file.write("x");
                }
            },
            0 },
        { "the page saved twice", [](PageFolder &folder) {
             folder.write(QStringLiteral("page.htm"), "<html><body>first</body></html>");
             folder.write(QStringLiteral("page.htm"), "<html><body>second</body></html>");
         },
            1 },
    };
    QByteArray head;
    for (int i = 0; i < 10; ++i)
        head += QStringLiteral("<link rel=stylesheet href=s%1.css>").arg(i).toUtf8();
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        PageFolder pages;
        for (int i = 0; i < 10; ++i)
            pages.write(QStringLiteral("s%1.css").arg(i), "");
        const QString page
            = pages.write(QStringLiteral("page.htm"), "<html><head>" + head + "</head></html>");
        ASSERT_TRUE(view().loadHtmlFile(page));
        ASSERT_TRUE(waitFor([&] { return view().followedFiles().size() == 11; }));
        reloads = 0;
        row.disturb(pages);
        if (row.reloadsBefore > 0) {
            ASSERT_TRUE(reloaded(row.reloadsBefore));
        }
        // Whatever the view is doing now settles before the marker.
        ASSERT_TRUE(waitFor([&] { return !view().isProcessing(); }));
        pages.write(QStringLiteral("page.htm"),
            "<html><head>" + head + "</head><body style='background:#00ff00'></body></html>");
        EXPECT_TRUE(showsAt(320, 240, qRgb(0, 255, 0)));
        EXPECT_EQ(reloads, row.reloadsBefore + 1);
    }
}

// A page may reload itself only a few times in a row; the view's own reloads are not held back.
TEST_F(LiveReloadTest, EverySaveInALongRowIsShown)
{
    const QString page = pages.write(QStringLiteral("page.htm"), "<html></html>");
    ASSERT_TRUE(view().loadHtmlFile(page));
    const QRgb colours[] = { qRgb(255, 0, 0), qRgb(0, 0, 255) };
    for (int i = 0; i < 8; ++i) {
        pages.write(QStringLiteral("page.htm"),
            QStringLiteral("<html><body style='background:%1'></body></html>")
                .arg(QColor(colours[i % 2]).name())
                .toUtf8());
        ASSERT_TRUE(showsAt(320, 240, colours[i % 2])) << "save " << i;
    }
}

TEST_F(LiveReloadTest, APageBehindALinkInAReadOnlyFolderReplacedByAFolderOrMoved)
{
    const QString target = pages.write(
        QStringLiteral("real/page.htm"), "<html><body style='background:#ff0000'></body></html>");
    const QString link = pages.path(QStringLiteral("link.htm"));
    ASSERT_TRUE(QFile::link(target, link));
    ASSERT_TRUE(view().loadHtmlFile(link));
    ASSERT_TRUE(showsAt(320, 240, qRgb(255, 0, 0)));
    pages.write(
        QStringLiteral("real/page.htm"), "<html><body style='background:#00ff00'></body></html>");
    EXPECT_TRUE(showsAt(320, 240, qRgb(0, 255, 0))) << "the link's target is followed";

    // A folder that cannot be written: the page itself still can be.
    const QString real = pages.path(QStringLiteral("real"));
    ASSERT_TRUE(QFile::setPermissions(real, QFile::ReadOwner | QFile::ExeOwner));
    pages.write(
        QStringLiteral("real/page.htm"), "<html><body style='background:#ff0000'></body></html>");
    EXPECT_TRUE(showsAt(320, 240, qRgb(255, 0, 0))) << "in a read-only folder";
    ASSERT_TRUE(QFile::setPermissions(real, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    pages.write(
        QStringLiteral("real/page.htm"), "<html><body style='background:#00ff00'></body></html>");
    ASSERT_TRUE(showsAt(320, 240, qRgb(0, 255, 0)));

    ASSERT_TRUE(view().loadHtmlFile(target));
    ASSERT_TRUE(QFile::remove(target));
    ASSERT_TRUE(QDir().mkdir(target));
    EXPECT_TRUE(waitFor([&] { return view().isPageGoneFromDisk(); })) << "a folder is no page";
    EXPECT_TRUE(sameColor(pixel(320, 240), qRgb(0, 255, 0)));
    ASSERT_TRUE(QDir().rmdir(target));

    pages.write(
        QStringLiteral("real/page.htm"), "<html><body style='background:#0000ff'></body></html>");
    EXPECT_TRUE(showsAt(320, 240, qRgb(0, 0, 255)));
    ASSERT_TRUE(QDir().rename(pages.path(QStringLiteral("real")), pages.path(QStringLiteral("moved"))));
    EXPECT_TRUE(waitFor([&] { return view().isPageGoneFromDisk(); }));
    EXPECT_TRUE(sameColor(pixel(320, 240), qRgb(0, 0, 255)));
}

TEST_F(LiveReloadTest, AViewNotFollowingTheDiskIsNotReloaded)
{
    engine::CaptureHost otherHost { QSize(640, 480) };
    engine::HtmlView &still = *otherHost.view();
    const QString page = pages.write(
        QStringLiteral("page.htm"), "<html><body style='background:#ff0000'></body></html>");
    ASSERT_TRUE(view().loadHtmlFile(page));
    ASSERT_TRUE(still.loadHtmlFile(page));
    int stillLoads = 0;
    QObject::connect(&still, &engine::HtmlView::processingChanged, &still,
        [&](bool processing) { stillLoads += processing ? 1 : 0; });
    EXPECT_FALSE(still.followsDisk());

    pages.write(QStringLiteral("page.htm"), "<html><body style='background:#00ff00'></body></html>");
    ASSERT_TRUE(showsAt(320, 240, qRgb(0, 255, 0))) << "the following view saw the change";
    EXPECT_EQ(stillLoads, 0);
    EXPECT_TRUE(sameColor(otherHost.capture().pixel(320, 240), qRgb(255, 0, 0)));
}

} // namespace
