#include "enginetestutil.h"

#include "engine/htmlview.h"
#include "snapshot/tformsnap.h"

#include <QVBoxLayout>

#include <gtest/gtest.h>

// A page without colours of its own shows the browser's settings; the browser keeps its view.
TEST(TFormSnap, CopiesTheBrowserSettingsAndLendsItsViewBack)
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
    ASSERT_TRUE(browser->LoadHTMLFile(plain));

    {
        snapshot::TFormSnap form(QSize(320, 240), browser);
        ASSERT_TRUE(form.LoadHTMLFile(plain));
        const QImage shot = form.capture();
        ASSERT_EQ(shot.size(), QSize(320, 240));
        EXPECT_TRUE(sameColor(shot.pixel(100, 100), qRgb(0, 128, 0)));
        EXPECT_EQ(browser->parentWidget(), &window);
    }
    {
        snapshot::TFormSnap form(QSize(200, 150), browser, true);
        EXPECT_EQ(form.view(), browser);
        EXPECT_EQ(form.capture().size(), QSize(200, 150));
    }
    EXPECT_EQ(browser->parentWidget(), &window);
}

// A batch's kept form loads each page as a new form would: the browser's settings as they are
// now, no trace of the page before, no history; another base size gets a form of its own.
TEST(TFormSnapKeeper, EachPageLoadsAsInANewForm)
{
    PageFolder pages;
    const QString plain = pages.write(QStringLiteral("plain.htm"), "<html><body></body></html>");
    const QString red = pages.write(
        QStringLiteral("red.htm"), "<html><body style='background:#ff0000'></body></html>");
    engine::HtmlView browser;
    browser.setDefaultBackground(QColor(0, 128, 0));
    snapshot::TFormSnapKeeper keeper(&browser);

    snapshot::TFormSnap &form = keeper.form(QSize(320, 240));
    ASSERT_TRUE(form.LoadHTMLFile(red));
    EXPECT_TRUE(sameColor(form.capture().pixel(100, 100), qRgb(255, 0, 0)));
    browser.setDefaultBackground(QColor(0, 0, 255));
    ASSERT_EQ(&keeper.form(QSize(320, 240)), &form);
    ASSERT_TRUE(form.LoadHTMLFile(plain));
    EXPECT_TRUE(sameColor(form.capture().pixel(100, 100), qRgb(0, 0, 255)));
    EXPECT_FALSE(form.view()->canGoBack());

    snapshot::TFormSnap &other = keeper.form(QSize(200, 150));
    ASSERT_TRUE(other.LoadHTMLFile(plain));
    EXPECT_EQ(other.capture().size(), QSize(200, 150));
}
