#include "enginetestutil.h"

#include "engine/htmlview.h"
#include "support/scripteddialogs.h"
#include "support/standinframe.h"
#include "viewer/sourceeditor.h"
#include "viewer/viewerwindow.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

class FakeHost : public StandInFrame
{
public:
    void setHintLine(const QString &text) override { hints.append(text); }
    std::optional<platform::Answer> askSaveChanges() override
    {
        ++asked;
        return {};
    }

    void showContextMenu(const QPoint &) override { ++menus; }

    QStringList hints;
    int asked = 0;
    int menus = 0;
};

class ViewerWindowTest : public ::testing::Test
{
protected:
    ViewerWindowTest()
    {
        index = pages.write(QStringLiteral("index.htm"),
            "<html><body><p style='margin:40px'><a id=b href='b.htm' target=main>b</a></p>"
            "<p id=plain>plain text</p>"
            "<a id=sub href='sub/page.htm#top'>sub</a> <a id=top href='#top'>top</a> "
            "<a id=missing href='missing.htm'>missing</a> <a id=web href='http://example.com/'>"
            "web</a> <a id=space href='my%20page.htm'>space</a></body></html>");
        pages.write(
            QStringLiteral("b.htm"), "<html><body><a id=c href='c.htm'>c</a></body></html>");
        pages.write(QStringLiteral("c.htm"), "<html><body>c</body></html>");
        pages.write(
            QStringLiteral("sub/page.htm"), "<html><body><a name=top>top</a></body></html>");
        pages.write(QStringLiteral("my page.htm"), "<html><body>spaced</body></html>");
        form.show();
        // Connected after the window's own handler, so the click's fate is known here.
        QObject::connect(&browser(), &engine::HtmlView::hotSpotTargetClick, &browser(),
            [this](const QString &, const QString &url, const QString &, const bool *handled) {
                ++clicks;
                lastClickLoads = !*handled && !url.startsWith(QLatin1Char('#'));
            });
        QObject::connect(&browser(), &engine::HtmlView::processingChanged, &browser(),
            [this](bool processing) { loadsStarted += processing ? 1 : 0; });
    }

    engine::HtmlView &browser() { return *form.browser(); }

    // Clicks the element and waits for the document it leads to, if any. A busy engine may
    // start that load well after the click.
    void follow(const QString &id)
    {
        browser().waitForLoad(); // a load of the window's in the background ends first
        const int clicksBefore = clicks;
        const int loadsBefore = loadsStarted;
        clickAt(browser(), elementCentre(browser(), id));
        ASSERT_TRUE(waitFor([&] { return clicks > clicksBefore; }))
            << "no click on " << id.toStdString();
        if (lastClickLoads)
            waitFor([&] { return loadsStarted > loadsBefore; });
        waitFor([&] { return !browser().isProcessing(); });
        browser().waitForFrame();
    }

    int clicks = 0;
    bool lastClickLoads = false;
    int loadsStarted = 0;

    ScriptedDialogs dialogs;
    FakeHost host;
    PageFolder pages;
    QString index;
    viewer::ViewerWindow form { &host };
};

TEST_F(ViewerWindowTest, CoveringALinkShowsItsUrlAndTarget)
{
    form.loadFileIntoViewer(index);
    moveMouseTo(browser(), elementCentre(browser(), QStringLiteral("b")));
    const QString expected = QStringLiteral("URL: b.htm    (Target: main)");
    ASSERT_TRUE(waitFor([&] { return form.urlLabel()->text() == expected; }));
    EXPECT_EQ(host.hints.last(), expected);

    moveMouseTo(browser(), elementCentre(browser(), QStringLiteral("plain")));
    ASSERT_TRUE(waitFor([&] { return form.urlLabel()->text().isEmpty(); }));
    EXPECT_EQ(host.hints.last(), QString());
}

TEST_F(ViewerWindowTest, APageGoneFromDiskIsNamedInTheUrlLabelUntilItComesBack)
{
    ASSERT_TRUE(browser().followsDisk()) << "on as prg.ini says";
    form.loadFileIntoViewer(index);
    browser().waitForLoad(); // loads go on in the background
    QFile file(index);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray content = file.readAll();
    file.close();
    ASSERT_TRUE(file.remove());
    const QString gone = QDir::toNativeSeparators(index) + QStringLiteral(" (deleted on disk)");
    ASSERT_TRUE(waitFor([&] { return form.urlLabel()->text() == gone; }));
    EXPECT_EQ(host.hints.last(), gone);

    pages.write(QStringLiteral("index.htm"), content);
    EXPECT_TRUE(waitFor([&] { return form.urlLabel()->text().isEmpty(); }));

    host.values.followDiskChanges = false;
    viewer::ViewerWindow other { &host };
    EXPECT_FALSE(other.browser()->followsDisk());
}

TEST_F(ViewerWindowTest, OnlyLinksToExistingLocalFilesAreFollowed)
{
    struct Row {
        const char *id;
        bool beeps;
        QString opens; // empty: stays on the index
    };
    const Row rows[] = {
        { "sub", false, QStringLiteral("sub/page.htm") },
        { "top", false, {} },
        { "missing", true, {} },
        { "web", true, {} },
        { "space", false, QStringLiteral("my page.htm") },
    };
    for (const Row &row : rows) {
        form.loadFileIntoViewer(index);
        dialogs.calls.clear();
        host.hints.clear();
        follow(QString::fromLatin1(row.id));
        EXPECT_EQ(dialogs.count(QStringLiteral("beep")), row.beeps ? 1 : 0) << row.id;
        const QString expected = row.opens.isEmpty() ? index : pages.path(row.opens);
        EXPECT_EQ(QDir::cleanPath(browser().currentFile()), QDir::cleanPath(expected)) << row.id;
        if (row.beeps) {
            EXPECT_FALSE(form.backButton()->isEnabled()) << row.id;
        }
    }

    // The hint line shows the URL as written, then the file it names in the native form.
    form.loadFileIntoViewer(index);
    host.hints.clear();
    follow(QStringLiteral("sub"));
    const qsizetype at = host.hints.indexOf(QStringLiteral("sub/page.htm#top"));
    ASSERT_GE(at, 0);
    ASSERT_GT(host.hints.size(), at + 1);
    EXPECT_EQ(
        host.hints[at + 1], QDir::toNativeSeparators(pages.path(QStringLiteral("sub/page.htm"))));
}

TEST_F(ViewerWindowTest, HistoryButtonsFollowTheViewAndReloadReturnsToTheInitialFile)
{
    const QString a = pages.write(
        QStringLiteral("a.htm"), "<html><body><a id=b href='b.htm'>b</a></body></html>");
    form.loadFileIntoViewer(a);
    EXPECT_FALSE(form.backButton()->isEnabled());
    EXPECT_FALSE(form.forwardButton()->isEnabled());

    follow(QStringLiteral("b"));
    follow(QStringLiteral("c"));
    EXPECT_TRUE(form.backButton()->isEnabled());
    EXPECT_FALSE(form.forwardButton()->isEnabled());

    QTest::mouseClick(form.backButton(), Qt::LeftButton);
    ASSERT_TRUE(waitFor([&] { return browser().currentFile().endsWith(QStringLiteral("b.htm")); }));
    EXPECT_TRUE(form.backButton()->isEnabled());
    EXPECT_TRUE(form.forwardButton()->isEnabled());

    QTest::mouseClick(form.reloadButton(), Qt::LeftButton);
    EXPECT_EQ(QDir::cleanPath(browser().currentFile()), QDir::cleanPath(a));
    EXPECT_FALSE(form.backButton()->isEnabled());
    EXPECT_FALSE(form.forwardButton()->isEnabled());
}

TEST_F(ViewerWindowTest, ServerPagesRenderAndTheirLinksFollowTheLinkRules)
{
    const QString asp = pages.write(QStringLiteral("site/index.asp"),
        "<html><body style='background:#0000ff'><p style='margin:40px'><a id=b href='sub/b.sht'>"
        "b</a> <a id=missing href='missing.cfm'>missing</a></p></body></html>");
    const QString sht = pages.write(
        QStringLiteral("site/sub/b.sht"), "<html><body style='background:#00ff00'>b</body></html>");
    const auto colour = [&] {
        browser().waitForFrame();
        return browser().capture().pixel(300, 200);
    };
    form.loadFileIntoViewer(asp);
    EXPECT_EQ(form.viewerFile(), asp);
    EXPECT_TRUE(sameColor(colour(), qRgb(0, 0, 255)));

    follow(QStringLiteral("missing"));
    EXPECT_EQ(dialogs.count(QStringLiteral("beep")), 1);
    EXPECT_TRUE(sameColor(colour(), qRgb(0, 0, 255)));

    follow(QStringLiteral("b"));
    EXPECT_EQ(QDir::cleanPath(browser().currentFile()), QDir::cleanPath(sht));
    EXPECT_TRUE(sameColor(colour(), qRgb(0, 255, 0)));
    EXPECT_TRUE(form.backButton()->isEnabled());

    QTest::mouseClick(form.reloadButton(), Qt::LeftButton);
    EXPECT_TRUE(sameColor(colour(), qRgb(0, 0, 255)));
    EXPECT_FALSE(form.backButton()->isEnabled());
}

TEST_F(ViewerWindowTest, LoadingAFileSetsTheViewerFileAndTheEditor)
{
    const QByteArray source = "<html><body>caf\xc3\xa9</body></html>";
    const QString page = pages.write(QStringLiteral("page.htm"), source);
    const QString photo = pages.write(QStringLiteral("photo.JPG"), QByteArray("not a jpeg"));
    const QString logo = pages.write(QStringLiteral("logo.gif"), QByteArray("not a gif"));
    auto *editor = qobject_cast<viewer::SourceEditor *>(form.editorControl());
    ASSERT_TRUE(editor);

    form.loadFileIntoViewer(page);
    EXPECT_EQ(form.viewerFile(), page);
    EXPECT_EQ(form.viewerFileTime(), QFileInfo(page).lastModified());
    EXPECT_EQ(editor->text(), QString::fromUtf8(source));
    EXPECT_TRUE(editor->isEnabled());

    for (const QString &picture : { photo, logo }) {
        form.loadFileIntoViewer(picture);
        EXPECT_TRUE(form.viewerFile().isEmpty()) << picture.toStdString();
        EXPECT_EQ(form.viewerFileTime(), QFileInfo(picture).lastModified());
        EXPECT_TRUE(editor->text().contains(QStringLiteral("Sorry, pictures cannot")));
        EXPECT_FALSE(editor->isEnabled());
        EXPECT_EQ(QDir::cleanPath(browser().currentFile()), QDir::cleanPath(picture));
    }
    // Reload without a viewer file does nothing.
    QTest::mouseClick(form.reloadButton(), Qt::LeftButton);
    EXPECT_EQ(QDir::cleanPath(browser().currentFile()), QDir::cleanPath(logo));

    form.clearViewer();
    EXPECT_TRUE(form.viewerFile().isEmpty());
    EXPECT_TRUE(editor->text().isEmpty());
    EXPECT_TRUE(browser().currentFile().isEmpty());
}

TEST_F(ViewerWindowTest, ShowingPlacesTheWindowAndTakesBothControlsBack)
{
    form.loadFileIntoViewer(index);
    follow(QStringLiteral("b"));
    form.hide();

    QWidget panel;
    panel.resize(400, 300);
    panel.show();
    viewer::placeControl(form.browserControl(), &panel);
    EXPECT_EQ(form.browserControl()->parentWidget(), &panel);
    form.urlLabel()->setText(QStringLiteral("stale"));

    form.show();
    EXPECT_EQ(form.frameGeometry(), QRect(114, 125, 772, 570));
    EXPECT_TRUE(form.urlLabel()->text().isEmpty());
    EXPECT_EQ(form.windowTitle(), index);
    EXPECT_EQ(form.browserControl()->parentWidget(), form.pages()->widget(0));
    EXPECT_EQ(form.editorControl()->parentWidget(), form.pages()->widget(1));
    EXPECT_EQ(form.pages()->tabText(0), QStringLiteral("  Internal Browser  "));
    EXPECT_EQ(form.pages()->tabText(1), QStringLiteral("  Internal Editor  "));
    EXPECT_TRUE(browser().canGoBack()) << "moving kept the history";
    EXPECT_TRUE(form.backButton()->isEnabled());
}

TEST(ViewerWindowLifetimeTest, AViewerOutlivedByItsBorrowerClosesCleanly)
{
    // At exit the main window may go first, taking the borrowed browser with it.
    auto *form = new viewer::ViewerWindow(nullptr);
    auto *panel = new QWidget;
    viewer::placeControl(form->browserControl(), panel);
    delete panel;
    form->returnControls();
    delete form;
}

TEST_F(ViewerWindowTest, EscapeClosesAndClosingAsksOnlyFromTheOtherPages)
{
    form.loadFileIntoViewer(index);
    for (int page : { 0, 1, 2 }) {
        StandInPage active; // the Folder View, the Thumbnail View, the File Lists
        active.views = page == 0;
        host.page = &active;
        host.asked = 0;
        form.show();
        QTest::keyClick(browser().inputWidget(), Qt::Key_Escape);
        EXPECT_FALSE(form.isVisible()) << page;
        EXPECT_EQ(form.result(), QDialog::Rejected) << page;
        EXPECT_EQ(host.asked, page == 0 ? 0 : 1) << page;
        host.page = nullptr;
    }
}

TEST_F(ViewerWindowTest, CtrlAAndCtrlCCopyTheTextOfThePage)
{
    const QString page = pages.write(
        QStringLiteral("text.htm"), "<html><body><p>Some words to copy</p></body></html>");
    form.loadFileIntoViewer(page);
    browser().waitForLoad();
    QApplication::clipboard()->clear();
    QApplication::setActiveWindow(&form);
    browser().inputWidget()->setFocus();
    ASSERT_TRUE(waitFor([&] { return browser().inputWidget()->hasFocus(); }));
    QTest::keyClick(browser().inputWidget(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(browser().inputWidget(), Qt::Key_C, Qt::ControlModifier);
    ASSERT_TRUE(waitFor([] { return !QApplication::clipboard()->text().isEmpty(); }));
    EXPECT_EQ(QApplication::clipboard()->text().trimmed(), QStringLiteral("Some words to copy"));
}

TEST_F(ViewerWindowTest, TheRightMouseButtonAsksForTheFileContextMenu)
{
    form.loadFileIntoViewer(index);
    const QPoint at = elementCentre(browser(), QStringLiteral("plain"));
    QTest::mousePress(browser().inputWidget(), Qt::RightButton, Qt::NoModifier, at);
    QTest::mouseRelease(browser().inputWidget(), Qt::RightButton, Qt::NoModifier, at, 20);
    EXPECT_TRUE(waitFor([&] { return host.menus == 1; }));
}

TEST_F(ViewerWindowTest, BadFilesNeitherCrashNorHang)
{
    QByteArray binary(1 << 20, '\0');
    for (int i = 0; i < binary.size(); ++i)
        binary[i] = char((quint32(i) * 7919u) >> 3);
    QByteArray huge = "<html><body>";
    while (huge.size() < 50 * 1024 * 1024)
        huge += "<p>A line of text in a very large page, repeated many times.</p>\n";
    const struct {
        const char *name;
        QString file;
    } rows[] = {
        { "missing file", pages.path(QStringLiteral("missing.htm")) },
        { "binary file", pages.write(QStringLiteral("binary.htm"), binary) },
        { "50 MB page", pages.write(QStringLiteral("huge.htm"), huge) },
    };
    for (const auto &row : rows) {
        QElapsedTimer timer;
        timer.start();
        form.loadFileIntoViewer(row.file);
        // A guard against a hang, not a measure of speed: generous for a loaded machine.
        EXPECT_LT(timer.elapsed(), engine::HtmlView::DefaultLoadTimeoutMs + 50000) << row.name;
        EXPECT_EQ(form.viewerFile(), row.file) << row.name;
        EXPECT_FALSE(form.isProcessing()) << row.name;
    }
}

} // namespace

TEST_F(ViewerWindowTest, FollowingALinkInsideAFrameEmptiesTheUrlLabel)
{
    const QString frames = pages.write(QStringLiteral("frames.htm"),
        "<html><frameset cols='50%,50%'><frame name=left src='b.htm'>"
        "<frame name=right src='c.htm'></frameset></html>");
    form.loadFileIntoViewer(frames);
    const QPoint link = elementCentre(browser(), QStringLiteral("c"), { QStringLiteral("left") });
    moveMouseTo(browser(), link);
    ASSERT_TRUE(waitFor([&] { return !form.urlLabel()->text().isEmpty(); }));
    clickAt(browser(), link);
    ASSERT_TRUE(waitFor([&] {
        return frameUrl(browser(), { QStringLiteral("left") }).endsWith(QStringLiteral("c.htm"));
    }));
    EXPECT_TRUE(waitFor([&] { return form.urlLabel()->text().isEmpty(); }));
}

TEST_F(ViewerWindowTest, AHoveredHistoryButtonKeepsItsWhiteCaptionReadable)
{
    const QString a = pages.write(
        QStringLiteral("a.htm"), "<html><body><a id=b href='b.htm'>b</a></body></html>");
    form.loadFileIntoViewer(a);
    follow(QStringLiteral("b"));
    QToolButton *back = form.backButton();
    ASSERT_TRUE(back->isEnabled());
    back->setAttribute(Qt::WA_UnderMouse);
    const QImage shot = back->grab().toImage();
    int white = 0;
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x)
            white += qGray(shot.pixel(x, y)) > 230;
    const int all = shot.width() * shot.height();
    EXPECT_GT(white, 0); // the caption is drawn
    EXPECT_LT(white, all / 2); // on a dark face, not a white one
}
