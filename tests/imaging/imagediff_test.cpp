#include "imaging/imagediff.h"

#include <QDir>
#include <QPainter>
#include <QPainterPath>
#include <gtest/gtest.h>

#include <functional>

using imaging::compareImages;
using imaging::ImageDiff;

namespace {

// A page-like picture: white, a dark heading bar, grey text lines, a blue picture block, and
// an anti-aliased round badge.
QImage page(int height = 600, const std::function<void(QPainter &)> &edit = {})
{
    QImage image(320, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.fillRect(0, 0, 320, 40, QColor(30, 30, 60));
    for (int line = 0; line < 12; ++line)
        painter.fillRect(16, 60 + line * 14, 200 + (line * 37) % 80, 8, QColor(90, 90, 90));
    painter.fillRect(40, 260, 120, 80, QColor(40, 90, 200));
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(QColor(200, 60, 40));
    painter.setPen(Qt::NoPen);
    painter.drawEllipse(QPointF(250, 300), 24, 24);
    if (edit)
        edit(painter);
    return image;
}

bool covers(const ImageDiff &diff, const QRect &edit)
{
    for (const QRect &region : diff.regions)
        if (region.contains(edit))
            return true;
    return false;
}

} // namespace

TEST(ImageDiffTest, SamePicturesAndAntiAliasingAloneAreNoChange)
{
    const ImageDiff same = compareImages(page(), page());
    EXPECT_FALSE(same.changed());
    EXPECT_EQ(same.changedPixels, 0);
    EXPECT_EQ(same.comparedPixels, 320 * 600);

    // The badge drawn a quarter of a pixel further right changes only its edge's shades.
    const QImage moved = page(600, [](QPainter &p) {
        p.fillRect(220, 270, 60, 60, Qt::white);
        p.drawEllipse(QPointF(250.25, 300), 24, 24);
    });
    const ImageDiff edge = compareImages(page(), moved);
    EXPECT_FALSE(edge.changed()) << edge.changedPixels << " pixels";
    EXPECT_GT(edge.antiAliasedPixels, 0);

    imaging::DiffOptions strict;
    strict.ignoreAntiAliasing = false;
    EXPECT_TRUE(compareImages(page(), moved, strict).changed());
}

TEST(ImageDiffTest, EveryEditIsFoundWithARegionThatCoversIt)
{
    struct Edit {
        const char *what;
        std::function<void(QPainter &)> paint;
        QList<QRect> where; // each inside a region of its own
    };
    const QList<Edit> edits = {
        { "a block one pixel lower",
            [](QPainter &p) {
                p.fillRect(40, 260, 120, 80, Qt::white);
                p.fillRect(40, 261, 120, 80, QColor(40, 90, 200));
            },
            { QRect(40, 260, 120, 1), QRect(40, 340, 120, 1) } },
        { "one word's colour", [](QPainter &p) { p.fillRect(16, 74, 40, 8, QColor(200, 40, 40)); },
            { QRect(16, 74, 40, 8) } },
        { "a picture removed", [](QPainter &p) { p.fillRect(40, 260, 120, 80, Qt::white); },
            { QRect(40, 260, 120, 80) } },
        { "a border added",
            [](QPainter &p) {
                p.setPen(QColor(0, 0, 0));
                p.setBrush(Qt::NoBrush);
                p.setRenderHint(QPainter::Antialiasing, false);
                p.drawRect(10, 50, 300, 180);
            },
            { QRect(10, 50, 301, 181) } },
        { "a light grey background", [](QPainter &p) { p.fillRect(100, 400, 30, 30, QColor(220, 220, 220)); },
            { QRect(100, 400, 30, 30) } },
        { "below the first screen only", [](QPainter &p) { p.fillRect(200, 560, 8, 8, Qt::black); },
            { QRect(200, 560, 8, 8) } },
    };
    for (const Edit &edit : edits) {
        const ImageDiff diff = compareImages(page(), page(600, edit.paint));
        EXPECT_TRUE(diff.changed()) << edit.what;
        for (const QRect &where : edit.where)
            EXPECT_TRUE(covers(diff, where)) << edit.what;
        EXPECT_EQ(diff.regions.size(), edit.where.size()) << edit.what;
    }
}

TEST(ImageDiffTest, HeightChangesCountTheNewPartAndRegionsStayApart)
{
    const ImageDiff longer = compareImages(page(600), page(640));
    EXPECT_TRUE(longer.sizeChanged());
    EXPECT_EQ(longer.after, QSize(320, 640));
    EXPECT_EQ(longer.changedPixels, 320 * 40);
    EXPECT_EQ(longer.regions, QList<QRect> { QRect(0, 600, 320, 40) });
    EXPECT_NEAR(longer.changedPercent(), 100.0 * 40 / 640, 1e-9);
    EXPECT_EQ(compareImages(page(640), page(600)).regions, longer.regions);

    const ImageDiff two = compareImages(page(), page(600, [](QPainter &p) {
        p.fillRect(20, 20, 4, 4, Qt::yellow);
        p.fillRect(280, 500, 4, 4, Qt::yellow);
    }));
    EXPECT_EQ(two.regions, (QList<QRect> { QRect(20, 20, 4, 4), QRect(280, 500, 4, 4) }));
    EXPECT_EQ(two.changedPixels, 32);

    EXPECT_FALSE(compareImages(QImage(), QImage()).changed());
    EXPECT_TRUE(compareImages(QImage(), page()).changed());
}

TEST(ImageDiffTest, TallPicturesComparedOnTwoThreadsGiveTheSameRegions)
{
    // Two threads split 4,000 rows at row 2,000: one region reaches across.
    const auto marks = [](QPainter &p) {
        for (int y : { 100, 1995, 2001, 3990 })
            p.fillRect(30, y, 10, 3, Qt::red);
    };
    const ImageDiff diff = compareImages(page(4000), page(4000, marks));
    EXPECT_EQ(diff.regions, (QList<QRect> { QRect(30, 100, 10, 3), QRect(30, 1995, 10, 9), QRect(30, 3990, 10, 3) }));
    EXPECT_EQ(diff.changedPixels, 4 * 30);
}

TEST(ImageDiffTest, TheDifferencePictureMatchesItsGoldenFile)
{
    const QImage before = page(600);
    const QImage after = page(620, [](QPainter &p) {
        p.fillRect(16, 74, 40, 8, QColor(200, 40, 40));
        p.fillRect(40, 260, 120, 80, Qt::white);
        p.fillRect(220, 270, 60, 60, Qt::white);
        p.drawEllipse(QPointF(250.25, 300), 24, 24);
    });
    const ImageDiff diff = compareImages(before, after);
    const QImage picture = imaging::differencePicture(before, after, diff);
    ASSERT_EQ(picture.size(), QSize(320, 620));

    const QString golden = QDir(qEnvironmentVariable("FOLIOSCOPE_TEST_DATA")).filePath(QStringLiteral("golden/difference.png"));
    if (qEnvironmentVariableIntValue("FOLIOSCOPE_UPDATE_GOLDEN") == 1) {
        ASSERT_TRUE(picture.save(golden));
    }
    EXPECT_EQ(picture, QImage(golden).convertToFormat(QImage::Format_RGB32));
    EXPECT_EQ(diff.regions, (QList<QRect> { QRect(16, 74, 40, 8), QRect(40, 260, 120, 80), QRect(0, 600, 320, 20) }));
}
