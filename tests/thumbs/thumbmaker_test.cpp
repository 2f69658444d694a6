#include "engine/htmlview.h"
#include "imaging/jpegcodec.h"
#include "thumbs/thumbjobs.h"
#include "thumbs/thumbmaker.h"
#include "imaging/thumbstore.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <unistd.h>

namespace {

struct Store {
    QTemporaryDir dir;
    QString thumbs = dir.filePath(QStringLiteral("THUMBS")) + QLatin1Char('/');
    QString site = dir.filePath(QStringLiteral("site"));

    Store() { QDir().mkpath(site); }
    QString write(const QString &name, const QByteArray &bytes) const
    {
        const QString file = site + QLatin1Char('/') + name;
        QFile out(file);
        EXPECT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(bytes);
        return file;
    }
    QString thumbOf(const QString &page) const
    {
        return imaging::ThumbFileFor(thumbs, platform::folderPart(page), page);
    }
};

QByteArray solidPage(const QString &color)
{
    return (QStringLiteral("<html><body style='margin:0;background:") + color
        + QStringLiteral("'></body></html>"))
        .toUtf8();
}

QImage solid(const QColor &color)
{
    QImage image(130, 100, QImage::Format_RGB32);
    image.fill(color);
    return image;
}

bool near(QRgb a, QRgb b)
{
    return std::abs(qRed(a) - qRed(b)) <= 24 && std::abs(qGreen(a) - qGreen(b)) <= 24
        && std::abs(qBlue(a) - qBlue(b)) <= 24;
}

} // namespace

TEST(ThumbMaker, BaseSizes)
{
    EXPECT_EQ(thumbs::snapBaseText(0), QStringLiteral("Thumbs Base: 160x120"));
    EXPECT_EQ(thumbs::snapBaseText(6), QStringLiteral("Thumbs Base: 1600x1200"));
    EXPECT_EQ(thumbs::snapBaseSize(5, QSize(1, 1)), QSize(1024, 768));
    EXPECT_EQ(thumbs::snapBaseSize(7, QSize(1, 1)), QSize(1, 1));
    EXPECT_EQ(thumbs::snapBaseSize(-1, QSize(1, 1)), QSize(1, 1));
}

// Several pages loading at once still give each page its own picture, in the planned order or
// not; a missing page is skipped.
TEST(ThumbMaker, PagesLoadedTogetherKeepTheirOwnPictures)
{
    Store store;
    const QStringList colors
        = { QStringLiteral("#ff0000"), QStringLiteral("#00ff00"), QStringLiteral("#0000ff") };
    QStringList pages;
    for (int i = 0; i < colors.size(); ++i)
        pages.append(store.write(QStringLiteral("p%1.htm").arg(i), solidPage(colors.at(i))));
    const QString missing = store.site + QStringLiteral("/gone.htm");
    thumbs::ThumbMaker maker(store.thumbs, nullptr);
    maker.setHostCount(3);
    maker.plan({ pages.at(0), missing, pages.at(1), pages.at(2) }, QSize(160, 120));
    EXPECT_TRUE(maker.makeThumb(pages.at(0), QSize(160, 120)));
    EXPECT_FALSE(maker.makeThumb(missing, QSize(160, 120)));
    EXPECT_FALSE(QFileInfo::exists(store.thumbOf(missing)));
    // Out of the planned order: the plan is dropped, the page is still made.
    EXPECT_TRUE(maker.makeThumb(pages.at(2), QSize(160, 120)));
    EXPECT_TRUE(maker.makeThumb(pages.at(1), QSize(320, 240)));
    for (int i = 0; i < pages.size(); ++i) {
        const QImage thumb = imaging::readJpeg(store.thumbOf(pages.at(i)));
        ASSERT_EQ(thumb.size(), QSize(130, 100)) << i;
        EXPECT_TRUE(near(thumb.pixel(65, 50), QColor(colors.at(i)).rgb())) << i;
    }
}

// A batch loading three pages at once stores the pictures that one page at a time stores:
// pages with text, pictures and scroll bars, each captured only when it is complete.
TEST(ThumbMaker, ThreeHostsStoreWhatOneHostStores)
{
    Store store;
    const QStringList colors = { QStringLiteral("#ff0000"), QStringLiteral("#00a000"),
        QStringLiteral("#0000ff"), QStringLiteral("#ff00ff"), QStringLiteral("#00ffff") };
    QStringList pages;
    for (int i = 0; i < colors.size(); ++i) {
        QImage picture(8, 8, QImage::Format_RGB32);
        picture.fill(QColor(colors.at(i)));
        ASSERT_TRUE(picture.save(store.site + QStringLiteral("/c%1.png").arg(i), "PNG"));
        pages.append(store.write(QStringLiteral("p%1.htm").arg(i),
            QStringLiteral("<html><body style='margin:0'><h1>Page %1</h1>"
                           "<img src='c%1.png' style='width:100%;height:300px'>"
                           "<p style='height:2000px'>text</p></body></html>")
                .arg(i)
                .toUtf8()));
    }
    const QSize base(320, 240);
    auto makeAll = [&](int hosts) {
        thumbs::ThumbMaker maker(store.thumbs, nullptr);
        maker.setHostCount(hosts);
        maker.plan(pages, base);
        QList<QImage> thumbs;
        for (const QString &page : std::as_const(pages)) {
            EXPECT_TRUE(maker.makeThumb(page, base)) << page.toStdString();
            thumbs.append(imaging::readJpeg(store.thumbOf(page)));
        }
        return thumbs;
    };
    const QList<QImage> one = makeAll(1);
    const QList<QImage> three = makeAll(3);
    for (int i = 0; i < pages.size(); ++i) {
        SCOPED_TRACE(i);
        ASSERT_EQ(three.at(i).size(), QSize(130, 100));
        EXPECT_TRUE(near(three.at(i).pixel(60, 70), QColor(colors.at(i)).rgb()));
        qint64 difference = 0;
        for (int y = 0; y < 100; ++y)
            for (int x = 0; x < 130; ++x)
                difference
                    += std::abs(qGray(one.at(i).pixel(x, y)) - qGray(three.at(i).pixel(x, y)));
        EXPECT_LT(difference / (130 * 100), 2) << "mean difference per pixel";
    }
}

// While a slow page loads, the planned pages after it are captured as soon as they are shown
// and their forms go on to the next ones: what the files held then is what is stored.
TEST(ThumbMaker, PagesAfterASlowOneAreCapturedMeanwhile)
{
    Store store;
    const QString slow = store.write(QStringLiteral("slow.htm"),
        "<html><body style='margin:0;background:#ffffff'><script>"
        "var t = Date.now(); while (Date.now() - t < 1500) {}</script></body></html>");
    const QStringList later
        = { store.write(QStringLiteral("a.htm"), solidPage(QStringLiteral("red"))),
              store.write(QStringLiteral("b.htm"), solidPage(QStringLiteral("red"))),
              store.write(QStringLiteral("c.htm"), solidPage(QStringLiteral("red"))) };
    const QSize base(160, 120);
    thumbs::ThumbMaker maker(store.thumbs, nullptr);
    maker.setHostCount(2);
    // Forms that have shown a page of the base size already, as within a batch.
    const QStringList warm
        = { store.write(QStringLiteral("w1.htm"), solidPage(QStringLiteral("red"))),
              store.write(QStringLiteral("w2.htm"), solidPage(QStringLiteral("red"))) };
    maker.plan(warm, base);
    for (const QString &page : warm)
        ASSERT_TRUE(maker.makeThumb(page, base));
    maker.plan(QStringList { slow } + later, base);
    ASSERT_TRUE(maker.makeThumb(slow, base));
    // Two forms: the first later page loaded beside the slow one; the others had to wait for
    // a free form.
    for (const QString &page : later)
        store.write(QFileInfo(page).fileName(), solidPage(QStringLiteral("blue")));
    for (const QString &page : later) {
        SCOPED_TRACE(page.toStdString());
        ASSERT_TRUE(maker.makeThumb(page, base));
        EXPECT_TRUE(near(imaging::readJpeg(store.thumbOf(page)).pixel(65, 50), qRgb(255, 0, 0)));
    }
}

// A page saved again while it is captured stays newer than its thumbnail, so that it is made
// again; made once more, it is not.
TEST(ThumbMaker, APageSavedWhileCapturedStaysOutOfDate)
{
    Store store;
    const QString page = store.write(QStringLiteral("slow.htm"),
        "<html><body style='margin:0;background:#ff0000'><script>"
        "var t = Date.now(); while (Date.now() - t < 600) {}</script></body></html>");
    thumbs::ThumbMaker maker(store.thumbs, nullptr);
    QTimer::singleShot(100,
        [&] { store.write(QStringLiteral("slow.htm"), solidPage(QStringLiteral("blue"))); });
    ASSERT_TRUE(maker.makeThumb(page, QSize(160, 120)));
    EXPECT_TRUE(imaging::ThumbOutOfDate(store.thumbs, page));
    ASSERT_TRUE(maker.makeThumb(page, QSize(160, 120)));
    EXPECT_FALSE(imaging::ThumbOutOfDate(store.thumbs, page));
    EXPECT_TRUE(near(imaging::readJpeg(store.thumbOf(page)).pixel(65, 50), qRgb(0, 0, 255)));
}

// A thumbnail that cannot be written fails its page, not the batch: the next page loaded
// meanwhile is still made.
TEST(ThumbMaker, AnUnwritableThumbnailFailsOnlyItsPage)
{
    Store store;
    // The page's name fits the file system; its thumbnail's name, four characters longer, not.
    const QString tooLong = store.write(
        QString(251, QLatin1Char('n')) + QStringLiteral(".htm"), solidPage(QStringLiteral("red")));
    const QString next = store.write(QStringLiteral("next.htm"), solidPage(QStringLiteral("blue")));
    thumbs::ThumbMaker maker(store.thumbs, nullptr);
    maker.plan({ tooLong, next }, QSize(160, 120));
    EXPECT_FALSE(maker.makeThumb(tooLong, QSize(160, 120)));
    EXPECT_FALSE(QFileInfo::exists(store.thumbOf(tooLong)));
    ASSERT_TRUE(maker.makeThumb(next, QSize(160, 120)));
    EXPECT_TRUE(near(imaging::readJpeg(store.thumbOf(next)).pixel(65, 50), qRgb(0, 0, 255)));
}

// A picture is rendered like a page and keeps its extension in the thumbnail's name.
TEST(ThumbMaker, PictureGetsAThumbnailNamedAfterIt)
{
    Store store;
    QImage picture(40, 30, QImage::Format_RGB32);
    picture.fill(Qt::red);
    const QString gif = store.site + QStringLiteral("/logo.gif");
    ASSERT_TRUE(picture.save(gif, "GIF") || picture.save(gif, "PNG"));
    thumbs::ThumbMaker maker(store.thumbs, nullptr);
    EXPECT_TRUE(maker.makeThumb(gif, QSize(160, 120)));
    EXPECT_TRUE(store.thumbOf(gif).endsWith(QStringLiteral("/logo.gif.jpg")));
    EXPECT_TRUE(QFileInfo::exists(store.thumbOf(gif)));
}

// A thumbnail that cannot be written leaves nothing behind, and the old one whole.
TEST(ThumbMaker, FailedWritesLeaveNoHalfFiles)
{
    Store store;
    const QString longName = QString(251, QLatin1Char('n')) + QStringLiteral(".htm");
    const QString page = store.site + QLatin1Char('/') + longName;
    EXPECT_FALSE(thumbs::StoreThumb(store.thumbs, page, solid(Qt::red)));
    const QString sub = QFileInfo(store.thumbOf(page)).path();
    EXPECT_TRUE(QDir(sub).entryList(QDir::Files | QDir::Hidden).isEmpty());

    if (geteuid() == 0)
        GTEST_SKIP() << "a read-only folder does not stop root";
    const QString kept = store.site + QStringLiteral("/kept.htm");
    ASSERT_TRUE(thumbs::StoreThumb(store.thumbs, kept, solid(Qt::green)));
    const QString keptSub = QFileInfo(store.thumbOf(kept)).path();
    QFile::setPermissions(keptSub, QFile::ReadOwner | QFile::ExeOwner);
    EXPECT_FALSE(thumbs::StoreThumb(store.thumbs, kept, solid(Qt::red)));
    QFile::setPermissions(keptSub, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_TRUE(near(imaging::readJpeg(store.thumbOf(kept)).pixel(5, 5), qRgb(0, 255, 0)));
    EXPECT_EQ(QDir(keptSub).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

TEST(ThumbJobs, ProgressText)
{
    EXPECT_EQ(thumbs::progressText(3, 12, QStringLiteral("C:\\Web\\Site\\news.htm")),
        QStringLiteral("(3 of 12): C:\\Web\\Site\\news.htm"));
}

// A page whose script never ends, among many loaded three at a time by forms that took other
// pages before: it is captured as far as it got (nothing drawn: blank) within the engine's
// bounded wait, never with another page's picture, and every other page gets its own.
TEST(ThumbMaker, AnEndlessPageAmongManyGetsNoOtherPagesPicture)
{
    Store store;
    QStringList pages;
    QList<QRgb> colours;
    for (int i = 0; i < 9; ++i) {
        const QColor colour(40 + 20 * i, 200 - 20 * i, 60);
        pages.append(store.write(QStringLiteral("p%1.htm").arg(i), solidPage(colour.name())));
        colours.append(colour.rgb());
    }
    const QString endless = store.write(QStringLiteral("endless.htm"),
        "<html><body style='background:#0000ff'>x<script>for (;;) {}</script></body></html>");
    pages.insert(6, endless);
    colours.insert(6, qRgb(255, 255, 255));
    const QSize base(160, 120);
    thumbs::ThumbMaker maker(store.thumbs, nullptr);
    maker.setHostCount(3);
    maker.plan(pages, base);
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < pages.size(); ++i) {
        SCOPED_TRACE(pages.at(i).toStdString());
        EXPECT_TRUE(maker.makeThumb(pages.at(i), base));
        EXPECT_EQ(maker.lastOutcome(),
            pages.at(i) == endless ? engine::CaptureOutcome::Unfinished
                                   : engine::CaptureOutcome::Done);
        EXPECT_TRUE(
            near(imaging::readJpeg(store.thumbOf(pages.at(i))).pixel(65, 50), colours.at(i)));
    }
    EXPECT_LT(timer.elapsed(), engine::HtmlView::DefaultLoadTimeoutMs + 10000);
}

// A stop ends the wait for a page that never finishes at once: the batch leaves nothing for it
// and goes no further.
TEST(ThumbMaker, AStopEndsTheWaitForAPageAtOnce)
{
    Store store;
    const QString endless = store.write(QStringLiteral("endless.htm"),
        "<html><body style='background:#0000ff'>x<script>for (;;) {}</script></body></html>");
    thumbs::ThumbMaker maker(store.thumbs, nullptr);
    bool stopped = false;
    maker.setStopCheck([&stopped] { return stopped; });
    maker.plan({ endless }, QSize(160, 120));
    QTimer::singleShot(300, [&stopped] { stopped = true; });
    QElapsedTimer timer;
    timer.start();
    EXPECT_FALSE(maker.makeThumb(endless, QSize(160, 120)));
    EXPECT_LT(timer.elapsed(), 3000);
    EXPECT_EQ(maker.lastOutcome(), engine::CaptureOutcome::Stopped);
    EXPECT_FALSE(QFileInfo::exists(store.thumbOf(endless)));
}
