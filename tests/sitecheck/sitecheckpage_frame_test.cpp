// The Site Check page alone on the stand-in frame: what it asks of the frame, with no viewer
// window and no main window in the program.
#include "sitecheck/sitecheckpage.h"
#include "sitecheck/sitereportmodel.h"
#include "support/standinframe.h"
#include "support/tempdir.h"
#include "support/testfiles.h"
#include "support/widgetbyname.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QTest>
#include <QTreeView>

#include <gtest/gtest.h>

namespace {

constexpr int kWaitMs = 20000;

class SiteCheckOnStandIn : public ::testing::Test
{
protected:
    SiteCheckOnStandIn()
        : frame(QDir::toNativeSeparators(program.path()) + QDir::separator())
        , page(frame)
    {
        frame.page = &page;
        frame.folder = QDir::toNativeSeparators(site.path()) + QDir::separator();
        page.start();
        // The broken links alone: the pages here are fragments, with HTML problems of their own.
        page.setShown(int(sitecheck::ShowProblems::Links));
        page.show();
        // The links alone: these pages are fragments, full of HTML problems.
        widget<QComboBox>(&page, "CBShow")->setCurrentIndex(0);
    }

    QString sitePath(const char *name) const
    {
        return QDir::toNativeSeparators(site.filePath(QString::fromLatin1(name)));
    }

    void check()
    {
        page.checkFolder();
        ASSERT_TRUE(QTest::qWaitFor([this] { return !page.isChecking(); }, kWaitMs));
    }

    TemporaryDir program;
    TemporaryDir site;
    StandInFrame frame;
    sitecheck::SiteCheckPage page;
};

} // namespace

TEST_F(SiteCheckOnStandIn, ACheckDisablesTheMainWindowWhileItRuns)
{
    writeFile(sitePath("index.htm"), "<p>\n<a href=\"missing.htm\">gone</a>\n");
    check();
    EXPECT_EQ(frame.requests.filter(QStringLiteral("main")),
        (QStringList { QStringLiteral("mainDisabled"), QStringLiteral("mainEnabled") }));
    ASSERT_EQ(page.model()->rowCount(), 1);
    EXPECT_EQ(page.model()->row(0).link.page, sitePath("index.htm"));
}

TEST_F(SiteCheckOnStandIn, OpeningARowAsksTheFrameForTheFileAtTheLinksPlace)
{
    writeFile(sitePath("index.htm"),
        "<p>one</p>\n<p>two <a href=\"missing.htm\">gone</a></p>\n  <img src=\"none.gif\">\n");
    check();
    ASSERT_EQ(page.model()->rowCount(), 2);
    auto *report = widget<QTreeView>(&page, "ELVSiteReport");
    for (int row = 0; row < 2; ++row) {
        report->setCurrentIndex(page.model()->index(row, sitecheck::LinkColumn));
        QTest::keyClick(report, Qt::Key_Return);
    }
    ASSERT_EQ(frame.openedAt.size(), 2);
    // The file opened is the current file: the page selected the row first.
    EXPECT_EQ(frame.openedAtFiles, (QStringList { sitePath("index.htm"), sitePath("index.htm") }));
    const auto spotText = [](int line, int column, const QString &text) {
        return QStringLiteral("%1:%2 %3").arg(line).arg(column).arg(text);
    };
    QStringList asked;
    for (const frame::TextSpot &spot : frame.openedAt)
        asked.append(spotText(spot.line, spot.column, spot.text));
    QStringList reported;
    for (int row = 0; row < 2; ++row) {
        const linkcheck::BrokenLink &link = page.model()->row(row).link;
        reported.append(spotText(link.line, link.column, link.link));
    }
    asked.sort();
    reported.sort();
    EXPECT_EQ(asked, reported);
    EXPECT_TRUE(asked.first().startsWith(QStringLiteral("2:"))) << asked.first().toStdString();
    EXPECT_TRUE(asked.first().endsWith(QStringLiteral(" missing.htm")));
    EXPECT_TRUE(asked.last().startsWith(QStringLiteral("3:"))) << asked.last().toStdString();
    EXPECT_TRUE(asked.last().endsWith(QStringLiteral(" none.gif")));
    // Nothing else opens the viewer.
    EXPECT_FALSE(frame.requests.contains(QStringLiteral("DblClickForAll")));
}

TEST_F(SiteCheckOnStandIn, ASaveInTheEditorUpdatesTheReportAtOnce)
{
    writeFile(sitePath("index.htm"), "<a href=\"missing.htm\">gone</a>\n");
    check();
    ASSERT_EQ(page.model()->rowCount(), 1);
    writeFile(sitePath("index.htm"), "<a href=\"index.htm\">here</a>\n");
    // Heard before the file watch could tell: no events run in between.
    frame.saveInEditor(sitePath("index.htm"));
    EXPECT_EQ(page.model()->rowCount(), 0);
}
