// The HTML check on small pages: each rule with the place it names, and clean pages that give
// nothing.
#include "linkcheck/htmlcheck.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// A page whose second line is `body`, in a valid document around it.
std::string page(std::string_view body)
{
    return "<!DOCTYPE html><html lang=en><head><title>t</title></head><body>\n" + std::string(body)
        + "\n</body></html>\n";
}

struct Expected {
    std::string_view rule;
    int line;
    int column;
};

struct Case {
    std::string text;
    std::vector<Expected> problems;
};

std::string describe(const std::vector<linkcheck::HtmlProblem> &problems)
{
    std::string out;
    for (const linkcheck::HtmlProblem &problem : problems)
        out += std::to_string(problem.line) + ":" + std::to_string(problem.column) + " "
            + std::string(problem.rule) + " " + problem.message + "\n";
    return out;
}

void expectProblems(const std::vector<Case> &cases)
{
    for (const Case &one : cases) {
        SCOPED_TRACE(one.text);
        const std::vector<linkcheck::HtmlProblem> found = linkcheck::checkHtml(one.text);
        SCOPED_TRACE(describe(found));
        ASSERT_EQ(found.size(), one.problems.size());
        for (size_t i = 0; i < found.size(); ++i) {
            EXPECT_EQ(found[i].rule, one.problems[i].rule);
            EXPECT_EQ(found[i].line, one.problems[i].line);
            EXPECT_EQ(found[i].column, one.problems[i].column);
        }
    }
}

} // namespace

TEST(HtmlCheck, CleanPagesGiveNothing)
{
    expectProblems({
        { page("<p>a<p>b</p><ul><li>one<li>two</ul><dl><dt>t<dd>d</dl>"), {} },
        { page("<table><caption>c</caption><tr><td>1<td>2<tr><th>3</table>"), {} },
        { page("<a href=\"?a=1&b=2&copy=3\">x &amp; y &copy; z</a><img src=i.png alt=\"\">"), {} },
        { page("<svg viewBox=\"0 0 1 1\"><path d=\"M0 0\"/><title>x</title></svg><br/>"), {} },
        { page("<select name=s><option>1<option>2<optgroup label=g><option>3</select>"), {} },
        { page("<h1>a</h1><h2>b</h2><h3>c</h3><h2>d</h2><h1>e</h1><h2>f</h2>"), {} },
        { page("<div data-x=1 aria-label=y onclick=\"f()\" role=note><my-thing>x</my-thing></div>"),
            {} },
        { page("<script>if (a < b && c) document.write('<p>')</script>"
               "<link rel=stylesheet href=s.css><meta itemprop=x content=y>"), {} },
        { "<!doctype html>\n<title>t</title>\n<p>x", {} },
        { "<!DOCTYPE html SYSTEM \"about:legacy-compat\"><title>t</title><!-- c --><p>x", {} },
        { page("<details><summary>s</summary>x</details><picture><source srcset=a.png>"
               "<img src=b.png alt=b></picture><textarea>&lt;&</textarea>"), {} },
    });
}

TEST(HtmlCheck, ParseErrors)
{
    expectProblems({
        { "<html><title>t</title>", { { "doctype", 1, 1 } } },
        { "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\" "
          "\"http://www.w3.org/TR/html4/loose.dtd\">\n<title>t</title>",
            { { "doctype", 1, 1 } } },
        { page("<p>x</p></p>"), { { "stray-end-tag", 2, 9 } } },
        { page("</div>"), { { "stray-end-tag", 2, 1 } } },
        { page("<div><span>x</div>"),
            { { "misnested-end-tag", 2, 6 }, { "misnested-end-tag", 2, 13 } } },
        { page("<div>x"), { { "misnested-end-tag", 2, 1 }, { "misnested-end-tag", 3, 1 } } },
        { page("<b><i>x</b></i>"), { { "misnested-end-tag", 2, 8 } } },
        { page("<a href=a>x<a href=b>y</a>"), { { "nested-same-element", 2, 12 } } },
        { page("<form><form></form>"), { { "nested-same-element", 2, 7 } } },
        { page("<button>a<button>b</button>"), { { "nested-same-element", 2, 10 } } },
        { page("<?xml version=\"1.0\"?>"), { { "xml-instruction", 2, 1 } } },
        { page("<p class=a id=b class=c>x"), { { "duplicate-attribute", 2, 17 } } },
        { page("x &copy y &#38 &bogus; &#0; &#x110000;"),
            { { "character-reference", 2, 3 }, { "character-reference", 2, 11 },
                { "character-reference", 2, 16 }, { "character-reference", 2, 24 },
                { "character-reference", 2, 29 } } },
        { page("<a title=\"&bogus; &copy\">x</a>"),
            { { "character-reference", 2, 11 }, { "character-reference", 2, 19 } } },
        { page("<!-- open"), { { "end-of-file", 2, 1 } } },
        { page("<script>x"), { { "end-of-file", 2, 1 } } },
        { page("<a href=\"x"), { { "end-of-file", 2, 1 } } },
        { page("<div/>x</div>"), { { "self-closing-non-void", 2, 1 } } },
        { page("a < b"), { { "parse-other", 2, 3 } } },
        { page("<table>x</table>"), { { "parse-other", 2, 8 } } },
        { page("<p title=\"1\"lang=en>x"), { { "parse-other", 2, 13 } } },
    });
}

TEST(HtmlCheck, ContentRules)
{
    expectProblems({
        { page("<p id=x>a</p>\n<p id=x>b</p>"), { { "duplicate-id", 3, 4 } } },
        { page("<center>x</center> <font>y</font>"),
            { { "obsolete-element", 2, 1 }, { "obsolete-element", 2, 20 } } },
        { page("<p align=center>x</p><a name=n>y</a>"),
            { { "obsolete-attribute", 2, 4 }, { "obsolete-attribute", 2, 25 } } },
        { page("<img src=a.png>"), { { "img-alt", 2, 1 } } },
        { "<!DOCTYPE html>\n<html lang=en><head></head><body>x</body></html>",
            { { "missing-required-child", 2, 21 } } },
        { page("<img alt=a><link href=a.css>"),
            { { "missing-required-attribute", 2, 1 }, { "missing-required-attribute", 2, 12 } } },
        { page("<li>x</li><span><div>y</div></span>"),
            { { "element-not-allowed", 2, 1 }, { "element-not-allowed", 2, 17 } } },
        { page("<ul>text<li>x</ul><a href=a><button>b</button></a>"),
            { { "element-not-allowed", 2, 5 }, { "element-not-allowed", 2, 29 } } },
        { page("<div href=x>a</div><img src=a alt=b foo=c>"),
            { { "attribute-not-allowed", 2, 6 }, { "attribute-not-allowed", 2, 37 } } },
        { page("<h1>a</h1><h3>b</h3>"), { { "heading-level", 2, 11 } } },
    });
}

TEST(HtmlCheck, TreeConstructionAsTheParserBuildsIt)
{
    expectProblems({
        // Implied ends: p by a block, li by li, dd by dt, option by option; cells and rows.
        { page("<p>a<div>b</div><ul><li>1<li>2</ul><dl><dt>t<dd>d<dt>u<dd>e</dl>"), {} },
        { page("<table><col><tr><td>1<td>2<tr><th>3</th></tr></table>"), {} },
        // Text and elements inside a table go before it.
        { page("<table><tr>x<td>1</td></tr></table>"), { { "parse-other", 2, 12 } } },
        { page("<table><div>x</div><tr><td>1</table>"), { { "parse-other", 2, 8 } } },
        // Foreign content: a self-closing path is fine, an HTML tag leaves it.
        { page("<svg><g/><p>x</p>"), { { "parse-other", 2, 10 } } },
        { page("<math><mi><b>x</b></mi></math>"), {} },
        // select holds options only.
        { page("<select><div>x</div><option>1</select>"),
            { { "parse-other", 2, 9 }, { "element-not-allowed", 2, 14 }, { "stray-end-tag", 2, 15 } } },
        // A p closed over an open b: the b is reopened for the text after it, and closes fine.
        { page("<p><b>x<p>y</b></p>"), { { "misnested-end-tag", 2, 4 }, { "misnested-end-tag", 2, 8 } } },
        { page("<h1>a</h2>"), { { "misnested-end-tag", 2, 6 } } },
        { page("<h1><h2>a</h2></h1>"),
            { { "parse-other", 2, 5 }, { "stray-end-tag", 2, 15 } } },
        // A dl whose last term has no description, reported where the dl ends.
        { page("<dl><dt>t</dl>"), { { "missing-required-child", 2, 10 } } },
        { page("<details><p>x</p></details>"), { { "missing-required-child", 2, 18 } } },
        // Obsolete but conforming: border=0 on img is a warning only.
        { page("<img src=a alt=b border=0>"), { { "obsolete-attribute", 2, 18 } } },
    });
}

TEST(HtmlCheck, HeadingLevelIsAWarningTheRestErrors)
{
    const auto problems = linkcheck::checkHtml(page("<h1>a</h1><h4>b</h4><img src=x>"));
    ASSERT_EQ(problems.size(), 2u);
    EXPECT_TRUE(problems[0].warning);
    EXPECT_FALSE(problems[1].warning);
}

TEST(HtmlCheck, EveryRuleIdIsKnown)
{
    EXPECT_EQ(linkcheck::htmlRuleIds().size(), 19u);
    EXPECT_TRUE(linkcheck::isHtmlRuleId("img-alt"));
    EXPECT_FALSE(linkcheck::isHtmlRuleId("img"));
}
