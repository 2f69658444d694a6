// A page whose script never ends, chosen in the real main window: the window answers at once
// whatever the page does, and the docked browser shows the page as far as it got.
#include "mainwindow_fixture.h"

#include "engine/htmlview.h"
#include "imaging/jpegcodec.h"
#include "imaging/thumbstore.h"
#include "thumbs/thumbgrid.h"
#include "viewer/sourceeditor.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

namespace {

// The window used to stand still for ten seconds. The bounds leave room for a loaded machine
// and the sanitizer build, where the loop alone stands still for a few tenths now and then.
constexpr qint64 kAnswerMs = 1000;
constexpr qint64 kStallMs = 1500;

// Lets events run for the given time; returns the longest time the loop went without running
// a 10 ms timer.
qint64 runEvents(int ms)
{
    QElapsedTimer clock;
    clock.start();
    qint64 last = 0;
    qint64 longest = 0;
    QTimer ticks;
    QObject::connect(&ticks, &QTimer::timeout, [&] {
        longest = std::max(longest, clock.elapsed() - last);
        last = clock.elapsed();
    });
    ticks.start(10);
    while (clock.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return std::max(longest, clock.elapsed() - last);
}

bool shows(engine::HtmlView &browser, QRgb colour)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 5000) {
        const QImage shot = browser.capture();
        const QRgb centre = shot.pixel(shot.width() / 2, shot.height() / 2);
        if (qAbs(qRed(centre) - qRed(colour)) < 8 && qAbs(qGreen(centre) - qGreen(colour)) < 8
            && qAbs(qBlue(centre) - qBlue(colour)) < 8)
            return true;
        runEvents(20);
    }
    return false;
}

class HostilePageWindowTest : public MainWindowTest
{
protected:
    void SetUp() override
    {
        writeFile(sitePath("index.htm"), "<html><body style='background:#ff0000'></body></html>");
        writeFile(sitePath("loop.htm"), kEndless);
        setIni(QStringLiteral("[PATHS]\r\nVIEW_PATH=") + site.path() + QStringLiteral("\r\n"));
        start();
    }

    // A click on the row of the file, as the user makes it; returns how long it took.
    qint64 clickFile(const char *name)
    {
        auto *list = widget<QListWidget>(folderPageOf(*form), "LBFile");
        const int row = folderPageOf(*form)->findListIndex(QString::fromLatin1(name));
        EXPECT_GE(row, 0) << name;
        QElapsedTimer clock;
        clock.start();
        QTest::mouseClick(
            list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(row)).center());
        return clock.elapsed();
    }

    // A click on the tab of a page; returns how long it took.
    qint64 clickTab(int index)
    {
        QTabBar *bar = widget<QTabWidget>(form, "PageControl1")->tabBar();
        QElapsedTimer clock;
        clock.start();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(index).center());
        EXPECT_EQ(widget<QTabWidget>(form, "PageControl1")->currentIndex(), index);
        return clock.elapsed();
    }

    static constexpr char kEndless[] = "<html><body>x<script>while(true){}</script></body></html>";
};

} // namespace

TEST_F(HostilePageWindowTest, TheWindowAnswersWhileAPageNeverEnds)
{
    engine::HtmlView &browser = *view->browser();
    EXPECT_LT(clickFile("index.htm"), 1000);
    ASSERT_TRUE(shows(browser, qRgb(255, 0, 0)));

    EXPECT_LT(clickFile("loop.htm"), kAnswerMs);
    EXPECT_EQ(view->editor()->text(), QString::fromLatin1(kEndless)) << "the editor has the page";
    EXPECT_TRUE(view->editor()->isEnabled());
    EXPECT_LT(runEvents(1000), kStallMs);
    EXPECT_LT(clickTab(kThumbsTab), kAnswerMs);
    EXPECT_LT(runEvents(300), kStallMs);
    EXPECT_LT(clickTab(kFolderTab), kAnswerMs);
    EXPECT_EQ(form->currentFile(), sitePath("loop.htm"));
    EXPECT_LT(runEvents(300), kStallMs);
    // Nothing of the page was drawn: the browser is blank, not the page before.
    EXPECT_TRUE(shows(browser, qRgb(255, 255, 255)));

    EXPECT_LT(clickFile("index.htm"), kAnswerMs);
    EXPECT_TRUE(shows(browser, qRgb(255, 0, 0))) << "the next page shows";
}

// "Make Thumbs" over several pages with the endless one among them: its entry gets no other
// page's picture, and after the batch the hint line names it (the window's return from the
// progress window does not put the welcome text over it).
TEST_F(HostilePageWindowTest, MakeThumbsNamesThePageThatDidNotFinish)
{
    widget<QTabWidget>(form, "PageControl1")->setCurrentIndex(kThumbsTab);
    thumbs::ThumbGrid *grid = widget<thumbs::ThumbGrid>(thumbPageOf(*form), "LVThumbs");
    grid->selectAll();
    thumbPageOf(*form)->makeThumbnails();
    // As the window system does when the progress window goes.
    QApplication::setActiveWindow(progress.get());
    QApplication::setActiveWindow(form.get());
    runEvents(300);
    EXPECT_EQ(widget<QLabel>(form, "LabelHint")->text(),
        sitePath("loop.htm") + QStringLiteral(" did not finish loading; saved as far as it got"));
    const QImage loop = imaging::readJpeg(
        imaging::ThumbFileFor(form->thumbFolder(), site.path(), QStringLiteral("loop.htm")));
    const QRgb centre = loop.pixel(65, 50);
    EXPECT_GT(qGreen(centre), 240) << "blank, not the red index page";
}
