#include "enginetestutil.h"

#include "engine/captureform.h"
#include "engine/htmlview.h"

#include <QVBoxLayout>

#include <gtest/gtest.h>

// A page without colours of its own shows the browser's settings; the browser keeps its view.
TEST(CaptureForm, CopiesTheBrowserSettingsAndLendsItsViewBack)
{
    PageFolder pages;
    const QString plain = pages.write(QStringLiteral("plain.htm"), "<html><body></body></html>");
    QWidget window;
    auto *layout = new QVBoxLayout(&window);
    auto *browser = new engine::HtmlView(&window);
    layout->addWidget(browser);
    window.resize(300, 200);
    window.show();
    browser->setDefaultBackground(QColor(0, 128, 0));
    ASSERT_TRUE(browser->loadHtmlFile(plain));

    {
        engine::CaptureForm form(QSize(320, 240), browser);
        ASSERT_TRUE(form.loadHtmlFile(plain));
        const QImage shot = form.capture();
        ASSERT_EQ(shot.size(), QSize(320, 240));
        EXPECT_TRUE(sameColor(shot.pixel(100, 100), qRgb(0, 128, 0)));
        EXPECT_EQ(browser->parentWidget(), &window);
    }
    {
        engine::CaptureForm form(QSize(200, 150), browser, true);
        EXPECT_EQ(form.view(), browser);
        EXPECT_EQ(form.capture().size(), QSize(200, 150));
    }
    EXPECT_EQ(browser->parentWidget(), &window);
}

namespace {

QString solidPage(const PageFolder &pages, const QString &name, const char *colour)
{
    return pages.write(
        name, QByteArray("<html><body style='background:") + colour + "'></body></html>");
}

QRgb centreOf(engine::CaptureForm &form)
{
    const QImage shot = form.capture();
    return shot.pixel(shot.width() / 2, shot.height() / 2);
}

} // namespace

// A batch's kept form loads each page as a new form would: the browser's settings as they are
// now, no trace of the page before, no history; another base size gets a form of its own.
TEST(CaptureFormKeeper, EachPageLoadsAsInANewForm)
{
    PageFolder pages;
    const QString plain = pages.write(QStringLiteral("plain.htm"), "<html><body></body></html>");
    const QString red = solidPage(pages, QStringLiteral("red.htm"), "#ff0000");
    engine::HtmlView browser;
    browser.setDefaultBackground(QColor(0, 128, 0));
    engine::CaptureFormKeeper keeper(&browser);
    bool complete = false;

    engine::CaptureForm &form = keeper.load(red, QSize(320, 240), &complete);
    EXPECT_TRUE(complete);
    EXPECT_TRUE(sameColor(centreOf(form), qRgb(255, 0, 0)));
    keeper.captured();
    browser.setDefaultBackground(QColor(0, 0, 255));
    ASSERT_EQ(&keeper.load(plain, QSize(320, 240), &complete), &form);
    EXPECT_TRUE(sameColor(centreOf(form), qRgb(0, 0, 255)));
    EXPECT_FALSE(form.view()->canGoBack());
    keeper.captured();

    engine::CaptureForm &other = keeper.load(plain, QSize(200, 150), &complete);
    EXPECT_EQ(other.capture().size(), QSize(200, 150));
}

// Planned pages load side by side; each load gives the form that holds its own page, also
// when planned pages are passed over (gone) or a page is asked for out of plan.
TEST(CaptureFormKeeper, PlannedPagesComeInTheirOwnForms)
{
    PageFolder pages;
    const QString red = solidPage(pages, QStringLiteral("red.htm"), "#ff0000");
    const QString gone = pages.path(QStringLiteral("gone.htm"));
    const QString green = solidPage(pages, QStringLiteral("green.htm"), "#00ff00");
    const QString blue = solidPage(pages, QStringLiteral("blue.htm"), "#0000ff");
    const QString black = solidPage(pages, QStringLiteral("black.htm"), "#000000");
    engine::CaptureFormKeeper keeper(nullptr, 3);
    const QSize base(160, 120);
    keeper.plan({ red, gone, green, red, blue }, base);
    const struct {
        QString page;
        QRgb colour;
    } asked[] = { { red, qRgb(255, 0, 0) }, { green, qRgb(0, 255, 0) }, { black, qRgb(0, 0, 0) },
        { blue, qRgb(0, 0, 255) }, { red, qRgb(255, 0, 0) } };
    for (const auto &ask : asked) {
        bool complete = false;
        engine::CaptureForm &form = keeper.load(ask.page, base, &complete);
        EXPECT_TRUE(complete) << qPrintable(ask.page);
        EXPECT_TRUE(sameColor(centreOf(form), ask.colour)) << qPrintable(ask.page);
        keeper.captured();
    }
}
