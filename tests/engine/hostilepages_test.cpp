// Pages that work against the program: scripts that never end, pages that reach for other local
// files, pages that take all memory. The window answers, each capture shows its own page, and
// every such page is named.

#include "enginetestutil.h"

#include "engine/captureform.h"
#include "engine/htmlview.h"
#include "engine/renderermemory.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

constexpr QRgb red = qRgb(255, 0, 0);
constexpr QRgb green = qRgb(0, 255, 0);
constexpr QRgb blue = qRgb(0, 0, 255);
constexpr QRgb white = qRgb(255, 255, 255);

QByteArray solid(const char *colour, const QByteArray &more = {})
{
    return QByteArray("<html><body style='margin:0;background:") + colour + "'>" + more
        + "</body></html>";
}

QRgb centreOf(const QImage &shot)
{
    return shot.pixel(shot.width() / 2, shot.height() / 2);
}

// The longest time the event loop went without running a 10 ms timer while `act` ran and
// for `ms` after it.
qint64 longestStall(const std::function<void()> &act, int ms)
{
    QElapsedTimer clock;
    clock.start();
    qint64 last = 0;
    qint64 longest = 0;
    const auto tick = [&] {
        longest = std::max(longest, clock.elapsed() - last);
        last = clock.elapsed();
    };
    QTimer ticks;
    QObject::connect(&ticks, &QTimer::timeout, tick);
    ticks.start(10);
    act();
    tick();
    spin(ms);
    return longest;
}

} // namespace

// The window's browser loads in the background: a page that never ends its script, during its
// load or after it, holds nothing up. The view shows the page as far as it got (never the page
// before it), and the next page loads at once on a fresh renderer.
TEST(HostilePages, TheBrowserAnswersWhateverAPageDoes)
{
    struct Row {
        const char *name;
        QByteArray content;
        QRgb shown; // what the view shows of it
    };
    const Row rows[] = {
        { "endless script while loading", solid("#0000ff", "x<script>for (;;) {}</script>"),
            white },
        { "endless script after loading",
            solid("#0000ff", "<script>onload = function () { setTimeout(function () {"
                             " for (;;) {} }, 100); };</script>"),
            blue },
        { "endless script in a frame", "<html><body style='margin:0;background:#0000ff'><iframe "
                                       "src='endless.htm'></iframe></body></html>",
            blue },
    };
    PageFolder pages;
    const QString before = pages.write(QStringLiteral("red.htm"), solid("#ff0000"));
    const QString after = pages.write(QStringLiteral("green.htm"), solid("#00ff00"));
    pages.write(QStringLiteral("endless.htm"), solid("#ffff00", "<script>for (;;) {}</script>"));
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        engine::HtmlView view;
        view.setLoadsInBackground(true);
        view.resize(320, 240);
        view.show();
        view.loadHtmlFile(before);
        ASSERT_TRUE(view.waitForLoad());
        const QString page = pages.write(QStringLiteral("page.htm"), row.content);
        QElapsedTimer call;
        const qint64 stall = longestStall(
            [&] {
                call.start();
                EXPECT_TRUE(view.loadHtmlFile(page));
                EXPECT_LT(call.elapsed(), 1000);
            },
            1500);
        // The loop used to stand still for seconds; the bound leaves room for a loaded machine
        // and the sanitizer build.
        EXPECT_LT(stall, 1500) << "the event loop stood still";
        EXPECT_TRUE(waitFor([&] { return sameColor(centreOf(view.capture()), row.shown); }, 5000))
            << "shown as far as it got";
        EXPECT_FALSE(view.isProcessing());

        QElapsedTimer next;
        next.start();
        view.loadHtmlFile(after);
        EXPECT_TRUE(waitFor([&] { return sameColor(centreOf(view.capture()), green); }, 5000))
            << "the next page";
        EXPECT_LT(next.elapsed(), 5000);
    }
}

// A capture form that took an earlier page shows nothing of it when the next page never draws a
// frame: the capture is blank, as that of a fresh form would be.
TEST(HostilePages, ACaptureNeverShowsThePageBefore)
{
    PageFolder pages;
    const QString before = pages.write(QStringLiteral("red.htm"), solid("#ff0000"));
    const QString endless = pages.write(
        QStringLiteral("endless.htm"), solid("#0000ff", "x<script>for (;;) {}</script>"));
    engine::CaptureForm form(QSize(320, 240), nullptr);
    ASSERT_TRUE(form.loadHtmlFile(before));
    ASSERT_TRUE(sameColor(centreOf(form.capture()), red));
    form.view()->setLoadTimeout(1500);
    EXPECT_FALSE(form.loadHtmlFile(endless));
    EXPECT_EQ(form.loadOutcome(), engine::CaptureOutcome::Unfinished);
    EXPECT_TRUE(sameColor(centreOf(form.capture()), white));
    form.view()->setLoadTimeout(engine::HtmlView::DefaultLoadTimeoutMs);
    EXPECT_TRUE(form.loadHtmlFile(before));
    EXPECT_TRUE(sameColor(centreOf(form.capture()), red));

    // A picture after it is shown as well.
    form.view()->setLoadTimeout(1500);
    EXPECT_FALSE(form.loadHtmlFile(endless));
    QImage picture(400, 300, QImage::Format_RGB32);
    picture.fill(blue);
    ASSERT_TRUE(picture.save(pages.path(QStringLiteral("blue.png"))));
    EXPECT_TRUE(form.loadHtmlFile(pages.path(QStringLiteral("blue.png"))));
    EXPECT_TRUE(sameColor(centreOf(form.capture()), blue));
}

// What a local page may show: the documents it opens (in place of itself or in frames) and its
// pictures, style sheets and scripts reach only local files of the kinds a site is made of.
// Anything else is blocked, shown as such and named; the program's own load of a file of any
// kind, and redirects within the site, still work. The window's browser and the capture form of
// thumbnails and snapshots alike.
TEST(HostilePages, PagesReachOnlyTheFilesOfTheirSite)
{
    PageFolder pages;
    const QString secret = pages.write(QStringLiteral("secret"), "SECRET");
    const QString text = pages.write(QStringLiteral("notes.txt"), "SECRET");
    const QString key = pages.write(QStringLiteral("id_rsa"), "SECRET");
    const QString document = pages.write(QStringLiteral("letter.pdf"), "SECRET");
    pages.write(QStringLiteral("site/b.htm"), solid("#00ff00"));
    pages.write(QStringLiteral("site/style.css"), "body{background:#0000ff!important}");
    const QString fileUrl = QUrl::fromLocalFile(pages.path(QString())).toString();
    enum Shows { BlockedPage, BlockedFrame, Green, Blue, Red };
    struct Row {
        const char *name;
        QByteArray content;
        QString blocked; // empty: nothing is
        Shows shows;
    };
    const Row rows[] = {
        { "script sends the page to a text file",
            solid("#ff0000", "<script>location.href = '../notes.txt';</script>"), text,
            BlockedPage },
        { "refresh to a file without extension",
            "<html><head><meta http-equiv=refresh content='0;url=" + fileUrl.toUtf8()
                + "/secret'></head><body style='background:#ff0000'></body></html>",
            secret, BlockedPage },
        // The engine keeps another file out of a page's history entry (and a reload of one the
        // program did not show would be blocked besides): the page stays as it is.
        { "script puts a key into its history entry and reloads",
            solid("#ff0000",
                "<script>if (location.hash !== '#again') {"
                " history.replaceState(null, '', '../id_rsa#again'); location.reload(); }"
                "</script>"),
            {}, Red },
        { "frame of a system file", solid("#ff0000", "<iframe name=f src='/etc/passwd'>"),
            QStringLiteral("/etc/passwd"), BlockedFrame },
        { "frame of a key", solid("#ff0000", "<iframe name=f src='../id_rsa'>"), key,
            BlockedFrame },
        { "picture that is a document", solid("#ff0000", "<img src='../letter.pdf'>"), document,
            Red },
        { "style sheet from a text file",
            "<html><head><link rel=stylesheet href='../notes.txt'></head>"
            "<body style='margin:0;background:#ff0000'></body></html>",
            text, Red },
        { "refresh to a page of the site",
            "<html><head><meta http-equiv=refresh content='0;url=b.htm'></head>"
            "<body style='background:#ff0000'></body></html>",
            {}, Green },
        { "style sheet by a file: URL",
            "<html><head><link rel=stylesheet href='" + fileUrl.toUtf8()
                + "/site/style.css'></head><body style='background:#ff0000'></body></html>",
            {}, Blue },
    };
    const QString textPage = text;
    for (const bool browser : { true, false }) {
        engine::CaptureForm form(QSize(320, 240), nullptr);
        engine::HtmlView &view = *form.view();
        view.setLoadsInBackground(browser);
        for (const Row &row : rows) {
            SCOPED_TRACE(std::string(browser ? "browser: " : "capture: ") + row.name);
            const QString page = pages.write(QStringLiteral("site/page.htm"), row.content);
            form.loadHtmlFile(page);
            form.waitForLoad();
            const bool blocked = !row.blocked.isEmpty();
            EXPECT_EQ(form.loadOutcome(),
                blocked ? engine::CaptureOutcome::Blocked : engine::CaptureOutcome::Done);
            EXPECT_EQ(view.blockedFiles(), blocked ? QStringList { row.blocked } : QStringList());
            if (blocked) {
                EXPECT_EQ(engine::captureProblem(
                              form.loadOutcome(), page, engine::PartialPicture::Saved),
                    page + QStringLiteral(": blocked ") + row.blocked
                        + QStringLiteral(", not a file a site is made of; saved showing it "
                                         "blocked"));
            }
            // A loaded machine may keep the renderer from answering within the usual two seconds.
            const QString title
                = view.evaluateJavaScript(QStringLiteral("document.title"), 10000).toString();
            if (row.shows == BlockedPage) {
                EXPECT_EQ(title, QStringLiteral("Blocked: ") + row.blocked);
                EXPECT_TRUE(view.currentFile().isEmpty());
            } else if (row.shows == BlockedFrame) {
                EXPECT_TRUE(frameUrl(view, { QStringLiteral("f") })
                                .startsWith(QStringLiteral("folioscope://blocked/")));
            } else {
                const QRgb colour = row.shows == Green ? green : row.shows == Blue ? blue : red;
                EXPECT_TRUE(waitFor(
                    [&] { return sameColor(form.capture().pixel(300, 220), colour); }, 3000));
            }
        }
        // The program's own load of any file is shown.
        form.loadHtmlFile(textPage);
        form.waitForLoad();
        EXPECT_EQ(form.loadOutcome(), engine::CaptureOutcome::Done);
        EXPECT_TRUE(view.blockedFiles().isEmpty());
        EXPECT_EQ(QDir::cleanPath(view.currentFile()), QDir::cleanPath(textPage));
    }
}

// A page that takes all the memory it gets ends its own renderer at the script heap cap, and is
// named for it; the next page loads as usual. Memory outside the script heap is capped with the
// renderer's data: the page is refused more (memory it only reserved counts too).
TEST(HostilePages, APageOutOfMemoryIsNamedAndTheNextOneLoads)
{
    struct Row {
        const char *name;
        QByteArray script;
        engine::CaptureOutcome outcome;
    };
    const Row rows[] = {
        { "script heap", "var a = []; for (;;) a.push(new Array(1e6).fill(1));",
            engine::CaptureOutcome::OutOfMemory },
        { "buffers outside the heap",
            "var a = []; try { for (;;) a.push(new ArrayBuffer(64 << 20)); } catch (e) {"
            " a = null; document.body.style.background = '#00ff00'; }",
            engine::CaptureOutcome::Done },
    };
    PageFolder pages;
    const QString good = pages.write(QStringLiteral("green.htm"), solid("#00ff00"));
    engine::CaptureForm form(QSize(320, 240), nullptr);
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        const QString hog = pages.write(
            QStringLiteral("hog.htm"), solid("#ff0000", "<script>" + row.script + "</script>"));
        form.loadHtmlFile(hog);
        EXPECT_EQ(form.loadOutcome(), row.outcome);
        if (row.outcome == engine::CaptureOutcome::OutOfMemory) {
            EXPECT_EQ(
                engine::captureProblem(form.loadOutcome(), hog, engine::PartialPicture::Saved),
                hog + QStringLiteral(" ran out of memory; nothing saved"));
            EXPECT_TRUE(form.loadHtmlFile(good));
        }
        EXPECT_TRUE(sameColor(centreOf(form.capture()), green));
    }

    // The window's browser says so in place of the page, and goes on.
    engine::HtmlView browser;
    browser.setLoadsInBackground(true);
    browser.resize(320, 240);
    browser.show();
    browser.loadHtmlFile(pages.write(
        QStringLiteral("hog.htm"), solid("#ff0000", "<script>" + rows[0].script + "</script>")));
    EXPECT_FALSE(browser.waitForLoad());
    // Given up on as stuck while it takes memory, or ended by it at once.
    EXPECT_TRUE(waitFor(
        [&] { return browser.loadOutcome() == engine::CaptureOutcome::OutOfMemory; }, 10000));
    browser.loadHtmlFile(good);
    EXPECT_TRUE(browser.waitForLoad());
    EXPECT_TRUE(waitFor([&] { return sameColor(centreOf(browser.capture()), green); }, 3000));
}

TEST(RendererCaps, FlagsAndTheEndOfARenderer)
{
    EXPECT_EQ(engine::withRendererCaps(""), "--js-flags=--max-old-space-size=256");
    EXPECT_EQ(engine::withRendererCaps(" --disable-gpu "),
        "--disable-gpu --js-flags=--max-old-space-size=256");
    EXPECT_EQ(engine::withRendererCaps("--js-flags=--max-old-space-size=32"),
        "--js-flags=--max-old-space-size=32")
        << "the user's own cap stays";
    EXPECT_EQ(engine::scriptHeapCapMb(""), 256);
    EXPECT_EQ(engine::scriptHeapCapMb("--js-flags=--max-old-space-size=32 --x"), 32);

    constexpr qint64 mb = 1024 * 1024;
    const struct {
        const char *name;
        qint64 first, last;
        bool outOfMemory;
    } rows[] = {
        { "grew by most of the heap cap", 90 * mb, 290 * mb, true },
        { "grew a little, then crashed", 90 * mb, 140 * mb, false },
        { "near the data cap", 400 * mb, 700 * mb, true },
        { "never seen", -1, -1, false },
    };
    for (const auto &row : rows)
        EXPECT_EQ(engine::ranOutOfMemory(row.first, row.last, 256), row.outOfMemory) << row.name;
}
