#include "viewer/linkrules.h"

#include <gtest/gtest.h>

namespace {

using platform::PathStyle;

TEST(LinkRulesTest, LinksResolveAgainstTheFolderOfTheirFrame)
{
    struct Row {
        const char *name;
        PathStyle style;
        QString frameFile;
        QString url;
        bool anchorOnly;
        QString path;
    };
    const QString index = QStringLiteral("C:\\site\\index.htm");
    const Row rows[] = {
        { "relative with anchor", PathStyle::Windows, index, QStringLiteral("sub/page.htm#top"),
            false, QStringLiteral("C:\\site\\sub\\page.htm") },
        { "anchor of the same page", PathStyle::Windows, index, QStringLiteral("#top"), true, {} },
        { "empty link", PathStyle::Windows, index, QString(), true, {} },
        { "web address stays a (missing) path", PathStyle::Windows, index,
            QStringLiteral("http://example.com/a.htm"), false,
            QStringLiteral("C:\\site\\http:\\\\example.com\\a.htm") },
        { "query stays in the name", PathStyle::Windows, index, QStringLiteral("a.htm?x=1"), false,
            QStringLiteral("C:\\site\\a.htm?x=1") },
        { "frame in a sub-folder", PathStyle::Windows, QStringLiteral("C:\\site\\nav\\menu.htm"),
            QStringLiteral("../b.htm"), false, QStringLiteral("C:\\site\\nav\\..\\b.htm") },
        { "native form on POSIX", PathStyle::Posix, QStringLiteral("/home/u/site/index.htm"),
            QStringLiteral("sub/page.htm#top"), false,
            QStringLiteral("/home/u/site/sub/page.htm") },
        { "no file in the frame", PathStyle::Posix, QString(), QStringLiteral("b.htm"), false, {} },
    };
    for (const Row &row : rows) {
        const viewer::LinkTarget target = viewer::linkTargetPath(row.frameFile, row.url, row.style);
        EXPECT_EQ(target.anchorOnly, row.anchorOnly) << row.name;
        EXPECT_EQ(target.path, row.path) << row.name;
    }
}

TEST(LinkRulesTest, CoveredLinkText)
{
    EXPECT_EQ(viewer::coveredLinkText(QStringLiteral("main"), QStringLiteral("b.htm")),
        QStringLiteral("URL: b.htm    (Target: main)"));
    EXPECT_EQ(
        viewer::coveredLinkText(QString(), QStringLiteral("b.htm")), QStringLiteral("URL: b.htm"));
    EXPECT_EQ(viewer::coveredLinkText(QString(), QString()), QString());
}

} // namespace
