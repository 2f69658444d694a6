// What each scope finds in a page, and how the replacement is written there.

#include "replace/replacer.h"

#include <gtest/gtest.h>

namespace {

using replace::Scope;

struct Row {
    const char *name;
    QByteArray page;
    const char *find;
    const char *with;
    Scope scope;
    QByteArray expected;
    const char *attribute = "";
    bool regex = false;
    bool matchCase = true;
    bool wholeWords = false;
};

const Row kRows[] = {
    { "text leaves tags, attributes, comments, scripts and styles",
        "<p class=\"a\">a <!-- a --> a</p><script>a</script><style>a{}</style>", "a", "b",
        Scope::Text, "<p class=\"a\">b <!-- a --> b</p><script>a</script><style>a{}</style>" },
    { "a match across a tag boundary is none in text", "<p><b>To</b>m</p>", "Tom", "X",
        Scope::Text, "<p><b>To</b>m</p>" },
    { "text matches through references, and escapes its own", "<p>Tom &amp; Jerry</p>",
        "Tom & Jerry", "Tom & Jerry's", Scope::Text, "<p>Tom &amp; Jerry's</p>" },
    { "numeric and named references are their characters", "<p>caf&#233; caf&eacute; caf&#xE9</p>",
        "caf\u00e9", "cafe", Scope::Text, "<p>cafe cafe cafe</p>" },
    { "a less-than sign in the replacement is escaped in text", "<p>a</p>", "a", "<b>",
        Scope::Text, "<p>&lt;b></p>" },
    { "a reference that ends half-way is taken whole", "<p>x&amp;y</p>", "x&", "z",
        Scope::Text, "<p>zy</p>" },
    { "everywhere matches the bytes as written", "<p>Tom &amp; Jerry</p>", "&amp;", "and",
        Scope::All, "<p>Tom and Jerry</p>" },
    { "everywhere does not read references", "<p>Tom &amp; Jerry</p>", "Tom & Jerry", "X",
        Scope::All, "<p>Tom &amp; Jerry</p>" },
    { "everywhere reaches comments and scripts", "<!-- a --><script>a</script>", "a", "b",
        Scope::All, "<!-- b --><script>b</script>" },
    { "CDATA in SVG is no text", "<svg><![CDATA[x]]><text>x</text></svg><p>x</p>", "x", "y",
        Scope::Text, "<svg><![CDATA[x]]><text>y</text></svg><p>y</p>" },
    { "a style in SVG is no text", "<svg><style>x{}</style></svg>x", "x", "y", Scope::Text,
        "<svg><style>x{}</style></svg>y" },
    { "CDATA outside SVG ends at its first >", "<p><![CDATA[x]]> x</p>", "x", "y", Scope::Text,
        "<p><![CDATA[x]]> y</p>" },
    { "a script holding an end tag of another element", "<script>a < b; \"</p>x\"</script>x",
        "x", "y", Scope::Text, "<script>a < b; \"</p>x\"</script>y" },
    { "a less-than sign that opens no tag is text", "<p>a < x</p>", "< x", "> y", Scope::Text,
        "<p>a > y</p>" },
    { "the title is text", "<title>a&amp;b</title>", "a&b", "c", Scope::Text, "<title>c</title>" },
    { "a tag cut off by the end of the page is none", "<p>x</p><a href=\"x", "x", "y",
        Scope::Text, "<p>y</p><a href=\"x" },
    { "a comment ended by --!> and an abrupt one", "<!-- x --!>x<!-->x", "x", "y", Scope::Text,
        "<!-- x --!>y<!-->y" },
    { "values in double, single and no quotes",
        "<a href=\"x.htm\" title='x.htm' data-x=x.htm>x.htm</a>", "x.htm", "y.htm",
        Scope::Attributes, "<a href=\"y.htm\" title='y.htm' data-x=y.htm>x.htm</a>" },
    { "the values of one attribute", "<a href=\"x\" title=\"x\">", "x", "y", Scope::Attributes,
        "<a href=\"y\" title=\"x\">", "href" },
    { "the attribute's name in any case", "<a HREF=\"x\">", "x", "y", Scope::Attributes,
        "<a HREF=\"y\">", "href" },
    { "a value's own quote is escaped, in none every blank and quote",
        "<a title=\"x\" alt='x' data-y=x>", "x", "\"it's\" a", Scope::Attributes,
        "<a title=\"&quot;it's&quot; a\" alt='\"it&#39;s\" a' data-y=&#34;it&#39;s&#34;&#32;a>" },
    { "values match through references", "<a title=\"A &amp; B\">", "A & B", "A+B",
        Scope::Attributes, "<a title=\"A+B\">" },
    { "an unquoted value taken away whole stays a value", "<td align=left>", "left", "",
        Scope::Attributes, "<td align=\"\">" },
    { "tags renames tags and attributes, not values or text",
        "<font face=\"font\">font</font>", "font", "span", Scope::Tags,
        "<span face=\"font\">font</span>" },
    { "tags: an attribute name", "<p data-old=\"old\">", "data-old", "data-new", Scope::Tags,
        "<p data-new=\"old\">" },
    { "regular expression groups", "<p>2024-01-31</p>", "(\\d+)-(\\d+)-(\\d+)", "\\3.\\2.\\1",
        Scope::Text, "<p>31.01.2024</p>", "", true },
    { "a line break in the replacement takes the page's line ends", "a\r\nb", "b", "c\\nd",
        Scope::All, "a\r\nc\r\nd", "", true },
    { "whole words", "<p>cat concat cat_x caf\u00e9cat cat.</p>", "cat", "dog", Scope::Text,
        "<p>dog concat cat_x caf\u00e9cat dog.</p>", "", false, true, true },
    { "whole words in bytes", "cat concat cat", "cat", "dog", Scope::All, "dog concat dog", "",
        false, true, true },
    { "whole words by expression", "cat concat", "c.t", "dog", Scope::All, "dog concat", "", true,
        true, true },
    { "case ignored", "<p>Tom TOM tom</p>", "tom", "x", Scope::Text, "<p>x x x</p>", "", false,
        false },
    { "case ignored in the bytes", "Tom TOM tom", "tom", "x", Scope::All, "x x x", "", false,
        false },
    { "a byte order mark is no text", "\xEF\xBB\xBFx<p>x</p>", "x", "y", Scope::Text,
        "\xEF\xBB\xBFy<p>y</p>" },
    { "a Latin-1 page stays Latin-1", "<p>caf\xE9</p>", "caf\u00e9", "na\u00efve",
        Scope::Text, "<p>na\xEFve</p>" },
    { "a Latin-1 page in its bytes", "caf\xE9 caf\xE9", "caf\u00e9", "x", Scope::All, "x x" },
    { "a replacement equal to the match is no change", "aaa", "a", "a", Scope::All, "aaa" },
    { "an empty match replaces nothing", "abc", "x*", "-", Scope::All, "abc", "", true },
};

} // namespace

TEST(ReplaceScopes, FindsAndWritesAsTheScopeSays)
{
    for (const Row &row : kRows) {
        SCOPED_TRACE(row.name);
        replace::ReplaceOptions options;
        options.find = QString::fromUtf8(row.find);
        options.with = QString::fromUtf8(row.with);
        options.scope = row.scope;
        options.attribute = QString::fromUtf8(row.attribute);
        options.regex = row.regex;
        options.matchCase = row.matchCase;
        options.wholeWords = row.wholeWords;
        const replace::Replacer replacer(options);
        ASSERT_TRUE(replacer.problem().isEmpty()) << replacer.problem().toStdString();
        const replace::PagePlan plan = replacer.plan(row.page);
        EXPECT_TRUE(plan.error.isEmpty()) << plan.error.toStdString();
        EXPECT_EQ(replace::applyEdits(row.page, plan.edits), row.expected);
    }
}

TEST(ReplaceScopes, RefusesWhatCannotBeWritten)
{
    struct Refusal {
        const char *name;
        QByteArray page;
        const char *find;
        const char *with;
        Scope scope;
        bool regex;
        const char *problem; // of the options, or else of the page
    };
    const Refusal rows[] = {
        { "nothing to find", "x", "", "y", Scope::All, false, "There is nothing to find." },
        { "a bad expression", "x", "(x", "y", Scope::All, true,
            "The regular expression is not valid: missing closing parenthesis (at character 3)." },
        { "a name with a blank", "<p>", "p", "a b", Scope::Tags, false,
            "\"a b\" cannot be the name of a tag or an attribute." },
        { "a name that a group makes empty", "<p>", "(x)?p", "\\1", Scope::Tags, true,
            "\"\" cannot be the name of a tag or an attribute." },
        { "a character Latin-1 has not", "caf\xE9 x", "x", "\u65e5", Scope::All, false,
            "The text holds characters that this 8-bit page cannot store: \u65e5" },
    };
    for (const Refusal &row : rows) {
        SCOPED_TRACE(row.name);
        replace::ReplaceOptions options;
        options.find = QString::fromUtf8(row.find);
        options.with = QString::fromUtf8(row.with);
        options.scope = row.scope;
        options.regex = row.regex;
        const replace::Replacer replacer(options);
        const replace::PagePlan plan = replacer.plan(row.page);
        EXPECT_TRUE(plan.edits.empty());
        EXPECT_EQ(plan.error, QString::fromUtf8(row.problem));
    }
}

TEST(ReplaceScopes, PreviewShowsTheLineBeforeAndAfter)
{
    replace::ReplaceOptions options;
    options.find = QStringLiteral("old");
    options.with = QStringLiteral("new");
    const QByteArray page = "first\r\nan old line\r\n" + QByteArray(200, 'x') + "old" + QByteArray(200, 'y');
    const replace::PagePlan plan = replace::Replacer(options).plan(page);
    const std::vector<replace::ChangeView> views
        = replace::describeEdits(page, plan.encoding, plan.edits);
    ASSERT_EQ(views.size(), 2u);
    EXPECT_EQ(views[0].line, 2);
    EXPECT_EQ(views[0].before, QStringLiteral("an old line"));
    EXPECT_EQ(views[0].after, QStringLiteral("an new line"));
    EXPECT_EQ(views[1].line, 3);
    // A long line is cut around the change.
    EXPECT_EQ(views[1].before, QString(80, u'x') + QStringLiteral("old") + QString(80, u'y'));
}
