#include "platform/pathrules.h"

#include <gtest/gtest.h>

using platform::PathStyle;

TEST(PathRules, WithTrailingBackslashLeavesExactlyOne)
{
    struct Row {
        const char *name;
        PathStyle style;
        const char *in;
        const char *out;
    };
    const Row rows[] = {
        {"windows none", PathStyle::Windows, "C:\\Web", "C:\\Web\\"},
        {"windows many", PathStyle::Windows, "C:\\Web\\\\\\", "C:\\Web\\"},
        {"windows empty", PathStyle::Windows, "", "\\"},
        {"posix root", PathStyle::Posix, "/", "/"},
        {"posix many", PathStyle::Posix, "/home/u//", "/home/u/"},
        {"posix keeps backslash", PathStyle::Posix, "/a\\", "/a\\/"},
    };
    for (const Row &row : rows)
        EXPECT_EQ(platform::WithTrailingBackslash(QString::fromUtf8(row.in), row.style),
                  QString::fromUtf8(row.out))
            << row.name;
}

TEST(PathRules, FileAndFolderParts)
{
    EXPECT_EQ(platform::fileNamePart(QStringLiteral("C:\\a\\b.htm"), PathStyle::Windows),
              QStringLiteral("b.htm"));
    EXPECT_EQ(platform::fileNamePart(QStringLiteral("C:b.htm"), PathStyle::Windows),
              QStringLiteral("b.htm"));
    EXPECT_EQ(platform::folderPart(QStringLiteral("C:\\a\\b.htm"), PathStyle::Windows),
              QStringLiteral("C:\\a\\"));
    EXPECT_EQ(platform::fileNamePart(QStringLiteral("/a/b:c.htm"), PathStyle::Posix),
              QStringLiteral("b:c.htm"));
    EXPECT_EQ(platform::folderPart(QStringLiteral("b.htm"), PathStyle::Posix), QString());
}
