#include "stylefixture.h"

#include "formatter/style.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace formatter;

TEST(LoadStyle, MissingFilesGiveDefaults)
{
    QTemporaryDir empty;
    Style style;
    style.options.lineSize = 80;
    style.options.spacing = 2;
    LoadStyle(style, empty.path(), QStringLiteral("MYSTYLE"));
    LoadTrimTags(style, empty.path());
    const StyleOptions &o = style.options;
    EXPECT_EQ(o.lineSize, 80);
    EXPECT_EQ(o.spacing, 4); // the load overwrites the start-up value 2
    EXPECT_EQ(o.tagCase, 1);
    EXPECT_EQ(o.breakExcluder, QStringLiteral("\""));
    EXPECT_TRUE(o.doPurgeComments);
    EXPECT_FALSE(o.doDisableComments);
    EXPECT_TRUE(o.doIncludeUser && o.doIncludeVersion && o.doIncludeDate && o.doIncludeTime
        && o.doIncludeStyle);
    EXPECT_FALSE(o.useWhileCompress || o.useWhileFormat);
    EXPECT_EQ(style.rules.count(), 0);
    EXPECT_TRUE(style.trimTags.isEmpty());
    // Any style name loads the one style folder.
    EXPECT_EQ(style.name, QStringLiteral("THUMBS"));
    EXPECT_EQ(o.styleName, QStringLiteral("THUMBS"));
    EXPECT_TRUE(style.folder.endsWith(QStringLiteral("/STYLES/THUMBS/")));
}

TEST(LoadStyle, OptionValues)
{
    Style style = styleFrom({},
        "StyleName=Other\nLineSize=abc\nSpacing=3\nTagCase=2\n"
        "BreakExcluder=<\nDoPurgeComments=0\nDoIncludeTime=7\n"
        "UseWhileFormat=1\n");
    EXPECT_EQ(style.options.styleName, QStringLiteral("THUMBS"));
    EXPECT_EQ(style.options.lineSize, 80); // not a number: the default
    EXPECT_EQ(style.options.spacing, 3);
    EXPECT_EQ(style.options.tagCase, 2);
    EXPECT_EQ(style.options.breakExcluder, QStringLiteral("<"));
    EXPECT_FALSE(style.options.doPurgeComments);
    EXPECT_TRUE(style.options.doIncludeTime);
    EXPECT_TRUE(style.options.useWhileFormat);
    // A second load without the key keeps the value held before.
    QTemporaryDir empty;
    LoadStyle(style, empty.path(), QString());
    EXPECT_TRUE(style.options.useWhileFormat);
    EXPECT_FALSE(style.options.useWhileCompress);
}

TEST(LoadStyle, TagRules)
{
    const Style style = styleFrom("[OWN]\nTagOpen=<DIV>\nTagClose=</DIV>\n"
                                  "[INLINE]\nTreatAsText=1\nTagOpen=<B>\n"
                                  "[LONG]\nTagOpen=<ABCDEFGHIJKLMNOPQRSTUVWXYZ>\nCRLFLeading=3\n"
                                  "[COMMENTS]\nCommentSymbol=-=-\nStartComment="
        + QByteArray(40, 'x') + "\nCommentLength=junk\n");
    ASSERT_EQ(style.rules.count(), 4);
    const RecTAGInfo &own = style.rules.rule(1);
    EXPECT_EQ(own.index, 1);
    EXPECT_EQ(own.crlfLeading, 1); // an own-line tag starts and ends a line
    EXPECT_EQ(own.crlfFollowed, 1);
    EXPECT_TRUE(own.commentSymbol.isEmpty()); // no key: no fill, unlike the default rule
    EXPECT_EQ(DefaultTagRule().commentSymbol, QStringLiteral("*"));
    const RecTAGInfo &inl = style.rules.rule(2);
    EXPECT_EQ(inl.crlfLeading, 0);
    EXPECT_EQ(inl.crlfFollowed, 0);
    EXPECT_TRUE(inl.cindent);
    const RecTAGInfo &cut = style.rules.rule(3);
    EXPECT_EQ(cut.tagOpen, QStringLiteral("<ABCDEFGHIJKLMNOPQRS")); // lost its ">"
    EXPECT_EQ(cut.crlfLeading, 3);
    EXPECT_EQ(cut.crlfFollowed, 1);
    const RecTAGInfo &comments = style.rules.rule(4);
    EXPECT_EQ(comments.commentSymbol, QStringLiteral("-"));
    EXPECT_EQ(comments.startComment.size(), 30);
    EXPECT_EQ(comments.commentLength, 40);
}

TEST(LoadStyle, HugeTagIniIsCutTo100Rules)
{
    QByteArray ini;
    const QByteArray longValue(5000, 'v');
    for (int i = 0; i < 120; ++i)
        ini += "[RULE" + QByteArray::number(i) + "]\nTagOpen=<" + longValue
            + ">\nStartComment=" + longValue + "\nisSelfIndent=" + longValue + "\n";
    const Style style = styleFrom(ini);
    ASSERT_EQ(style.rules.count(), 100);
    EXPECT_EQ(style.rules.rule(100).name, QStringLiteral("RULE99"));
    EXPECT_EQ(style.rules.rule(100).tagOpen.size(), 20);
    EXPECT_EQ(style.rules.rule(100).isSelfIndent, 0);
}

TEST(LoadTrimTags, EntriesInFileOrder)
{
    const Style style = styleFrom({}, {}, "<PRE>=1\n<CODE>=x\n</P>=0\n<B>=-1\n<I>=12junk\n");
    QStringList entries;
    for (const TrimTag &tag : style.trimTags)
        entries.append(tag.entry());
    EXPECT_EQ(entries,
        (QStringList { QStringLiteral("1<PRE>"), QStringLiteral("0<CODE>"), QStringLiteral("0</P>"),
            QStringLiteral("-1<B>"), QStringLiteral("0<I>") }));
}
