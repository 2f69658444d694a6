#include "engine/captureform.h"
#include "frame/batchprogress.h"
#include "imaging/jpegcodec.h"
#include "imaging/thumbstore.h"
#include "platform/filewatch.h"
#include "support/recordingprogress.h"
#include "support/scripteddialogs.h"
#include "support/standinframe.h"
#include "support/widgetbyname.h"
#include "thumbs/thumbdraw.h"
#include "thumbs/thumbgrid.h"
#include "thumbs/thumblistmodel.h"
#include "thumbs/thumbrefresh.h"
#include "thumbs/thumbviewpage.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

bool near(QRgb a, QRgb b, int tolerance = 24)
{
    return std::abs(qRed(a) - qRed(b)) <= tolerance && std::abs(qGreen(a) - qGreen(b)) <= tolerance
        && std::abs(qBlue(a) - qBlue(b)) <= tolerance;
}

// A program folder and a site folder, and the page under test hosted in a stand-in frame.
struct PageFixture {
    QTemporaryDir dir;
    QString program = dir.filePath(QStringLiteral("prog")) + QLatin1Char('/');
    QString site = dir.filePath(QStringLiteral("site"));
    QString thumbs = program + QStringLiteral("THUMBS/");
    StandInFrame frame { program };
    thumbs::ThumbViewPage page { frame };

    explicit PageFixture(const QStringList &names)
    {
        QDir().mkpath(site);
        QDir().mkpath(thumbs);
        frame.page = &page;
        page.resize(900, 700);
        page.show();
        page.setBaseIndex(1);
        page.setEntries(site, names);
    }
    QString pagePath(const QString &name) const { return site + QLatin1Char('/') + name; }
    QString thumbOf(const QString &name) const { return imaging::ThumbFileFor(thumbs, site, name); }
    void storeThumb(const QString &name, const QColor &color) const
    {
        QImage picture(130, 100, QImage::Format_RGB32);
        picture.fill(color);
        QDir().mkpath(QFileInfo(thumbOf(name)).path());
        ASSERT_TRUE(imaging::writeJpeg(picture, thumbOf(name), 90));
    }
    void writePage(const QString &name, const QByteArray &html) const
    {
        QFile file(pagePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(html);
    }
    void select(const QList<int> &rows)
    {
        widget<thumbs::ThumbGrid>(&page, "LVThumbs")->clearSelection();
        for (int row : rows)
            widget<thumbs::ThumbGrid>(&page, "LVThumbs")
                ->selectionModel()
                ->select(widget<thumbs::ThumbGrid>(&page, "LVThumbs")->model()->index(row, 0),
                    QItemSelectionModel::Select);
    }
    QImage grid()
    {
        widget<thumbs::ThumbGrid>(&page, "LVThumbs")->viewport()->repaint();
        return widget<thumbs::ThumbGrid>(&page, "LVThumbs")->viewport()->grab().toImage();
    }
    QRect cell(int row) const
    {
        return widget<thumbs::ThumbGrid>(&page, "LVThumbs")
            ->visualRect(widget<thumbs::ThumbGrid>(&page, "LVThumbs")->model()->index(row, 0));
    }
    QRect picture(int row) const
    {
        return thumbs::pictureRectIn(
            cell(row), widget<thumbs::ThumbGrid>(&page, "LVThumbs")->font().pointSize());
    }
};

QByteArray colouredPage(const char *left, const char *right)
{
    return QByteArray("<html><body style='margin:0'><div style='display:flex;height:100vh'>"
                      "<div style='flex:1;background:")
        + left + "'></div><div style='flex:1;background:" + right + "'></div></div></body></html>";
}

} // namespace

TEST(ThumbViewPage, MirrorsTheFileListAndAnswersForItsSelection)
{
    PageFixture f({ QStringLiteral("a.htm"), QStringLiteral("b.htm") });
    f.page.setBaseIndex(42);
    EXPECT_EQ(widget<QComboBox>(&f.page, "CBSnapBase")->currentText(),
        QStringLiteral("Thumbs Base: 640x480"));
    EXPECT_EQ(f.frame.values.thumbBaseIndex, 3);
    EXPECT_EQ(f.page.baseSize(), QSize(640, 480));
    widget<QComboBox>(&f.page, "CBSnapBase")->setCurrentIndex(6);
    EXPECT_EQ(f.page.baseSize(), QSize(1600, 1200));
    EXPECT_EQ(f.frame.values.thumbBaseIndex, 6);

    QLineEdit elsewhere;
    elsewhere.show();
    elsewhere.activateWindow();
    elsewhere.setFocus();
    f.page.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&f.page));
    f.page.activate();
    // TabThumbEnter: the title bar turns teal while the page has the focus, gray after.
    EXPECT_TRUE(
        widget<QLabel>(&f.page, "LabelThumbs")->styleSheet().contains(QStringLiteral("#008080")));
    elsewhere.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&elsewhere));
    elsewhere.setFocus();
    EXPECT_TRUE(
        widget<QLabel>(&f.page, "LabelThumbs")->styleSheet().contains(QStringLiteral("#808080")));
    EXPECT_EQ(f.page.currentFile(), f.pagePath(QStringLiteral("a.htm")));
    EXPECT_EQ(f.page.entryPath(1, true), QString());
    EXPECT_EQ(f.page.entryPath(1, false), f.pagePath(QStringLiteral("b.htm")));
    EXPECT_EQ(f.page.entryPath(2, false), QString());
    EXPECT_EQ(
        widget<thumbs::ThumbGrid>(&f.page, "LVThumbs")->model()->index(1, 0).data().toString(),
        QStringLiteral("2: b.htm"));

    f.frame.miniThumbs.clear();
    QTest::keyClick(widget<thumbs::ThumbGrid>(&f.page, "LVThumbs"), Qt::Key_A, Qt::ControlModifier);
    const frame::SelectionCount counts = f.page.selectionCounts();
    EXPECT_EQ(counts.page, &f.page);
    EXPECT_EQ(counts.selected, 2);
    EXPECT_EQ(counts.total, 2);
    EXPECT_EQ(f.page.currentFile(), QString());
    // Every key released (A, then Ctrl) shows the current file's thumbnail in the corner:
    // none here.
    EXPECT_EQ(f.frame.miniThumbs, QStringList({ QString(), QString() }));

    QSignalSpy deletes(&f.page, &thumbs::ThumbViewPage::deleteRequested);
    QTest::keyClick(widget<thumbs::ThumbGrid>(&f.page, "LVThumbs"), Qt::Key_Delete);
    EXPECT_EQ(deletes.size(), 1);
    QTest::keyClick(widget<thumbs::ThumbGrid>(&f.page, "LVThumbs"), Qt::Key_Return);
    EXPECT_TRUE(f.frame.requests.contains(QStringLiteral("DblClickForAll")));
}

TEST(ThumbViewPage, TypingFindsTheNextFileByTheStartOfItsName)
{
    const QStringList names = { QStringLiteral("about.htm"), QStringLiteral("Index.htm"),
        QStringLiteral("info.htm"), QStringLiteral("intro.htm"), QStringLiteral("main.htm") };
    PageFixture f(names);
    auto *model = static_cast<thumbs::ThumbListModel *>(
        widget<thumbs::ThumbGrid>(&f.page, "LVThumbs")->model());
    struct Row {
        const char *text;
        int start;
        bool wrap;
        int found;
    };
    const Row rows[] = {
        { "in", 0, false, 1 },
        { "IN", 2, false, 2 },
        { "intr", 0, false, 3 },
        { "in", 4, false, -1 },
        { "in", 4, true, 1 },
        { "a", 1, true, 0 },
        { "3", 0, true, -1 }, // the caption's number is not the name
        { "zz", 0, true, -1 },
    };
    for (const Row &row : rows)
        EXPECT_EQ(model->findItem(QString::fromUtf8(row.text), row.start, row.wrap), row.found)
            << row.text << " from " << row.start;

    f.page.activate();
    QTest::keyClicks(widget<thumbs::ThumbGrid>(&f.page, "LVThumbs"), QStringLiteral("in"));
    EXPECT_EQ(f.page.currentFile(), f.pagePath(QStringLiteral("Index.htm")));
}

// Grabbed pixels of the grid: frame colours by file kind, the "no thumbnail" text, and the
// selection frames.
TEST(ThumbViewPage, DrawsEntriesFromTheCache)
{
    PageFixture f({ QStringLiteral("banner.gif"), QStringLiteral("photo.JPEG"),
        QStringLiteral("index.htm") });
    f.storeThumb(QStringLiteral("banner.gif"), Qt::blue);
    f.storeThumb(QStringLiteral("photo.JPEG"), Qt::blue);
    f.select({ 0 });
    const QImage grid = f.grid();

    const struct {
        int row;
        QRgb frame;
    } frames[] = { { 0, qRgb(0, 255, 0) }, { 1, qRgb(255, 255, 0) } };
    for (const auto &entry : frames) {
        const QRect pic = f.picture(entry.row);
        EXPECT_TRUE(near(grid.pixel(pic.center()), qRgb(0, 0, 255))) << entry.row;
        EXPECT_EQ(grid.pixel(pic.left() - 1, pic.center().y()), entry.frame) << entry.row;
        EXPECT_EQ(grid.pixel(pic.right() + 1, pic.top() + 5), entry.frame) << entry.row;
    }

    const QRect empty = f.picture(2);
    EXPECT_EQ(grid.pixel(empty.left(), empty.center().y()), qRgb(0, 0, 0));
    EXPECT_EQ(grid.pixel(empty.right(), empty.top()), qRgb(0, 0, 0));
    int inked = 0;
    for (int y = empty.top() + 40; y < empty.top() + 60; ++y)
        for (int x = empty.left() + 1; x < empty.right(); ++x)
            inked += grid.pixel(x, y) == qRgb(0, 0, 0);
    EXPECT_GT(inked, 20) << "no text 40 pixels below the top";
    for (int y = empty.top() + 1; y < empty.top() + 38; ++y)
        EXPECT_EQ(grid.pixel(empty.center().x(), y), qRgb(128, 128, 128)) << y;

    const QRect selected = f.cell(0);
    EXPECT_EQ(grid.pixel(selected.topLeft()), qRgb(255, 0, 0));
    EXPECT_EQ(grid.pixel(selected.topLeft() + QPoint(1, 1)), qRgb(255, 255, 0));
    EXPECT_EQ(grid.pixel(selected.topLeft() + QPoint(3, 3)), qRgb(0, 0, 128));
    const QRect plain = f.cell(2);
    EXPECT_EQ(grid.pixel(plain.topLeft()), qRgb(128, 128, 128));
    EXPECT_EQ(grid.pixel(plain.topLeft() + QPoint(3, 3)), qRgb(128, 128, 128));
}

TEST(ThumbViewPage, FrameColourByExtension)
{
    const struct {
        const char *caption;
        QColor color;
    } rows[] = {
        { "1: banner.gif", QColor(0, 255, 0) },
        { "2: photo.JPEG", QColor(255, 255, 0) },
        { "3: a.jpg", QColor(255, 255, 0) },
        { "4: index.htm", QColor(0, 0, 0) },
        { "5: noextension", QColor(0, 0, 0) },
    };
    for (const auto &row : rows)
        EXPECT_EQ(thumbs::frameColorFor(QString::fromUtf8(row.caption)), row.color) << row.caption;
}

// Ten thousand entries: only those in sight are asked for.
TEST(ThumbViewPage, GridAsksOnlyForEntriesInSight)
{
    QStringList names;
    for (int i = 0; i < 10000; ++i)
        names.append(QStringLiteral("page%1.htm").arg(i, 5, 10, QLatin1Char('0')));
    PageFixture f(names);
    f.storeThumb(names.at(1), Qt::red);
    f.storeThumb(names.at(9999), Qt::red);
    f.grid();
    const auto [first, last] = widget<thumbs::ThumbGrid>(&f.page, "LVThumbs")->visibleRange();
    EXPECT_EQ(first, 0);
    EXPECT_GT(last, 0);
    EXPECT_LT(last, 100);
    EXPECT_EQ(f.page.cache().slotCount(), 1);
    widget<thumbs::ThumbGrid>(&f.page, "LVThumbs")->scrollToBottom();
    f.grid();
    EXPECT_EQ(widget<thumbs::ThumbGrid>(&f.page, "LVThumbs")->visibleRange().second, 9999);
    EXPECT_EQ(f.page.cache().slotCount(), 2);
    EXPECT_GE(f.page.cache().lookup(f.thumbOf(names.at(9999))), 0);
}

TEST(ThumbViewPage, NothingSelectedTellsWhy)
{
    ScriptedDialogs dialogs;
    PageFixture f({ QStringLiteral("a.htm") });
    f.page.makeThumbnails();
    f.page.deleteThumbnails();
    EXPECT_EQ(dialogs.texts(QStringLiteral("info")),
        QStringList({ QStringLiteral("Cannot create thumbnail.\r\nNo file(s) selected ..."),
            QStringLiteral("Cannot clear thumbnail.\r\nNo file(s) selected ...") }));
    EXPECT_EQ(f.frame.requests.count(QStringLiteral("mainEnabled")), 2);
}

// One page's thumbnail equals its capture at the base size shrunk by the resampler.
TEST(ThumbViewPage, MakeThumbStoresTheShrunkCapture)
{
    PageFixture f({ QStringLiteral("a.htm"), QStringLiteral("b.htm") });
    f.writePage(QStringLiteral("a.htm"), colouredPage("#ff0000", "#0000ff"));
    f.storeThumb(QStringLiteral("a.htm"), Qt::green);
    f.select({ 0 });
    f.grid(); // caches the old picture
    const int slot = f.page.cache().lookup(f.thumbOf(QStringLiteral("a.htm")));
    ASSERT_GE(slot, 0);

    f.page.makeThumbnails();
    const QImage stored = imaging::readJpeg(f.thumbOf(QStringLiteral("a.htm")));
    ASSERT_EQ(stored.size(), QSize(130, 100));
    EXPECT_EQ(f.frame.miniThumbs.last(), f.pagePath(QStringLiteral("a.htm")));

    engine::CaptureForm form(QSize(320, 240), nullptr);
    form.loadHtmlFile(f.pagePath(QStringLiteral("a.htm")));
    const QImage expected = thumbs::ShrinkCapture(form.capture());
    ASSERT_EQ(expected.size(), QSize(130, 100));
    qint64 difference = 0;
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 130; ++x) {
            const QRgb a = stored.pixel(x, y);
            const QRgb b = expected.pixel(x, y);
            difference += std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b))
                + std::abs(qBlue(a) - qBlue(b));
        }
    EXPECT_LT(difference / (130 * 100 * 3), 4) << "mean difference per byte";
    EXPECT_TRUE(near(stored.pixel(20, 50), qRgb(255, 0, 0)));
    EXPECT_TRUE(near(stored.pixel(100, 50), qRgb(0, 0, 255)));
    // The cached picture is the new one, without reloading the folder.
    EXPECT_TRUE(near(f.page.cache().picture(slot).pixel(20, 50), qRgb(255, 0, 0)));
}

TEST(ThumbViewPage, BatchOfThreeOfTenReportsEachFileInOrder)
{
    QStringList names;
    for (int i = 0; i < 10; ++i)
        names.append(QStringLiteral("p%1.htm").arg(i));
    PageFixture f(names);
    for (const QString &name : names)
        f.writePage(name, colouredPage("#00ff00", "#ffffff"));
    RecordingProgress progress;
    f.frame.progress = &progress;
    f.select({ 1, 4, 7 });
    f.page.makeThumbnails();

    EXPECT_EQ(progress.texts,
        QStringList({ QStringLiteral("(1 of 3): ") + f.pagePath(names.at(1)),
            QStringLiteral("(2 of 3): ") + f.pagePath(names.at(4)),
            QStringLiteral("(3 of 3): ") + f.pagePath(names.at(7)) }));
    EXPECT_EQ(progress.max, 3);
    EXPECT_EQ(progress.steps, 3);
    EXPECT_TRUE(progress.shown);
    EXPECT_TRUE(progress.closed());
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(QFileInfo::exists(f.thumbOf(names.at(i))), i == 1 || i == 4 || i == 7) << i;
    EXPECT_EQ(f.frame.requests.indexOf(QStringLiteral("mainDisabled")) >= 0, true);
    EXPECT_EQ(f.frame.requests.last(), QStringLiteral("mainEnabled"));

    // A stop finishes the file under way and ends the batch.
    for (const QString &name : names)
        QFile::remove(f.thumbOf(name));
    RecordingProgress stopping;
    stopping.stopAfterSteps = 1;
    f.frame.progress = &stopping;
    f.page.makeThumbnails();
    EXPECT_EQ(stopping.texts.size(), 1);
    EXPECT_TRUE(QFileInfo::exists(f.thumbOf(names.at(1))));
    EXPECT_FALSE(QFileInfo::exists(f.thumbOf(names.at(4))));
    EXPECT_TRUE(stopping.closed());
    EXPECT_EQ(f.frame.requests.last(), QStringLiteral("mainEnabled"));

    // Clearing: the files go and their cache entries die.
    f.page.maker().setHostCount(2);
    f.frame.progress = &progress;
    f.page.makeThumbnails();
    f.grid();
    ASSERT_GE(f.page.cache().lookup(f.thumbOf(names.at(4))), 0);
    f.page.deleteThumbnails();
    for (int i : { 1, 4, 7 }) {
        EXPECT_FALSE(QFileInfo::exists(f.thumbOf(names.at(i)))) << i;
        EXPECT_EQ(f.page.cache().lookup(f.thumbOf(names.at(i))), -1) << i;
    }
}

// A page that cannot be rendered is named on the hint line and gets no thumbnail; the batch
// goes on with the next one.
TEST(ThumbViewPage, ABatchNamesAPageItCannotRender)
{
    PageFixture f({ QStringLiteral("pipe.htm"), QStringLiteral("good.htm") });
    ASSERT_EQ(
        mkfifo(QFile::encodeName(f.pagePath(QStringLiteral("pipe.htm"))).constData(), 0600), 0);
    f.writePage(QStringLiteral("good.htm"), colouredPage("#00ff00", "#ffffff"));
    RecordingProgress progress;
    f.frame.progress = &progress;
    f.select({ 0, 1 });
    f.page.makeThumbnails();
    EXPECT_TRUE(f.frame.hints.contains(
        QStringLiteral("not a regular file: ") + f.pagePath(QStringLiteral("pipe.htm"))))
        << f.frame.hints.join(u'\n').toStdString();
    EXPECT_FALSE(QFileInfo::exists(f.thumbOf(QStringLiteral("pipe.htm"))));
    EXPECT_TRUE(QFileInfo::exists(f.thumbOf(QStringLiteral("good.htm"))));
}

TEST(ThumbViewPage, FullDiskStopsTheBatchBeforeWriting)
{
    PageFixture f({ QStringLiteral("a.htm"), QStringLiteral("b.htm") });
    f.writePage(QStringLiteral("a.htm"), colouredPage("red", "blue"));
    f.writePage(QStringLiteral("b.htm"), colouredPage("red", "blue"));
    RecordingProgress progress;
    f.frame.progress = &progress;
    f.frame.diskSpaceLeft = false;
    f.select({ 0, 1 });
    f.page.makeThumbnails();
    EXPECT_EQ(progress.texts.size(), 1);
    EXPECT_TRUE(progress.closed());
    EXPECT_FALSE(QFileInfo::exists(f.thumbOf(QStringLiteral("a.htm"))));
    f.select({ 0 });
    f.page.makeThumbnails();
    EXPECT_FALSE(QFileInfo::exists(f.thumbOf(QStringLiteral("a.htm"))));
}

namespace {

QByteArray plainPage(const char *colour)
{
    return colouredPage(colour, colour);
}

// Writes the pages and waits until the watcher has reported them, so that what follows starts
// from quiet.
void writeAndSettle(PageFixture &f, const QStringList &names, const char *colour)
{
    QSignalSpy changes(&f.page.fileWatch(), &platform::FileWatch::filesChanged);
    for (const QString &name : names)
        f.writePage(name, plainPage(colour));
    ASSERT_TRUE(changes.wait(10000));
}

} // namespace

// A page rewritten on disk gets its thumbnail remade and its cell redrawn; a page without a
// thumbnail is left alone; with the option off nothing is remade.
TEST(ThumbViewPage, ThumbnailsOfPagesChangedOnDiskStayFresh)
{
    const QString a = QStringLiteral("a.htm");
    const QString b = QStringLiteral("b.htm");
    PageFixture f({ a, b });
    writeAndSettle(f, { a, b }, "#ff0000");
    f.storeThumb(a, Qt::red);
    f.page.activate();
    ASSERT_TRUE(near(f.grid().pixel(f.picture(0).center()), qRgb(255, 0, 0)));
    ASSERT_GE(f.page.cache().lookup(f.thumbOf(a)), 0);

    auto *model = widget<thumbs::ThumbGrid>(&f.page, "LVThumbs")->model();
    QSignalSpy redrawn(model, &QAbstractItemModel::dataChanged);
    QSignalSpy remade(&f.page.refreshQueue(), &thumbs::ThumbRefreshQueue::remade);
    f.writePage(a, plainPage("#0000ff"));
    f.writePage(b, plainPage("#0000ff"));
    f.page.setEntries(f.site, { a, b }); // the folder view reads its list again meanwhile
    ASSERT_TRUE(remade.wait(30000));
    EXPECT_EQ(remade.first().first().toString(), f.pagePath(a));
    EXPECT_TRUE(near(QImage(f.thumbOf(a)).pixel(65, 50), qRgb(0, 0, 255)));
    ASSERT_FALSE(redrawn.isEmpty());
    EXPECT_EQ(redrawn.last().first().value<QModelIndex>().row(), 0);
    EXPECT_TRUE(near(f.grid().pixel(f.picture(0).center()), qRgb(0, 0, 255)));
    EXPECT_FALSE(QFileInfo::exists(f.thumbOf(b)));

    f.frame.values.keepThumbsFresh = false;
    QSignalSpy changes(&f.page.fileWatch(), &platform::FileWatch::filesChanged);
    f.writePage(a, plainPage("#00ff00"));
    ASSERT_TRUE(changes.wait(10000));
    EXPECT_EQ(f.page.refreshQueue().waitingCount(), 0);
    EXPECT_FALSE(f.page.refreshQueue().isRemaking());
    EXPECT_TRUE(near(QImage(f.thumbOf(a)).pixel(65, 50), qRgb(0, 0, 255)));
}

TEST(ThumbViewPage, NothingIsRemadeWhileABatchRunsAndItIsAfter)
{
    const QStringList names
        = { QStringLiteral("a.htm"), QStringLiteral("b.htm"), QStringLiteral("c.htm") };
    PageFixture f(names);
    writeAndSettle(f, names, "#ff0000");
    f.storeThumb(names.at(0), Qt::red);
    f.page.refreshQueue().setQuietTime(0);
    QSignalSpy remade(&f.page.refreshQueue(), &thumbs::ThumbRefreshQueue::remade);
    RecordingProgress progress;
    qsizetype remadeDuringBatch = -1;
    progress.onClose = [&] { remadeDuringBatch = remade.size(); };
    f.frame.progress = &progress;
    f.select({ 1, 2 });
    f.writePage(names.at(0), plainPage("#0000ff"));
    f.page.refreshQueue().pagesChanged({ f.pagePath(names.at(0)) });
    f.page.makeThumbnails();
    EXPECT_EQ(progress.steps, 2);
    EXPECT_EQ(remadeDuringBatch, 0);
    ASSERT_TRUE(remade.size() > 0 || remade.wait(30000));
    EXPECT_TRUE(near(QImage(f.thumbOf(names.at(0))).pixel(65, 50), qRgb(0, 0, 255)));
}

// A thumbnail that cannot be written (as in a read-only thumbnail folder) is said once, and the
// other pages of the folder are not tried one by one.
TEST(ThumbViewPage, AThumbnailThatCannotBeWrittenIsSaidOnce)
{
    const QStringList names = { QStringLiteral("a.htm"), QStringLiteral("b.htm") };
    PageFixture f(names);
    writeAndSettle(f, names, "#ff0000");
    // A folder where each JPEG goes: the file exists, and no write can replace it.
    for (const QString &name : names)
        ASSERT_TRUE(QDir().mkpath(f.thumbOf(name)));
    QSignalSpy remade(&f.page.refreshQueue(), &thumbs::ThumbRefreshQueue::remade);
    writeAndSettle(f, names, "#0000ff");
    ASSERT_TRUE(remade.size() > 0 || remade.wait(30000));
    writeAndSettle(f, names, "#00ff00");
    QCoreApplication::processEvents();
    EXPECT_EQ(remade.size(), 1);
    EXPECT_EQ(f.frame.hints.filter(QStringLiteral("Cannot keep thumbnails fresh")),
        QStringList({ QStringLiteral("Cannot keep thumbnails fresh: cannot write to ")
            + QDir::toNativeSeparators(f.thumbs) }));
}
