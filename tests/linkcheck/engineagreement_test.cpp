// Names that are not UTF-8 on disk, held to the browser engine itself: a link holds for the
// check exactly when the engine, opening the page from disk, shows its picture.
#include "sitefiles.h"

#include "support/tempdir.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QMap>
#include <QTest>
#include <QWebEnginePage>

#include <gtest/gtest.h>

#include <cstdio>

#include <sys/stat.h>

namespace {

// Writes `bytes` under the name `name` (bytes, not necessarily UTF-8) below `folder`.
void writeRaw(const QString &folder, const QByteArray &name, const QByteArray &bytes)
{
    const QByteArray path = QFile::encodeName(folder) + '/' + name;
    const qsizetype slash = path.lastIndexOf('/');
    ::mkdir(path.left(slash).constData(), 0755);
    FILE *file = std::fopen(path.constData(), "wb");
    ASSERT_TRUE(file) << path.toStdString();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), file);
    std::fclose(file);
}

QByteArray smallPng()
{
    QImage image(4, 4, QImage::Format_RGB32);
    image.fill(Qt::red);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return png;
}

// Each picture's src as written, and whether the engine showed it.
QMap<QString, bool> shownByEngine(const QString &page)
{
    QWebEnginePage view;
    bool loaded = false;
    QObject::connect(&view, &QWebEnginePage::loadFinished, [&] { loaded = true; });
    view.load(QUrl::fromLocalFile(page));
    EXPECT_TRUE(QTest::qWaitFor([&] { return loaded; }, 20000));
    QVariant result;
    bool answered = false;
    view.runJavaScript(
        QStringLiteral("Array.from(document.images).map("
                       "i => [i.getAttribute('src'), i.complete && i.naturalWidth > 0])"),
        [&](const QVariant &value) {
            result = value;
            answered = true;
        });
    EXPECT_TRUE(QTest::qWaitFor([&] { return answered; }, 20000));
    QMap<QString, bool> shown;
    for (const QVariant &pair : result.toList())
        shown.insert(pair.toList().value(0).toString(), pair.toList().value(1).toBool());
    return shown;
}

QMap<QString, bool> heldByCheck(
    const QString &site, const QString &page, const QMap<QString, bool> &links)
{
    linkcheck::SiteCheck check({});
    check.check({ site });
    QMap<QString, bool> held;
    for (auto it = links.cbegin(); it != links.cend(); ++it)
        held.insert(it.key(), true);
    for (const linkcheck::BrokenLink &link : check.report())
        if (link.page == page)
            held.insert(link.link, false);
    return held;
}

} // namespace

TEST(EngineAgreement, NamesAreFoundByTheirBytesAsTheEngineFindsThem)
{
    TemporaryDir dir;
    const QString site = dir.filePath(QStringLiteral("site"));
    QDir().mkpath(site);
    const QByteArray png = smallPng();
    writeRaw(site, "r\xE9p/pic.png", png); // a folder named in Latin-1
    writeRaw(site, "s\xC3\xA9p/pic.png", png); // and in UTF-8
    writeRaw(site, "caf\xE9.png", png);
    writeRaw(site, "t\xC3\xA9.png", png);
    const QByteArray pictures[] = { "r%E9p/pic.png", "r%C3%A9p/pic.png", "r\xC3\xA9p/pic.png",
        "R%C9p/pic.png", "s%E9p/pic.png", "s%C3%A9p/pic.png", "s\xC3\xA9p/pic.png", "caf%E9.png",
        "caf\xC3\xA9.png", "t%E9.png", "t%C3%A9.png", "t\xC3\xA9.png", "%72%E9p/pic.png" };
    QByteArray utf8Page = "<!DOCTYPE html><meta charset=utf-8>\n";
    for (const QByteArray &src : pictures)
        utf8Page += "<img src=\"" + src + "\">\n";
    writeFile(site + QStringLiteral("/index.html"), utf8Page);
    // A page in an 8-bit encoding: typed letters go out as UTF-8 all the same.
    writeFile(site + QStringLiteral("/latin.html"),
        "<!DOCTYPE html>\n<img src=\"r\xE9p/pic.png\">\n<img src=\"s\xE9p/pic.png\">\n");

    for (const QString &name : { QStringLiteral("index.html"), QStringLiteral("latin.html") }) {
        SCOPED_TRACE(name.toStdString());
        const QString page = site + QLatin1Char('/') + name;
        const QMap<QString, bool> shown = shownByEngine(page);
        ASSERT_FALSE(shown.isEmpty());
        EXPECT_EQ(heldByCheck(site, page, shown), shown);
        // Neither side may pass by finding all or nothing.
        EXPECT_TRUE(shown.values().contains(true));
        EXPECT_TRUE(shown.values().contains(false));
    }
}
