#include "mainwindow_fixture.h"

#include "sitecheck/sitecheckpage.h"
#include "sitecheck/sitereportmodel.h"
#include "support/whenmodal.h"
#include "viewer/sourceeditor.h"

#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTreeView>

#include <functional>

namespace {

constexpr int kSiteTab = 3;
constexpr int kWaitMs = 20000;

// index.htm holds one broken link of each kind, its style sheet one more.
const char *const kIndex = "<html><head><link rel=\"stylesheet\" href=\"style.css\"></head>\n"
                           "<body><a href=\"a.htm\">fine</a>\n"
                           "<a href=\"missing.htm\">gone</a>\n"
                           "  <img src=\"Pic.gif\">\n"
                           "<a href=\"b.htm#nowhere\">anchor</a>\n"
                           "</body></html>\n";

class SiteCheckTest : public MainWindowTest
{
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        writeFile(sitePath("index.htm"), kIndex);
        writeFile(sitePath("style.css"), "body {\n  background: url(\"paper.png\");\n}\n");
        writeFile(sitePath("sub/page.htm"), "<a href=\"../index.htm\">up</a>\n");
    }

    sitecheck::SiteCheckPage *startOnSiteCheck()
    {
        setIni(QStringLiteral("[PATHS]\r\nVIEW_PATH=") + site.path() + QStringLiteral("\r\n"));
        start();
        widget<QTabWidget>(form, "PageControl1")->setCurrentIndex(kSiteTab);
        // The link check alone, unless a test asks for the HTML problems.
        auto *page = pageOf<sitecheck::SiteCheckPage>(*form);
        page->setShown(int(sitecheck::ShowProblems::Links));
        return page;
    }

    void check(sitecheck::SiteCheckPage *page)
    {
        widget<QPushButton>(page, "BCheck")->click();
        ASSERT_TRUE(QTest::qWaitFor([page] { return !page->isChecking(); }, kWaitMs));
    }

    // Page, line, link and problem of each row (and its rule), as the list shows them.
    static QStringList rowsOf(const sitecheck::SiteCheckPage *page, bool rules = false)
    {
        QStringList rows;
        const sitecheck::SiteReportModel *model = page->model();
        for (int row = 0; row < model->rowCount(); ++row) {
            QStringList fields;
            for (int column = 0; column < (rules ? sitecheck::SiteColumnCount : sitecheck::RuleColumn); ++column)
                fields.append(model->index(row, column).data().toString());
            rows.append(fields.join(QLatin1Char('|')));
        }
        return rows;
    }

    int rowOfLink(const sitecheck::SiteCheckPage *page, const QString &link) const
    {
        for (int row = 0; row < page->model()->rowCount(); ++row)
            if (page->model()->row(row).link.link == link)
                return row;
        return -1;
    }

    QString tabText() const { return widget<QTabWidget>(form, "PageControl1")->tabText(kSiteTab); }
};

} // namespace

TEST_F(SiteCheckTest, CheckListsTheBrokenLinksWithTheCountInTheCaption)
{
    sitecheck::SiteCheckPage *page = startOnSiteCheck();
    check(page);
    EXPECT_EQ(rowsOf(page),
        (QStringList {
            QStringLiteral("index.htm|3|missing.htm|no such file"),
            QStringLiteral("index.htm|4|Pic.gif|case differs: \"pic.gif\""),
            QStringLiteral("index.htm|5|b.htm#nowhere|no anchor \"nowhere\" in b.htm"),
            QStringLiteral("style.css|2|paper.png|no such file"),
        }));
    EXPECT_EQ(tabText(), QStringLiteral("Site Check  (0 of 4 links selected)"));

    // Sorted by a column, and reversed by a second click; the selection stays with its row.
    auto *report = widget<QTreeView>(page, "ELVSiteReport");
    report->selectionModel()->select(
        page->model()->index(rowOfLink(page, QStringLiteral("Pic.gif")), 0),
        QItemSelectionModel::Select | QItemSelectionModel::Rows);
    EXPECT_EQ(tabText(), QStringLiteral("Site Check  (1 of 4 links selected)"));
    page->sortByColumn(sitecheck::LineColumn);
    page->sortByColumn(sitecheck::LineColumn);
    QStringList links;
    for (int row = 0; row < page->model()->rowCount(); ++row)
        links.append(page->model()->row(row).link.link);
    EXPECT_EQ(links,
        (QStringList { QStringLiteral("b.htm#nowhere"), QStringLiteral("Pic.gif"),
            QStringLiteral("missing.htm"), QStringLiteral("paper.png") }));
    EXPECT_EQ(form->currentFile(), sitePath("index.htm"));
    EXPECT_TRUE(report->selectionModel()->isRowSelected(1, {}));

    // Commands on the selection see each page once, however many of its links are broken.
    report->selectAll();
    QStringList entries;
    for (int row = 0; row < page->model()->rowCount(); ++row)
        if (const QString entry = page->entryPath(row, true); !entry.isEmpty())
            entries.append(entry);
    entries.sort();
    EXPECT_EQ(entries, (QStringList { sitePath("index.htm"), sitePath("style.css") }));

    // A new check: the caption counts the list as it is while it runs, not the last one.
    widget<QPushButton>(page, "BCheck")->click();
    EXPECT_TRUE(page->isChecking());
    EXPECT_EQ(tabText(), QStringLiteral("Site Check  (0 of 0 links selected)"));
    ASSERT_TRUE(QTest::qWaitFor([page] { return !page->isChecking(); }, kWaitMs));
    EXPECT_EQ(tabText(), QStringLiteral("Site Check  (0 of 4 links selected)"));
    closeForm();
}

TEST_F(SiteCheckTest, EnterAndDoubleClickOpenTheEditorWithTheLinkSelected)
{
    struct Row {
        const char *name;
        const char *link;
        const char *file;
        bool doubleClick;
    };
    const Row rows[] = {
        { "Enter on a page's link", "Pic.gif", "index.htm", false },
        { "double-click on a page's link", "b.htm#nowhere", "index.htm", true },
        { "a style sheet's link", "paper.png", "style.css", false },
    };
    sitecheck::SiteCheckPage *page = startOnSiteCheck();
    check(page);
    auto *report = widget<QTreeView>(page, "ELVSiteReport");
    for (const Row &row : rows) {
        const int found = rowOfLink(page, QString::fromLatin1(row.link));
        ASSERT_GE(found, 0) << row.name;
        const QModelIndex index = page->model()->index(found, sitecheck::LinkColumn);
        report->setCurrentIndex(index);
        QString tab, selected, file;
        whenModal<viewer::ViewerWindow>([&](viewer::ViewerWindow &window) {
            tab = window.pages()->currentWidget()->objectName();
            selected = window.editor()->textCursor().selectedText();
            file = window.viewerFile();
            QTest::keyClick(&window, Qt::Key_Escape);
        });
        const QPoint at = report->visualRect(index).center();
        if (row.doubleClick) {
            // The view opens only the row the first click of the two pressed.
            QTest::mouseClick(report->viewport(), Qt::LeftButton, {}, at);
            QTest::mouseDClick(report->viewport(), Qt::LeftButton, {}, at);
        } else {
            QTest::keyClick(report, Qt::Key_Return);
        }
        EXPECT_EQ(tab, QStringLiteral("TabEditor")) << row.name;
        EXPECT_EQ(selected, QString::fromLatin1(row.link)) << row.name;
        EXPECT_EQ(file, sitePath(row.file)) << row.name;
    }
    closeForm();
}

TEST_F(SiteCheckTest, EditorSavesAndChangesOnDiskUpdateTheReportWithoutANewCheck)
{
    sitecheck::SiteCheckPage *page = startOnSiteCheck();
    check(page);
    auto *report = widget<QTreeView>(page, "ELVSiteReport");
    report->setCurrentIndex(
        page->model()->index(rowOfLink(page, QStringLiteral("missing.htm")), 0));

    page->sortByColumn(sitecheck::LineColumn);
    page->sortByColumn(sitecheck::LineColumn);

    // The link mended in the editor and saved: its row goes.
    whenModal<viewer::ViewerWindow>([&](viewer::ViewerWindow &window) {
        window.editor()->insertPlainText(QStringLiteral("c.htm"));
        window.saveFile();
        QTest::keyClick(&window, Qt::Key_Escape);
    });
    QTest::keyClick(report, Qt::Key_Return);
    EXPECT_EQ(fileBytes(sitePath("index.htm")).count("c.htm"), 1);
    EXPECT_EQ(rowOfLink(page, QStringLiteral("missing.htm")), -1);
    EXPECT_EQ(page->model()->rowCount(), 3);

    // A page rewritten by another program with a broken link: a row comes.
    writeFile(
        sitePath("sub/page.htm"), "<a href=\"../index.htm\">up</a>\n<a href=\"x.htm\">x</a>\n");
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return rowOfLink(page, QStringLiteral("x.htm")) >= 0; }, kWaitMs));
    EXPECT_EQ(page->model()->rowCount(), 4);
    EXPECT_FALSE(progress->isVisible());
    // Still sorted by line, from the last.
    for (int row = 1; row < page->model()->rowCount(); ++row)
        EXPECT_GE(page->model()->row(row - 1).link.line, page->model()->row(row).link.line);
    EXPECT_EQ(tabText(), QStringLiteral("Site Check  (0 of 4 links selected)"));

    // The missing file made: the links to it are mended.
    writeFile(sitePath("sub/x.htm"), "<p>here now</p>\n");
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return rowOfLink(page, QStringLiteral("x.htm")) < 0; }, kWaitMs));
    EXPECT_EQ(page->model()->rowCount(), 3);
    closeForm();
}

TEST_F(SiteCheckTest, TargetsDeletedOrRenamedOnDiskUpdateTheReport)
{
    // Pictures: no page of the site, so followed only as what good links lead to.
    writeFile(sitePath("img/logo.png"));
    writeFile(sitePath("img/photo.jpg"));
    writeFile(sitePath("sub/pictures.htm"),
        "<img src=\"../img/logo.png\"><img src=\"../img/photo.jpg\">");
    sitecheck::SiteCheckPage *page = startOnSiteCheck();
    check(page);
    const auto problemOf = [&](const char *link) {
        const int row = rowOfLink(page, QString::fromLatin1(link));
        return row < 0 ? QString()
                       : page->model()->index(row, sitecheck::ProblemColumn).data().toString();
    };
    const auto rename = [&](const char *from, const char *to) {
        ASSERT_TRUE(QFile::rename(sitePath(from), sitePath(to)));
    };
    struct Step {
        const char *what;
        std::function<void()> change;
        const char *link;
        const char *problem; // "" once the link holds
    };
    const Step steps[] = {
        { "a good link's target deleted", [&] { QFile::remove(sitePath("img/logo.png")); },
            "../img/logo.png", "no such file" },
        { "a target renamed", [&] { rename("img/photo.jpg", "img/photo2.jpg"); },
            "../img/photo.jpg", "no such file" },
        { "and back", [&] { rename("img/photo2.jpg", "img/photo.jpg"); }, "../img/photo.jpg", "" },
        { "the case of a name changed to the link's", [&] { rename("pic.gif", "Pic.gif"); },
            "Pic.gif", "" },
        { "and to another", [&] { rename("Pic.gif", "PIC.gif"); }, "Pic.gif",
            "case differs: \"PIC.gif\"" },
    };
    for (const Step &step : steps) {
        step.change();
        const QString expected = QString::fromUtf8(step.problem);
        EXPECT_TRUE(QTest::qWaitFor([&] { return problemOf(step.link) == expected; }, kWaitMs))
            << step.what << ": " << problemOf(step.link).toStdString();
    }
    closeForm();
}

TEST_F(SiteCheckTest, StopEndsTheCheckOfALargeSite)
{
    QByteArray links;
    for (int i = 0; i < 50; ++i)
        links += "<a href=\"p" + QByteArray::number(i * 7 % 4000) + ".htm#n\">x</a>\n";
    for (int i = 0; i < 4000; ++i)
        writeFile(
            sitePath(qPrintable(QStringLiteral("big/p%1.htm").arg(i))), "<p id=\"n\">" + links);
    sitecheck::SiteCheckPage *page = startOnSiteCheck();
    widget<QPushButton>(page, "BCheck")->click();
    ASSERT_TRUE(page->isChecking());
    EXPECT_TRUE(progress->isVisible());
    EXPECT_FALSE(form->isEnabled());
    // The window goes on painting the progress while the pages are read.
    auto *bar = widget<QProgressBar>(progress, "ProgBar");
    ASSERT_TRUE(QTest::qWaitFor([&] { return bar->value() > 0 || !page->isChecking(); }, kWaitMs));
    EXPECT_LT(bar->value(), bar->maximum());
    widget<QPushButton>(progress, "BStop")->click();
    ASSERT_TRUE(QTest::qWaitFor([page] { return !page->isChecking(); }, 2000));
    EXPECT_EQ(widget<QLabel>(page, "PanelSiteTop")->text(),
        QStringLiteral("The check of \"%1\" was stopped")
            .arg(QDir::toNativeSeparators(site.path() + QLatin1Char('/'))));
    EXPECT_EQ(page->model()->rowCount(), 0);
    EXPECT_TRUE(form->isEnabled());
    closeForm();
}

TEST_F(SiteCheckTest, HtmlProblemsShownBesideTheLinksSwitchedOffAndUpdatedOnSave)
{
    writeFile(sitePath("sub/page.htm"),
        "<!DOCTYPE html><html lang=en><head><title>t</title></head><body>\n"
        "<a href=\"../index.htm\">up</a> <center>old</center>\n<img src=\"../index.htm\">\n");
    sitecheck::SiteCheckPage *page = startOnSiteCheck();
    check(page);
    EXPECT_EQ(page->model()->rowCount(), 4); // the links alone
    page->setShown(int(sitecheck::ShowProblems::Html));
    const QStringList html = rowsOf(page, true);
    EXPECT_TRUE(html.contains(QStringLiteral("sub/page.htm|2||The “center” element is obsolete. Use CSS instead."
                                             "|obsolete-element")))
        << html.join(u'\n').toStdString();
    EXPECT_TRUE(html.contains(QStringLiteral("index.htm|1||Start tag seen without seeing a doctype first. "
                                             "Expected “<!DOCTYPE html>”.|doctype")));
    const int htmlRows = page->model()->rowCount();
    EXPECT_EQ(tabText(), QStringLiteral("Site Check  (0 of %1 problems selected)").arg(htmlRows));
    page->setShown(int(sitecheck::ShowProblems::All));
    EXPECT_EQ(page->model()->rowCount(), htmlRows + 4);

    // Switched off in the page, and for the site by its settings file.
    page->setRuleOff(QStringLiteral("doctype"), true);
    EXPECT_EQ(form->settings().siteCheckRulesOff, QStringLiteral("doctype"));
    writeFile(sitePath(".folioscope-check.ini"), "[rules]\nimg-alt=off\n");
    page->setShown(int(sitecheck::ShowProblems::Html));
    page->setRuleOff(QStringLiteral("heading-level"), false); // shows the report again
    for (const QString &row : rowsOf(page, true))
        EXPECT_FALSE(row.endsWith(u"|doctype") || row.endsWith(u"|img-alt")) << row.toStdString();
    page->setRuleOff(QStringLiteral("doctype"), false);

    // Enter on the problem opens the editor; the page mended there and saved: its row goes.
    auto *report = widget<QTreeView>(page, "ELVSiteReport");
    int center = -1;
    for (int row = 0; row < page->model()->rowCount(); ++row)
        if (page->model()->row(row).rule == u"obsolete-element")
            center = row;
    ASSERT_GE(center, 0);
    report->setCurrentIndex(page->model()->index(center, 0));
    whenModal<viewer::ViewerWindow>([&](viewer::ViewerWindow &window) {
        QString text = window.editor()->toPlainText();
        text.replace(QStringLiteral("center>"), QStringLiteral("p>"));
        window.editor()->setPlainText(text);
        window.saveFile();
        QTest::keyClick(&window, Qt::Key_Escape);
    });
    QTest::keyClick(report, Qt::Key_Return);
    for (int row = 0; row < page->model()->rowCount(); ++row)
        EXPECT_NE(page->model()->row(row).rule, u"obsolete-element");
    closeForm();
}
