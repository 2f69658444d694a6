#include "imaging/looksstore.h"
#include "support/tempdir.h"
#include "support/testfiles.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

TEST(LooksStoreTest, BaselinesAreNamedByFolderTagAndWidthAndReadBackWhole)
{
    EXPECT_EQ(imaging::looksFileFor(QStringLiteral("/p/LOOKS/"), QStringLiteral("/srv/a=b/page.htm"), 1280),
        QStringLiteral("/p/LOOKS/=srv=a%3Db/page.htm.1280.png"));
    EXPECT_EQ(imaging::looksFileFor(QStringLiteral("/p/LOOKS"), QStringLiteral("/s/x.html"), 390),
        QStringLiteral("/p/LOOKS/=s/x.html.390.png"));

    TemporaryDir dir;
    const QString file = imaging::looksFileFor(dir.path() + QStringLiteral("/LOOKS/"), QStringLiteral("/site/a.htm"), 390);
    QImage picture(390, 700, QImage::Format_RGB32);
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            picture.setPixel(x, y, qRgb(x % 256, y % 256, (x * y) % 256));
    QString error;
    ASSERT_TRUE(imaging::storeLooks(file, picture, &error)) << error.toStdString();
    QImage read;
    EXPECT_EQ(imaging::loadLooks(file, &read), imaging::LooksState::Read);
    EXPECT_EQ(read.convertToFormat(QImage::Format_RGB32), picture) << "lossless";

    EXPECT_EQ(imaging::loadLooks(file + QStringLiteral(".gone"), &read), imaging::LooksState::Missing);
    writeFile(file, QByteArray("\x89PNG\r\n\x1a\n garbage", 17));
    EXPECT_EQ(imaging::loadLooks(file, &read), imaging::LooksState::Damaged);
}

TEST(LooksStoreTest, CleaningRemovesTheBaselinesOfVanishedPagesOnly)
{
    TemporaryDir dir;
    const QString looks = dir.path() + QStringLiteral("/LOOKS/");
    const QString kept = dir.path() + QStringLiteral("/site/kept.htm");
    writeFile(kept, "<p>here");
    const QString gone = dir.path() + QStringLiteral("/site/gone.htm");
    QString error;
    QImage picture(4, 4, QImage::Format_RGB32);
    picture.fill(Qt::white);
    for (const QString &page : { kept, gone })
        for (int width : { 1280, 390 })
            ASSERT_TRUE(imaging::storeLooks(imaging::looksFileFor(looks, page, width), picture, &error));

    const imaging::LooksClean orphans = imaging::cleanLooksFolder(looks, false);
    EXPECT_EQ(orphans.found, 4);
    EXPECT_EQ(orphans.removed, 2);
    EXPECT_TRUE(QFile::exists(imaging::looksFileFor(looks, kept, 1280)));
    EXPECT_FALSE(QFile::exists(imaging::looksFileFor(looks, gone, 390)));

    EXPECT_EQ(imaging::cleanLooksFolder(looks, true).removed, 2);
    EXPECT_EQ(imaging::cleanLooksFolder(dir.path() + QStringLiteral("/none/"), true).found, 0);
}
