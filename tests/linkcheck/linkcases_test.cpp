// What each kind of link is judged: one page with one link, among the files a row names.
#include "sitefiles.h"

#include "support/tempdir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

namespace {

struct LinkCase {
    const char *markup; // the page's body
    QStringList files; // present beside index.html
    const char *reason; // "" for a link that holds
    // Symbolic links beside index.html, "name=target"; ../../shared/ lies outside the site.
    QStringList links = {};
};

QString reasonOf(const LinkCase &row, bool fragments = true)
{
    TemporaryDir dir;
    const QString site = dir.filePath(QStringLiteral("site"));
    writeFile(site + QStringLiteral("/index.html"),
        QByteArray("<!DOCTYPE html><html><body id=\"self\">") + row.markup + "</body></html>");
    for (const QString &file : row.files)
        writeFile(site + QLatin1Char('/') + file,
            file.endsWith(u".html") ? "<h1 id=\"there\">x</h1><a name=\"old\"></a>" : "x");
    writeFile(dir.filePath(QStringLiteral("beside.html")));
    writeFile(dir.filePath(QStringLiteral("shared/lib.js")));
    writeFile(dir.filePath(QStringLiteral("shared/page.html")), "<h1 id=\"there\">x</h1>");
    for (const QString &link : row.links) {
        const QString name = site + QLatin1Char('/') + link.section(u'=', 0, 0);
        QDir().mkpath(QFileInfo(name).path());
        QFile::link(link.section(u'=', 1), name);
    }
    linkcheck::CheckOptions options;
    options.fragments = fragments;
    const QStringList lines = checkFolder(site, options);
    QStringList reasons;
    for (const QString &line : lines)
        reasons.append(line.section(QStringLiteral("\": "), 1));
    return reasons.join(u'|');
}

} // namespace

TEST(LinkCases, EachLinkIsJudgedAsABrowserReadsIt)
{
    const QStringList page { QStringLiteral("a.html") };
    const LinkCase rows[] = {
        // The attributes that hold links.
        { "<a href=\"a.html\">", page, "" },
        { "<a href=\"b.html\">", page, "no such file" },
        { "<area href=\"b.html\">", {}, "no such file" },
        { "<link rel=\"icon\" href=\"b.png\">", {}, "no such file" },
        { "<img src=\"p.png\">", {}, "no such file" },
        { "<image src=\"p.png\">", {}, "no such file" },
        { "<script src=\"s.js\"></script>", {}, "no such file" },
        { "<iframe src=\"f.html\"></iframe>", {}, "no such file" },
        { "<embed src=\"e.swf\">", {}, "no such file" },
        { "<video src=\"v.mp4\" poster=\"p.png\"><track src=\"t.vtt\"></video>", {},
            "no such file|no such file|no such file" },
        { "<audio><source src=\"a.ogg\"></audio>", {}, "no such file" },
        { "<input type=\"IMAGE\" src=\"i.png\"><input type=\"text\" src=\"i.png\">", {},
            "no such file" },
        { "<object data=\"o.svg\"></object>", {}, "no such file" },
        { "<table background=\"bg.gif\"><tr><td>x</td></tr></table>", {}, "no such file" },
        { "<img srcset=\"p.png 1x, q.png 2x\">", { QStringLiteral("p.png") }, "no such file" },
        // A comma inside a candidate belongs to its URL.
        { "<img srcset=\"p.png,q.png\">", { QStringLiteral("p.png"), QStringLiteral("q.png") },
            "no such file" },
        { "<p style=\"background: url('bg.png')\">x</p>", {}, "no such file" },
        { "<style>@import \"m.css\"; p { background: url(bg.png) }</style>",
            { QStringLiteral("m.css") }, "no such file" },
        // Not links.
        { "<p title=\"b.html\" data-src=\"b.html\">x</p><div src=\"b.html\"></div>", {}, "" },
        { "<!-- <a href=\"b.html\"> --><script>var s = '<a href=\"b.html\">';</script>", {}, "" },
        { "<textarea><a href=\"b.html\"></textarea><title><img src=b.png></title>", {}, "" },
        { "<style>/* url(b.png) */ p { content: \"url(b.png)\" }</style>", {}, "" },
        { "<a href=\"\">x</a><a>y</a>", {}, "" },
        // Read as a browser reads them.
        { "<a href=\"  a.html\n\">", page, "" },
        { "<a href=\"a.html?x=1&amp;y=2\">", page, "" },
        { "<a href=\"&#97;.html\">", page, "" },
        { "<a href=\"%61.html\">", page, "" },
        { "<a href=\"/a.html\">", page, "" },
        { "<a href=\"sub/../a.html\">", page, "" },
        { "<a href=\"sub\\..\\a.html\">", page, "" },
        { "<a href=\"file:///nowhere/a.html\">", page, "outside the site" },
        { "<base href=\"sub/\"><a href=\"a.html\">", { QStringLiteral("sub/a.html") }, "" },
        { "<base href=\"http://example.org/\"><a href=\"b.html\">", {}, "" },
        { "<a href=\"caf%C3%A9.html\">", { QStringLiteral("café.html") }, "" },
        // Folders stand for their index pages, in order.
        { "<a href=\"sub/\">", { QStringLiteral("sub/default.html") }, "" },
        { "<a href=\"sub\">", { QStringLiteral("sub/index.htm") }, "" },
        { "<a href=\"sub/\">", { QStringLiteral("sub/x.html") }, "no such file" },
        { "<a href=\"a.html/\">", page, "no such file" },
        // Other hosts are never looked at.
        { "<a href=\"http://example.org/b.html\"><a href=\"//example.org/b\">", {}, "" },
        { "<a href=\"mailto:x@example.org\"><a href=\"javascript:void(0)\">", {}, "" },
        // Case and the boundary.
        { "<a href=\"A.html\">", page, "case differs: \"a.html\"" },
        { "<a href=\"SUB/a.html#there\">", { QStringLiteral("sub/a.html") },
            "case differs: \"sub/a.html#there\"" },
        { "<a href=\"../beside.html\">", {}, "outside the site" },
        { "<a href=\"/../beside.html\">", {}, "outside the site" },
        { "<a href=\"%2e%2e%2fbeside.html\">", {}, "outside the site" },
        { "<a href=\"a%00.html\">", page, "no such file" },
        // Symbolic links hold wherever they lead, as for a browser or a server: the boundary
        // is the link's path. A page they lead to is read for its anchors.
        { "<script src=\"_static/lib.js\"></script>", {}, "",
            { QStringLiteral("_static/lib.js=../../shared/lib.js") } },
        { "<script src=\"js/lib.js\"></script><script src=\"js/../js/lib.js\"></script>", {}, "",
            { QStringLiteral("js=../shared") } },
        { "<a href=\"out.html#there\"><a href=\"out.html#nowhere\">", {},
            "no anchor \"nowhere\" in out.html",
            { QStringLiteral("out.html=../shared/page.html") } },
        { "<a href=\"JS/lib.js\">", {}, "case differs: \"js/lib.js\"",
            { QStringLiteral("js=../shared") } },
        { "<a href=\"js/../../beside.html\">", {}, "outside the site",
            { QStringLiteral("js=../shared") } },
        { "<a href=\"gone.js\"><a href=\"js/\">", {}, "no such file|no such file",
            { QStringLiteral("gone.js=../shared/none.js"), QStringLiteral("js=../shared") } },
        // Fragments.
        { "<a href=\"#\"><a href=\"#top\"><a href=\"#self\">", {}, "" },
        { "<a href=\"#nowhere\">", {}, "no anchor \"nowhere\" in index.html" },
        { "<a href=\"a.html#there\"><a href=\"a.html#old\">", page, "" },
        { "<a href=\"a.html#There\">", page, "no anchor \"There\" in a.html" },
        { "<a href=\"a.html#th%65re\">", page, "" },
        { "<a href=\"p.png#x\">", { QStringLiteral("p.png") }, "" },
    };
    for (const LinkCase &row : rows) {
        SCOPED_TRACE(row.markup);
        EXPECT_EQ(reasonOf(row), QString::fromUtf8(row.reason));
    }
    EXPECT_EQ(reasonOf({ "<a href=\"a.html#nowhere\">", page, "" }, false), QString());
}

TEST(LinkCases, PlacesAreTheLinksFirstCharacter)
{
    struct Row {
        const char *page;
        int line;
        int column;
    };
    const Row rows[] = {
        { "<a href=\"b.html\">", 1, 10 },
        { "<a href='  b.html'>", 1, 12 },
        { "<a href=b.html>", 1, 9 },
        { "<a title=\"&eacute;&amp;\" href=\"b.html\">", 1, 32 },
        { "<a href=\"&#98;.html\">", 1, 10 },
        { "<a href=\"&#32;&#10; b.html\">", 1, 21 },
        { "<a href=\"&nbsp;b.html\">", 1, 10 }, // no blank to HTML
        { "<p>\xC3\xA9\xE2\x82\xAC</p>\r\n\r\n<img src=\"b.png\">", 3, 11 },
        { "<img srcset=\"index.html 1x,\n  b.png 2x\">", 2, 3 },
        { "<p style=\"color: red; background: url( &quot;b.png&quot; )\">", 1, 46 },
        { "<style>\np { background: url('b.png') }</style>", 2, 22 },
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.page);
        TemporaryDir dir;
        writeFile(dir.filePath(QStringLiteral("index.html")), row.page);
        linkcheck::SiteCheck check({ dir.path() });
        check.check({ dir.path() });
        const std::vector<linkcheck::BrokenLink> report = check.report();
        ASSERT_EQ(report.size(), 1u);
        EXPECT_EQ(report[0].line, row.line);
        EXPECT_EQ(report[0].column, row.column);
    }
}
