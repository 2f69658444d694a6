#include "snapshot/snapshotjob.h"
#include "support/scripteddialogs.h"
#include "support/standinframe.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

using snapshot::SnapshotEntries;
using snapshot::SnapshotJob;

namespace {

SnapshotEntries defaults()
{
    return snapshot::entriesFromSettings(frame::Settings());
}

} // namespace

TEST(TestInput, EachRuleAndItsMessage)
{
    struct Row {
        const char *name;
        std::function<void(SnapshotEntries &)> change;
        QString message; // empty: accepted
    };
    const QString tooSmall
        = QStringLiteral("Resulting snapshot would be smaller than 10x10 pixels.\n"
                         "Please increase size values or scaling factor.");
    const Row rows[] = {
        { "defaults", [](SnapshotEntries &) {}, QString() },
        { "width 9", [](SnapshotEntries &e) { e.width = QStringLiteral("9"); },
            QStringLiteral("Minimum size is 10x10 pixels!") },
        { "height 9", [](SnapshotEntries &e) { e.height = QStringLiteral("9"); },
            QStringLiteral("Minimum size is 10x10 pixels!") },
        { "width 2001", [](SnapshotEntries &e) { e.width = QStringLiteral("2001"); },
            QStringLiteral("Maximum size is 2000x3000 pixels!") },
        { "height 3001", [](SnapshotEntries &e) { e.height = QStringLiteral("3001"); },
            QStringLiteral("Maximum size is 2000x3000 pixels!") },
        { "2000 x 3000",
            [](SnapshotEntries &e) {
                e.width = QStringLiteral("2000");
                e.height = QStringLiteral("3000");
            },
            QString() },
        { "empty width", [](SnapshotEntries &e) { e.width.clear(); },
            QStringLiteral(" is not a valid width!") },
        { "text height", [](SnapshotEntries &e) { e.height = QStringLiteral("6x0"); },
            QStringLiteral("6x0 is not a valid height!") },
        { "scale 4", [](SnapshotEntries &e) { e.scale = QStringLiteral("4"); },
            QStringLiteral("4 is not a valid scaling factor: (5-100%)!") },
        { "scale 101", [](SnapshotEntries &e) { e.scale = QStringLiteral("101"); },
            QStringLiteral("101 is not a valid scaling factor: (5-100%)!") },
        { "scale text", [](SnapshotEntries &e) { e.scale = QStringLiteral("5%"); },
            QStringLiteral("5% is not a valid scaling factor: (5-100%)!") },
        { "scale 5", [](SnapshotEntries &e) { e.scale = QStringLiteral("5"); }, QString() },
        { "scale 100", [](SnapshotEntries &e) { e.scale = QStringLiteral("100"); }, QString() },
        { "shade text", [](SnapshotEntries &e) { e.shade = QStringLiteral("x"); },
            QStringLiteral("x is not a valid shade width: (0-30 pixel)!") },
        { "shade 31", [](SnapshotEntries &e) { e.shade = QStringLiteral("31"); },
            QStringLiteral("31 is not a valid shade width: (0-30 pixel)!") },
        { "border empty", [](SnapshotEntries &e) { e.border.clear(); },
            QStringLiteral(" is not a valid border width: (0-30 pixel)!") },
        { "border 30", [](SnapshotEntries &e) { e.border = QStringLiteral("30"); }, QString() },
        // A valid size that the crop makes too small: SW = 10, SW - 16 < 10.
        { "50 x 50 at 20 % with the vertical crop",
            [](SnapshotEntries &e) {
                e.width = e.height = QStringLiteral("50");
                e.scale = QStringLiteral("20");
                e.cropVerti = true;
            },
            tooSmall },
    };
    for (const Row &row : rows) {
        ScriptedDialogs dialogs;
        SnapshotEntries entries = defaults();
        row.change(entries);
        frame::Settings settings;
        SnapshotJob job;
        const bool ok = snapshot::testInput(entries, settings, job);
        const QString &expected = row.message;
        EXPECT_EQ(ok, expected.isEmpty()) << row.name;
        EXPECT_EQ(dialogs.texts(QStringLiteral("info")),
            expected.isEmpty() ? QStringList() : QStringList { expected })
            << row.name;
    }
}

TEST(TestInput, WorkedExampleWithBothCrops)
{
    ScriptedDialogs dialogs;
    SnapshotEntries entries = defaults();
    entries.scale = QStringLiteral("50");
    entries.cropVerti = entries.cropHori = true;
    frame::Settings settings;
    SnapshotJob job;
    ASSERT_TRUE(snapshot::testInput(entries, settings, job));
    EXPECT_EQ(job.scaledWidth, 400);
    EXPECT_EQ(job.scaledHeight, 300);
    EXPECT_EQ(job.outputWidth, 394);
    EXPECT_EQ(job.outputHeight, 294);
    EXPECT_EQ(job.canvasRect, QRect(0, 0, 394, 294));
    EXPECT_EQ(job.pageRect, QRect(0, 0, 384, 284));
    // (10, 10, 394, 294) with right and bottom exclusive.
    EXPECT_EQ(job.shadowRect, QRect(QPoint(10, 10), QPoint(393, 293)));
    EXPECT_EQ(job.filterIndex, 5);
    EXPECT_TRUE(settings.cropVertical && settings.cropHorizontal);
    EXPECT_EQ(settings.scale, 50);
}

TEST(TestInput, ValuesBeforeTheFailingTestAreKept)
{
    ScriptedDialogs dialogs;
    SnapshotEntries entries = defaults();
    entries.width = entries.height = QStringLiteral("50");
    entries.scale = QStringLiteral("20");
    entries.shade = QStringLiteral("3");
    entries.border = QStringLiteral("2");
    entries.cropVerti = true;
    entries.bgCol = 0x0000FF;
    frame::Settings settings;
    SnapshotJob job;
    ASSERT_FALSE(snapshot::testInput(entries, settings, job));
    EXPECT_EQ(settings.customWidth, 50);
    EXPECT_EQ(settings.customHeight, 50);
    EXPECT_EQ(settings.scale, 20);
    EXPECT_EQ(settings.shade, 3);
    EXPECT_EQ(settings.border, 2);
    EXPECT_TRUE(settings.cropVertical);
    EXPECT_EQ(settings.backgroundColor, frame::Settings().backgroundColor); // the colours come last

    // A bad scale stops before shade and border.
    entries = defaults();
    entries.width = QStringLiteral("640");
    entries.scale = QStringLiteral("0");
    entries.shade = QStringLiteral("7");
    settings = frame::Settings();
    ASSERT_FALSE(snapshot::testInput(entries, settings, job));
    EXPECT_EQ(settings.customWidth, 640);
    EXPECT_EQ(settings.scale, 100);
    EXPECT_EQ(settings.shade, 10);
}

TEST(TestInput, CurrentBrowserSizeIgnoresTheCustomFields)
{
    ScriptedDialogs dialogs;
    SnapshotEntries entries = defaults();
    entries.customSize = false;
    entries.width = QStringLiteral("abc");
    frame::Settings settings;
    SnapshotJob job;
    job.browserWidth = 680;
    job.browserHeight = 393;
    ASSERT_TRUE(snapshot::testInput(entries, settings, job));
    EXPECT_EQ(settings.customWidth, 800);
    EXPECT_EQ(job.outputWidth, 690);
    EXPECT_EQ(job.outputHeight, 403);
    EXPECT_EQ(dialogs.count(QStringLiteral("info")), 0);
}

namespace {

// What one pixel of a composition must be, worked out from the rules alone.
QRgb expectedPixel(int x, int y, const SnapshotJob &job, const frame::Settings &s, QRgb page)
{
    const QRect &p = job.pageRect;
    if (p.contains(x, y)) {
        const int depth = std::min({ x - p.left(), y - p.top(), p.right() - x, p.bottom() - y });
        return depth < s.border ? snapshot::colorFromValue(s.borderColor).rgb() : page;
    }
    if (job.shadowRect.contains(x, y))
        return snapshot::colorFromValue(s.shadeColor).rgb();
    return snapshot::colorFromValue(s.backgroundColor).rgb();
}

} // namespace

TEST(PaintSaveImg, EveryPixelFollowsTheGeometry)
{
    struct Row {
        const char *name;
        const char *size;
        const char *scale;
        const char *shade;
        const char *border;
        bool cropVerti;
        bool cropHori;
        QSize expected;
    };
    const Row rows[] = {
        { "defaults", "80x60", "100", "10", "1", false, false, QSize(90, 70) },
        { "both crops", "80x60", "100", "10", "1", true, true, QSize(74, 54) },
        { "vertical crop at 50 %", "100x80", "50", "10", "1", true, false, QSize(44, 50) },
        { "border 0", "80x60", "100", "10", "0", false, false, QSize(90, 70) },
        { "border 3", "80x60", "100", "10", "3", false, false, QSize(90, 70) },
        { "shade 0", "80x60", "100", "0", "1", false, false, QSize(80, 60) },
    };
    for (const Row &row : rows) {
        ScriptedDialogs dialogs;
        SnapshotEntries entries = defaults();
        const QStringList size = QString::fromLatin1(row.size).split(QLatin1Char('x'));
        entries.width = size.at(0);
        entries.height = size.at(1);
        entries.scale = QLatin1String(row.scale);
        entries.shade = QLatin1String(row.shade);
        entries.border = QLatin1String(row.border);
        entries.cropVerti = row.cropVerti;
        entries.cropHori = row.cropHori;
        entries.bgCol = 0x00FFFF; // yellow, so that the background differs from the page
        frame::Settings settings;
        SnapshotJob job;
        ASSERT_TRUE(snapshot::testInput(entries, settings, job)) << row.name;

        // The scaled page: one known colour, the size the capture step makes.
        QImage big(job.pageRect.size(), QImage::Format_RGB888);
        big.fill(QColor(200, 30, 60));
        for (const QImage &page : { big, QImage() }) {
            const QImage image = snapshot::paintSaveImage(job, settings, page);
            ASSERT_EQ(image.size(), row.expected) << row.name;
            const QRgb inside = page.isNull() ? qRgb(255, 255, 255) : qRgb(200, 30, 60);
            int wrong = 0;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    wrong += image.pixel(x, y) != expectedPixel(x, y, job, settings, inside);
            EXPECT_EQ(wrong, 0) << row.name << (page.isNull() ? " empty" : " page");
        }
    }
}

TEST(PaintSaveImg, DefaultsSpelledOut)
{
    ScriptedDialogs dialogs;
    frame::Settings settings;
    SnapshotJob job;
    ASSERT_TRUE(snapshot::testInput(defaults(), settings, job));
    const QImage image = snapshot::paintSaveImage(job, settings, QImage());
    ASSERT_EQ(image.size(), QSize(810, 610));
    const QRgb navy = qRgb(0, 0, 128);
    const QRgb grey = qRgb(128, 128, 128);
    const QRgb white = qRgb(255, 255, 255);
    EXPECT_EQ(image.pixel(0, 0), navy);
    EXPECT_EQ(image.pixel(799, 599), navy);
    EXPECT_EQ(image.pixel(1, 1), white);
    EXPECT_EQ(image.pixel(800, 10), grey);
    EXPECT_EQ(image.pixel(809, 609), grey);
    EXPECT_EQ(image.pixel(809, 9), white); // background square at the top right
    EXPECT_EQ(image.pixel(9, 609), white); // and at the bottom left
}

TEST(SnapshotFileName, DotsOfTheNameOnly)
{
    struct Row {
        const char *page;
        const char *extension;
        const char *expected;
    };
    const Row rows[] = {
        { "/web/index.htm", ".jpg", "snap_index_htm.jpg" },
        { "/web/a.b.html", ".bmp", "snap_a_b_html.bmp" },
        { "/my.site/shots/page", ".jpg", "snap_page.jpg" },
    };
    for (const Row &row : rows)
        EXPECT_EQ(snapshot::SnapshotFileName(
                      QString::fromLatin1(row.page), QString::fromLatin1(row.extension)),
            QString::fromLatin1(row.expected))
            << row.page;
}

TEST(PrepareSnapshotOpening, MessagesAndBatchMode)
{
    QTemporaryDir dir;
    const QString page = dir.filePath(QStringLiteral("page.htm"));
    QFile(page).open(QIODevice::WriteOnly);
    const QString gone = dir.filePath(QStringLiteral("gone.htm"));
    struct Row {
        const char *name;
        QString file;
        int selected;
        bool opens;
        QString message;
    };
    const Row rows[] = {
        { "one file", page, 1, true, QString() },
        { "a file that is gone", gone, 1, false,
            QStringLiteral("File: \"") + gone + QStringLiteral("\" not found!") },
        { "nothing selected", QString(), 0, false, QStringLiteral("No file(s) selected") },
        { "two selected", QString(), 2, true, QString() },
    };
    const StandInPage thumbnails;
    for (const Row &row : rows) {
        ScriptedDialogs dialogs;
        SnapshotJob job;
        EXPECT_EQ(snapshot::PrepareSnapshotOpening(row.file, { &thumbnails, row.selected, 5 }, job),
            row.opens)
            << row.name;
        EXPECT_EQ(dialogs.lastText(), row.message) << row.name;
        EXPECT_EQ(job.batchMode, row.selected > 1) << row.name;
        EXPECT_EQ(job.activePage, &thumbnails);
        EXPECT_EQ(job.entryCount, 5);
    }
}
