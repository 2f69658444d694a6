#include "engine/localfiles.h"

#include <gtest/gtest.h>

namespace {

TEST(LocalFilesTest, UrlsKeepThePathAndComeBackToIt)
{
    const QString paths[] = { QStringLiteral("/site/index.htm"),
        QStringLiteral("/site/my page #1 100%.sht"), QStringLiteral("/site/caf\u00e9/a?b.asp") };
    for (const QString &path : paths) {
        const QUrl url = engine::localFileUrl(path);
        EXPECT_EQ(url.scheme(), engine::localScheme());
        EXPECT_EQ(engine::localFileOfUrl(url), path) << url.toString().toStdString();
    }
    // Links resolve as between files.
    const QUrl base = engine::localFileUrl(QStringLiteral("/site/sub/a.sht"));
    EXPECT_EQ(engine::localFileOfUrl(base.resolved(QUrl(QStringLiteral("../pics/x.jpg#top")))),
        QStringLiteral("/site/pics/x.jpg"));
    EXPECT_EQ(engine::localFileOfUrl(QUrl(QStringLiteral("file:///site/b.htm?x=1"))),
        QStringLiteral("/site/b.htm"));
    EXPECT_EQ(engine::localFileOfUrl(QUrl(QStringLiteral("http://local/site/b.htm"))), QString());
    EXPECT_EQ(engine::localFileOfUrl(QUrl(QStringLiteral("about:blank"))), QString());
}

TEST(LocalFilesTest, ContentTypeByKind)
{
    struct Row {
        const char *name;
        QByteArray head;
        const char *type;
    };
    const QByteArray ascii = "<p>plain</p>";
    const QByteArray utf8 = "<p>caf\xc3\xa9</p>";
    const Row rows[] = {
        { "a.htm", ascii, "text/html" },
        { "a.HTML", ascii, "text/html" },
        { "a.asp", ascii, "text/html" },
        { "a.aspx", ascii, "text/html" },
        { "a.sht", ascii, "text/html" },
        { "a.shtml", ascii, "text/html" },
        { "a.dht", ascii, "text/html" },
        { "a.cfm", ascii, "text/html" },
        { "a.jht", ascii, "text/html" },
        { "a.php", ascii, "text/plain" }, // not in the filter list: shown as text
        { "a.txt", ascii, "text/plain" },
        { "a.jpg", "\xff\xd8\xff", "image/jpeg" },
        { "a.JPG", "\xff\xd8\xff", "image/jpeg" },
        { "a.gif", "GIF89a", "image/gif" },
        { "a.png", "", "image/png" },
        { "a.svg", "<svg/>", "image/svg+xml" },
        { "a.css", utf8, "text/css" },
        { "a.js", ascii, "application/javascript" },
        { "noextension", "<html><body>x", "text/html" }, // the content decides
        { "readme", ascii, "text/plain" },
        { "a.sht", utf8, "text/html;charset=utf-8" },
        { "a.txt", utf8, "text/plain;charset=utf-8" },
        { "a.sht", "<p>caf\xe9</p>", "text/html" }, // 8-bit: the engine's default
        { "a.sht", "<meta charset=iso-8859-1><p>caf\xc3\xa9</p>", "text/html" },
        { "a.sht", "\xef\xbb\xbf<p>caf\xc3\xa9</p>", "text/html" },
    };
    for (const Row &row : rows) {
        EXPECT_EQ(
            engine::contentTypeFor(QString::fromLatin1(row.name), row.head), QByteArray(row.type))
            << row.name << " " << row.head.toStdString();
    }
}

TEST(LocalFilesTest, UserPageKindsAddToTheBuiltInOnesButNeverTakePictures)
{
    engine::setExtraPageTest([](const QString &name) {
        return name.endsWith(QLatin1String(".php")) || name.endsWith(QLatin1String(".jpg"));
    });
    EXPECT_TRUE(engine::isPageFile(QStringLiteral("/site/a.php")));
    EXPECT_TRUE(engine::isPageFile(QStringLiteral("/site/a.cfm")));
    EXPECT_FALSE(engine::isPageFile(QStringLiteral("/site/a.jpg")));
    EXPECT_FALSE(engine::isPageFile(QStringLiteral("/site/a.txt")));
    engine::setExtraPageTest({});
    EXPECT_FALSE(engine::isPageFile(QStringLiteral("/site/a.php")));
}

} // namespace

namespace {

// What a page may reach: the kinds of file a site is made of, by extension in any letter case.
TEST(LocalFilesTest, SiteFilesByKind)
{
    engine::setExtraPageTest([](const QString &name) { return name.endsWith(QLatin1String(".php")); });
    const struct {
        const char *name;
        bool site;
    } rows[] = {
        { "/site/a.htm", true }, { "/site/a.ASPX", true }, { "/site/a.php", true },
        { "/site/style.css", true }, { "/site/app.js", true }, { "/site/app.mjs", true },
        { "/site/p.JPG", true }, { "/site/p.webp", true }, { "/site/icon.svg", true },
        { "/site/f.woff2", true }, { "/site/f.ttf", true }, { "/site/clip.mp4", true },
        { "/site/song.ogg", true }, { "/site/data.json", true }, { "/site/feed.xml", true },
        { "/etc/passwd", false }, { "/home/u/.ssh/id_rsa", false }, { "/site/notes.txt", false },
        { "/site/letter.pdf", false }, { "/site/key.pem", false }, { "/site/run.sh", false },
        { "/site/.htaccess", false }, { "/site/archive.zip", false }, { "/site/", false },
    };
    for (const auto &row : rows)
        EXPECT_EQ(engine::isSiteFile(QString::fromLatin1(row.name)), row.site) << row.name;
    engine::setExtraPageTest({});
    EXPECT_FALSE(engine::isSiteFile(QStringLiteral("/site/a.php")));
}

TEST(LocalFilesTest, BlockedFilesHaveAPageOfTheirOwn)
{
    const QString paths[] = { QStringLiteral("/etc/passwd"), QStringLiteral("/site/my notes #1.txt") };
    for (const QString &path : paths) {
        const QUrl url = engine::blockedFileUrl(path);
        EXPECT_EQ(engine::blockedFileOfUrl(url), path);
        EXPECT_TRUE(engine::localFileOfUrl(url).isEmpty()) << "not a local file to load";
    }
    EXPECT_TRUE(engine::blockedFileOfUrl(engine::localFileUrl(QStringLiteral("/etc/passwd"))).isEmpty());
}

} // namespace
