// The own scan of pages against gumbo's full HTML5 parser: both must find the same links, at
// the same places, and the same anchors.
#include "linkcheck/pageparse.h"

#include <QDirIterator>
#include <QFile>

#include <gtest/gtest.h>

namespace {

void expectSameAsGumbo(const QByteArray &page)
{
    const linkcheck::ParsedFile own = linkcheck::parseHtml(page);
    const linkcheck::ParsedFile gumbo = linkcheck::parseHtmlWithGumbo(page);
    ASSERT_EQ(own.links.size(), gumbo.links.size());
    for (size_t i = 0; i < own.links.size(); ++i) {
        SCOPED_TRACE(gumbo.links[i].text.toStdString());
        EXPECT_EQ(own.links[i].text, gumbo.links[i].text);
        EXPECT_EQ(own.links[i].line, gumbo.links[i].line);
        EXPECT_EQ(own.links[i].column, gumbo.links[i].column);
        EXPECT_EQ(own.links[i].styleSheet, gumbo.links[i].styleSheet);
    }
    EXPECT_EQ(own.anchors, gumbo.anchors);
    EXPECT_EQ(own.base, gumbo.base);
}

} // namespace

TEST(PageParse, TheScanFindsWhatGumboFinds)
{
    const char *pages[] = {
        "<A HREF=\"a.html\" href=\"b.html\">x</a><IMG SRC=p.png><a href = 'c.html' >",
        "<a href=\"x&amp;y&ampz&amp=1&copy=2&copy;&notit;&#150;&#0;&#x1F600;&bogus;\">",
        "<a href=\"a\r\nb.html\">\r\n<a href=\"\0c.html\">",
        "<!--> <a href=\"1.html\"> <!---> <a href=\"2.html\"> <!-- x --!> <a href=\"3.html\">",
        "<!-- -- > <a href=\"no.html\"> --><a href=\"4.html\"><!doctype html><?php x ?>",
        "<script><!-- <script> </script> <a href=\"no.html\"> --></script><a href=\"5.html\">",
        "<script>a = '</scripty>'; b = '<a href=\"no.html\">'</SCRIPT ><a href=\"6.html\">",
        "<style>p { background: url(s.png) }</style><xmp><a href=\"no.html\"></xmp>",
        "<noscript><img src=\"n.png\"></noscript><noembed><img src=\"no.png\"></noembed>",
        "<iframe src=\"f.html\"><a href=\"no.html\"></iframe><noframes><a href=no></noframes>",
        "<svg><image href=\"i.png\"/><a href=\"s.html\"/><style>a { fill: url(g.svg) }</style>"
        "<![CDATA[<a href=\"no.html\">]]><img src=\"out.png\"><a href=\"html.html\"></svg>",
        "<math><mi><![CDATA[x]]></mi></math><image src=\"img.png\"><svg/><image src=\"2.png\">",
        "<base href=\"sub/\"><base href=\"other/\"><a id=\"x\" name=\"y\"></a><p name=\"z\">",
        "<template><a href=\"t.html\" id=\"t\"></template></a href=\"no.html\"><a href=\"7.html\"",
        "<link rel=\"Alternate StyleSheet\" href=\"alt.css\"><link rel=icon href=i.ico>",
        "<video poster=\"p.png\" src=\"v.mp4\"><source srcset=\"a.png 1x, b.png 2x\"></video>",
        "<input type=image src=i.png><input src=no.png><object data=\"o.svg\"></object>",
        "<table background=\"t.png\"><tr><td background=\"d.png\" style=\"background: "
        "url( &quot;u.png&quot; )\">x</td></tr></table>",
        "<textarea><a href=\"no.html\"></textarea><title><a href=no></title><a href=\"8.html\">",
        "<p>\xC3\xA9\xF0\x9F\x98\x80\t<a href=\"\xC3\xA9.html\">\xFF\xFE latin-1</a>",
        "<plaintext><a href=\"no.html\">",
    };
    for (const char *page : pages) {
        SCOPED_TRACE(page);
        expectSameAsGumbo(QByteArray(page, qsizetype(std::strlen(page))));
    }
    expectSameAsGumbo(QByteArray("<a href=\"a\0b.html\" id=\"\0\">", 26));
}

TEST(PageParse, RealPagesGiveTheSameLinks)
{
    // The pages installed with the system's manuals; there may be none.
    int pages = 0;
    QDirIterator found(QStringLiteral("/usr/share/doc"), { QStringLiteral("*.htm*") },
        QDir::Files, QDirIterator::Subdirectories);
    while (found.hasNext() && pages < 400) {
        QFile file(found.next());
        if (!file.open(QIODevice::ReadOnly))
            continue;
        SCOPED_TRACE(file.fileName().toStdString());
        expectSameAsGumbo(file.readAll());
        ++pages;
    }
    // A generated page of every link kind, as the benchmark writes them.
    QByteArray page = "<!DOCTYPE html><html><head><link rel=\"stylesheet\" href=\"s.css\"></head>";
    for (int i = 0; i < 500; ++i)
        page += "<p id=\"s" + QByteArray::number(i) + "\">Words <a href=\"../d" + QByteArray::number(i)
            + "/p.html#s1\">link</a> <img src=\"../img/p" + QByteArray::number(i) + ".png\"></p>\n";
    expectSameAsGumbo(page);
}
