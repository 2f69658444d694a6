#include "enginetestutil.h"

#include "engine/capturehost.h"
#include "engine/htmlview.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFont>
#include <QFontInfo>
#include <QKeyEvent>
#include <QSignalSpy>
#include <QTest>
#include <QUrl>

#include <gtest/gtest.h>

namespace {

struct Click {
    QString target, url, frameFile;
};

class HtmlViewTest : public ::testing::Test
{
protected:
    HtmlViewTest()
    {
        QObject::connect(&view(), &engine::HtmlView::hotSpotTargetClick, &view(),
            [this](const QString &target, const QString &url, const QString &frameFile,
                bool *handled) {
                clicks.append({ target, url, frameFile });
                *handled = handleClicks;
            });
        QObject::connect(&view(), &engine::HtmlView::processingChanged, &view(),
            [this](bool processing) { loadsStarted += processing ? 1 : 0; });
    }

    engine::HtmlView &view() { return *host.view(); }

    // Clicks the element and waits for the document it leads to, if any. A busy engine may
    // start that load well after the click.
    void follow(const QString &id, const QStringList &frames = {})
    {
        const int before = int(clicks.size());
        const int loadsBefore = loadsStarted;
        clickAt(view(), elementCentre(view(), id, frames));
        ASSERT_TRUE(waitFor([&] { return clicks.size() > before; }))
            << "no click on " << id.toStdString();
        if (!handleClicks && !clicks.last().url.startsWith(QLatin1Char('#')))
            waitFor([&] { return loadsStarted > loadsBefore; });
        waitFor([&] { return !view().isProcessing(); });
        view().waitForFrame();
    }

    QString page(const QString &name, const QString &body)
    {
        return pages.write(name,
            (QStringLiteral("<html><body>") + body + QStringLiteral("</body></html>")).toUtf8());
    }

    PageFolder pages;
    engine::CaptureHost host { QSize(640, 480) };
    QList<Click> clicks;
    bool handleClicks = false;
    int loadsStarted = 0;
};

TEST_F(HtmlViewTest, LinkClickGivesTargetUrlAsWrittenAndFrameFileAndHandledStopsIt)
{
    const QString index = page(QStringLiteral("index.htm"),
        QStringLiteral("<a id=l href='sub/page.htm#top' target=main>go</a>"));
    page(QStringLiteral("sub/page.htm"), QStringLiteral("sub page"));
    ASSERT_TRUE(view().loadHtmlFile(index));
    handleClicks = true;

    follow(QStringLiteral("l"));

    ASSERT_EQ(clicks.size(), 1);
    EXPECT_EQ(clicks[0].target, QStringLiteral("main"));
    EXPECT_EQ(clicks[0].url, QStringLiteral("sub/page.htm#top"));
    EXPECT_EQ(QDir::cleanPath(clicks[0].frameFile), QDir::cleanPath(index));
    spin(200);
    EXPECT_EQ(QDir::cleanPath(view().currentFile()), QDir::cleanPath(index));
    EXPECT_FALSE(view().canGoBack());
}

TEST_F(HtmlViewTest, UnhandledLinksAreFollowedIntoTheHistory)
{
    const QString a = page(QStringLiteral("a.htm"), QStringLiteral("<a id=l href='b.htm'>b</a>"));
    const QString b = page(QStringLiteral("b.htm"), QStringLiteral("<a id=l href='c.htm'>c</a>"));
    const QString c = page(QStringLiteral("c.htm"), QStringLiteral("end"));
    ASSERT_TRUE(view().loadHtmlFile(a));
    QSignalSpy historyChanges(&view(), &engine::HtmlView::historyChanged);

    follow(QStringLiteral("l"));
    follow(QStringLiteral("l"));
    EXPECT_EQ(QDir::cleanPath(view().currentFile()), QDir::cleanPath(c));
    EXPECT_TRUE(view().canGoBack());
    EXPECT_FALSE(view().canGoForward());
    EXPECT_GE(historyChanges.count(), 2);

    view().goBack();
    ASSERT_TRUE(waitFor([&] { return view().currentFile() == QDir::cleanPath(b); }));
    EXPECT_TRUE(view().canGoBack());
    EXPECT_TRUE(view().canGoForward());

    view().goForward();
    ASSERT_TRUE(waitFor([&] { return view().currentFile() == QDir::cleanPath(c); }));
    EXPECT_FALSE(view().canGoForward());
}

TEST_F(HtmlViewTest, HistoryKeepsTenEntriesAndClearingForgetsThem)
{
    for (int i = 0; i < 12; ++i)
        page(QStringLiteral("p%1.htm").arg(i),
            QStringLiteral("<a id=l href='p%1.htm'>next</a>").arg(i + 1));
    ASSERT_TRUE(view().loadHtmlFile(pages.path(QStringLiteral("p0.htm"))));
    for (int i = 0; i < 11; ++i)
        follow(QStringLiteral("l"));
    ASSERT_TRUE(view().currentFile().endsWith(QStringLiteral("p11.htm")));

    int steps = 0;
    while (view().canGoBack() && steps < 20) {
        const QString before = view().currentFile();
        view().goBack();
        ASSERT_TRUE(waitFor([&] { return view().currentFile() != before; }));
        waitFor([&] { return !view().isProcessing(); });
        ++steps;
    }
    EXPECT_EQ(steps, 9) << "ten entries, the current one included";

    // Cleared before or after a load: either way nothing to go back to.
    view().clearHistory();
    ASSERT_TRUE(view().loadHtmlFile(pages.path(QStringLiteral("p3.htm"))));
    EXPECT_FALSE(view().canGoBack());
    EXPECT_FALSE(view().canGoForward());
    follow(QStringLiteral("l"));
    EXPECT_TRUE(view().canGoBack());
    ASSERT_TRUE(view().loadHtmlFile(pages.path(QStringLiteral("p5.htm"))));
    view().clearHistory();
    EXPECT_FALSE(view().canGoBack());
}

TEST_F(HtmlViewTest, FramesetLinksOpenInTheirTargetFrame)
{
    const QString index = pages.write(QStringLiteral("index.htm"),
        "<html><frameset cols='30%,*'><frame name=nav src='nav.htm'><frame name=main "
        "src='a.htm'></frameset></html>");
    const QString nav = page(QStringLiteral("nav.htm"),
        QStringLiteral("<a id=l href='b.htm' target=main>b</a> navigation"));
    page(QStringLiteral("a.htm"), QStringLiteral("page a"));
    page(QStringLiteral("b.htm"), QStringLiteral("page b"));
    ASSERT_TRUE(view().loadHtmlFile(index));

    follow(QStringLiteral("l"), { QStringLiteral("nav") });

    ASSERT_EQ(clicks.size(), 1);
    EXPECT_EQ(clicks[0].target, QStringLiteral("main"));
    EXPECT_EQ(QDir::cleanPath(clicks[0].frameFile), QDir::cleanPath(nav));
    EXPECT_EQ(QDir::cleanPath(view().activeFrameFile()), QDir::cleanPath(nav));
    ASSERT_TRUE(waitFor([&] {
        return frameUrl(view(), { QStringLiteral("main") }).endsWith(QStringLiteral("/b.htm"));
    }));
    EXPECT_EQ(QDir::cleanPath(view().currentFile()), QDir::cleanPath(index));
    // The history counts the frame's new page once its load has ended, which may come after
    // the page shows.
    EXPECT_TRUE(waitFor([&] { return view().canGoBack(); }));

    view().goBack();
    EXPECT_TRUE(waitFor([&] {
        return frameUrl(view(), { QStringLiteral("main") }).endsWith(QStringLiteral("/a.htm"));
    }));
}

TEST_F(HtmlViewTest, AnchorLinksScrollWithinThePage)
{
    const QString a = page(QStringLiteral("a.htm"),
        QStringLiteral("<a id=l href='#bottom'>down</a>"
                       "<div style='height:3000px'></div><a name=bottom>b</a>"));
    ASSERT_TRUE(view().loadHtmlFile(a));
    follow(QStringLiteral("l"));
    ASSERT_EQ(clicks.size(), 1);
    EXPECT_EQ(clicks[0].url, QStringLiteral("#bottom"));
    EXPECT_TRUE(waitFor([&] {
        return view().evaluateJavaScript(QStringLiteral("window.scrollY")).toDouble() > 1000;
    }));
    EXPECT_EQ(QDir::cleanPath(view().currentFile()), QDir::cleanPath(a));
}

TEST_F(HtmlViewTest, CoveringALinkReportsTargetAndUrlAndLeavingReportsNothing)
{
    const QString a = page(QStringLiteral("a.htm"),
        QStringLiteral("<p style='margin:50px'><a id=l href='b.htm' "
                       "target=main>b</a></p><p id=plain>text</p>"));
    ASSERT_TRUE(view().loadHtmlFile(a));
    QSignalSpy covered(&view(), &engine::HtmlView::hotSpotTargetCovered);

    moveMouseTo(view(), elementCentre(view(), QStringLiteral("l")));
    ASSERT_TRUE(waitFor([&] { return covered.count() >= 1; }));
    EXPECT_EQ(covered.last().at(0).toString(), QStringLiteral("main"));
    EXPECT_EQ(covered.last().at(1).toString(), QStringLiteral("b.htm"));

    moveMouseTo(view(), elementCentre(view(), QStringLiteral("plain")));
    ASSERT_TRUE(waitFor([&] { return covered.count() >= 2; }));
    EXPECT_EQ(covered.last().at(0).toString(), QString());
    EXPECT_EQ(covered.last().at(1).toString(), QString());
}

TEST_F(HtmlViewTest, DisplaySettingsAreDefaultsThatThePageOverrides)
{
    engine::DisplaySettings settings;
    settings.fontSize = 18;
    settings.fontColor = QColor(0, 128, 0);
    settings.linkColor = QColor(255, 0, 255);
    settings.backgroundColor = QColor(255, 255, 0);
    view().setDisplaySettings(settings);
    EXPECT_EQ(view().displaySettings(), settings);

    const QString plain = page(QStringLiteral("plain.htm"),
        QStringLiteral("<p id=t>text</p><a id=l href='x.htm'>link</a>"));
    ASSERT_TRUE(view().loadHtmlFile(plain));
    auto style = [&](const QString &id, const QString &property) {
        return view()
            .evaluateJavaScript(QStringLiteral("getComputedStyle(document.getElementById('%1'))"
                                               ".%2")
                                    .arg(id, property))
            .toString();
    };
    EXPECT_EQ(style(QStringLiteral("t"), QStringLiteral("fontSize")), QStringLiteral("24px"));
    EXPECT_EQ(
        style(QStringLiteral("t"), QStringLiteral("color")), QStringLiteral("rgb(0, 128, 0)"));
    EXPECT_EQ(
        style(QStringLiteral("l"), QStringLiteral("color")), QStringLiteral("rgb(255, 0, 255)"));
    EXPECT_TRUE(sameColor(view().capture().pixel(300, 400), qRgb(255, 255, 0)));

    const QString own = pages.write(QStringLiteral("own.htm"),
        "<html><body bgcolor=#0000ff text=#ff0000 link=#00ffff><p id=t style='font-size:10px'>"
        "text</p><a id=l href='x.htm'>link</a></body></html>");
    ASSERT_TRUE(view().loadHtmlFile(own));
    EXPECT_EQ(style(QStringLiteral("t"), QStringLiteral("fontSize")), QStringLiteral("10px"));
    EXPECT_EQ(
        style(QStringLiteral("t"), QStringLiteral("color")), QStringLiteral("rgb(255, 0, 0)"));
    EXPECT_EQ(
        style(QStringLiteral("l"), QStringLiteral("color")), QStringLiteral("rgb(0, 255, 255)"));
    EXPECT_TRUE(sameColor(view().capture().pixel(300, 400), qRgb(0, 0, 255)));

    // Settings changed while a page is shown reach it at once.
    view().setDefaultFontSize(9);
    view().setDefaultFontColor(QColor(0, 0, 128));
    ASSERT_TRUE(view().loadHtmlFile(plain));
    view().setDefaultFontColor(QColor(128, 0, 0));
    EXPECT_TRUE(waitFor([&] {
        return style(QStringLiteral("t"), QStringLiteral("color"))
            == QStringLiteral("rgb(128, 0, 0)");
    }));
    EXPECT_EQ(style(QStringLiteral("t"), QStringLiteral("fontSize")), QStringLiteral("12px"));
}

TEST_F(HtmlViewTest, AMissingDefaultFontIsReplacedByThePlatformsSubstitute)
{
    // "Times New Roman" is missing on most Linux systems; the engine alone would use sans-serif.
    const QString substitute = QFontInfo(QFont(view().defaultFontName())).family();
    const QString file = pages.write(QStringLiteral("fonts.htm"),
        QStringLiteral("<html><body><span id=d>Some normal text, Wide Words</span><br>"
                       "<span id=s style=\"font-family:'%1'\">Some normal text, Wide Words</span>"
                       "</body></html>")
            .arg(substitute)
            .toUtf8());
    ASSERT_TRUE(view().loadHtmlFile(file));
    const QVariant widths = view().evaluateJavaScript(QStringLiteral(
        "[document.getElementById('d').offsetWidth, document.getElementById('s').offsetWidth]"));
    const QVariantList list = widths.toList();
    ASSERT_EQ(list.size(), 2);
    EXPECT_EQ(list[0].toInt(), list[1].toInt());
}

TEST_F(HtmlViewTest, ProcessingIsReportedAroundALoad)
{
    const QString a = page(QStringLiteral("a.htm"), QStringLiteral("a"));
    QSignalSpy processing(&view(), &engine::HtmlView::processingChanged);
    ASSERT_TRUE(view().loadHtmlFile(a));
    ASSERT_GE(processing.count(), 2);
    EXPECT_TRUE(processing.first().at(0).toBool());
    EXPECT_FALSE(processing.last().at(0).toBool());
    EXPECT_FALSE(view().isProcessing());
}

TEST_F(HtmlViewTest, SelectAllAndCopyActOnTheActiveFrame)
{
    const QString index = pages.write(QStringLiteral("index.htm"),
        "<html><frameset cols='50%,*'><frame name=left src='l.htm'><frame name=right "
        "src='r.htm'></frameset></html>");
    page(QStringLiteral("l.htm"), QStringLiteral("<p id=p>left words</p>"));
    const QString right = page(QStringLiteral("r.htm"), QStringLiteral("<p id=p>right words</p>"));
    ASSERT_TRUE(view().loadHtmlFile(index));
    QApplication::clipboard()->clear();

    clickAt(view(), elementCentre(view(), QStringLiteral("p"), { QStringLiteral("right") }));
    ASSERT_TRUE(waitFor([&] { return view().activeFrameFile() == QDir::cleanPath(right); }));
    view().selectAll();
    view().copySelection();
    ASSERT_TRUE(waitFor([] { return !QApplication::clipboard()->text().isEmpty(); }));
    EXPECT_EQ(QApplication::clipboard()->text().trimmed(), QStringLiteral("right words"));
}

TEST_F(HtmlViewTest, KeysReachTheKeyDownHandlerFirst)
{
    ASSERT_TRUE(view().loadHtmlFile(page(QStringLiteral("a.htm"), QStringLiteral("words"))));
    QList<int> keys;
    QObject::connect(
        &view(), &engine::HtmlView::keyDown, &view(), [&](QKeyEvent *event, bool *handled) {
            if (event->key() != Qt::Key_Control)
                keys.append(event->key());
            *handled = event->key() == Qt::Key_A;
        });
    QTest::keyClick(view().inputWidget(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(view().inputWidget(), Qt::Key_B);
    EXPECT_EQ(keys, (QList<int> { Qt::Key_A, Qt::Key_B }));
    spin(100);
    EXPECT_TRUE(view().selectedText().isEmpty()) << "a handled Ctrl+A must not select";
}

TEST_F(HtmlViewTest, MovingTheViewKeepsDocumentAndHistory)
{
    const QString a = page(QStringLiteral("a.htm"), QStringLiteral("<a id=l href='b.htm'>b</a>"));
    const QString b = pages.write(
        QStringLiteral("b.htm"), "<html><body style='background:#00ff00'>b</body></html>");
    ASSERT_TRUE(view().loadHtmlFile(a));
    follow(QStringLiteral("l"));

    engine::CaptureHost other(QSize(300, 200));
    engine::HtmlView *moved = host.view();
    other.adopt(moved);
    EXPECT_EQ(other.view(), moved);
    EXPECT_EQ(QDir::cleanPath(moved->currentFile()), QDir::cleanPath(b));
    EXPECT_TRUE(moved->canGoBack());
    moved->waitForFrame();
    const QImage shot = other.capture();
    EXPECT_EQ(shot.size(), QSize(300, 200));
    EXPECT_TRUE(sameColor(shot.pixel(150, 150), qRgb(0, 255, 0)));

    other.release();
    host.adopt(moved);
    EXPECT_TRUE(moved->canGoBack());
    moved->goBack();
    EXPECT_TRUE(waitFor([&] { return moved->currentFile() == QDir::cleanPath(a); }));
    host.release();
}

TEST_F(HtmlViewTest, HtmlTextFromMemoryIsShown)
{
    ASSERT_TRUE(view().setHtmlText(QStringLiteral("<body style='background:#ff00ff'>"
                                                  "<b id=b>Bold Text</b></body>")));
    EXPECT_EQ(view()
                  .evaluateJavaScript(QStringLiteral("document.getElementById('b').textContent"))
                  .toString(),
        QStringLiteral("Bold Text"));
    EXPECT_TRUE(sameColor(view().capture().pixel(320, 300), qRgb(255, 0, 255)));
    EXPECT_TRUE(view().currentFile().isEmpty());
}

} // namespace
