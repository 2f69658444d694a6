#include "frame/settings.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using frame::Settings;
using platform::IniFile;

namespace {

const QString kProgram = QStringLiteral("/opt/fs/");
const QSize kScreen(1000, 700);

Settings read(const char *text)
{
    IniFile ini;
    ini.setText(QString::fromUtf8(text));
    return frame::readSettings(ini, kProgram, kScreen);
}

} // namespace

TEST(Settings, DefaultsWithoutAFile)
{
    const Settings s = read("");
    EXPECT_EQ(s.allowedExtensions, frame::builtInFilterText());
    EXPECT_TRUE(s.allowedExtensions.startsWith(QStringLiteral("All HTML file types + Pictures|")));
    EXPECT_EQ(s.viewPath, kProgram);
    EXPECT_EQ(s.snapshotPath, QStringLiteral("/opt/fs/SNAPSHOTS/"));
    EXPECT_EQ(s.copyPath, kProgram);
    EXPECT_EQ(s.mainBounds, QRect(50, 50, 800, 560));
    EXPECT_EQ(s.cacheMax, 200);
    EXPECT_TRUE(s.keepThumbsFresh); // also for an older file without the key
    EXPECT_EQ(s.thumbBaseIndex, 3);
    EXPECT_EQ(s.externalApps[0].location, QStringLiteral("(none)"));
    EXPECT_EQ(s.externalApps[5].description, QStringLiteral("External Application 6"));
    EXPECT_FALSE(s.externalApps[0].exists);
}

TEST(Settings, ReadingRules)
{
    const Settings s = read("[OPTIONS]\r\nBackupExt=.backup1\r\nALLOWED_EXTENSIONS= \t \r\n"
                            "DoShowHints=yes\r\nDoOpenOnSingleClick=2\r\nDoRecycleBin=0\r\n"
                            "[colors]\r\nTextCol=0xFF\r\nTagCol=junk\r\n[THUMBS]\r\nScale=0x\r\n");
    EXPECT_EQ(s.backupExtension, QStringLiteral(".back"));
    EXPECT_EQ(s.allowedExtensions, frame::builtInFilterText());
    EXPECT_TRUE(s.showHints);
    EXPECT_TRUE(s.openOnSingleClick);
    EXPECT_FALSE(s.useRecycleBin);
    EXPECT_EQ(s.textColor, 255);
    EXPECT_EQ(s.tagColor, 16711680);
    EXPECT_EQ(s.scale, 100);
}

TEST(Settings, ExternalApplicationExistsOnlyForAPresentFile)
{
    QTemporaryDir dir;
    const QString tool = dir.filePath(QStringLiteral("edit"));
    QFile file(tool);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    IniFile ini;
    ini.writeString(u"EDITOR2", u"Location", tool);
    ini.writeString(u"EDITOR3", u"Location", dir.filePath(QStringLiteral("absent")));
    ini.writeString(u"EDITOR4", u"Location", dir.path()); // a folder is no program
    const Settings s = frame::readSettings(ini, kProgram, kScreen);
    EXPECT_TRUE(s.externalApps[1].exists);
    EXPECT_FALSE(s.externalApps[2].exists);
    EXPECT_FALSE(s.externalApps[3].exists);
}

TEST(Settings, WriteResetsColoursKeepsHandAddedKeysAndOrdersNewFile)
{
    IniFile ini;
    ini.setText(QStringLiteral("[COLORS]\r\nMine=kept\r\n[Custom]\r\nx=1\r\n"));
    Settings s = read("[OPTIONS]\r\nBackupExt=.backup1\r\n");
    s.textColor = 123;
    s.commentColor = 5;
    s.useRecycleBin = false;
    frame::writeSettings(ini, s);
    EXPECT_EQ(ini.readInteger(u"COLORS", u"TextCol", -1), 0);
    EXPECT_EQ(ini.readInteger(u"COLORS", u"CommentCol", -1), 8421376);
    EXPECT_EQ(ini.readString(u"COLORS", u"Mine", QString()), QStringLiteral("kept"));
    EXPECT_EQ(ini.readString(u"Custom", u"x", QString()), QStringLiteral("1"));
    EXPECT_EQ(ini.readString(u"OPTIONS", u"BackupExt", QString()), QStringLiteral(".back"));
    EXPECT_EQ(ini.readString(u"OPTIONS", u"DoRecycleBin", QString()), QStringLiteral("0"));
    EXPECT_EQ(ini.sectionNames(),
              (QStringList{QStringLiteral("COLORS"), QStringLiteral("Custom"), QStringLiteral("OPTIONS"),
                           QStringLiteral("POSITION_MAIN"), QStringLiteral("THUMBS"),
                           QStringLiteral("PATHS"), QStringLiteral("EDITOR1"),
                           QStringLiteral("EDITOR2"), QStringLiteral("EDITOR3"),
                           QStringLiteral("EDITOR4"), QStringLiteral("EDITOR5"),
                           QStringLiteral("EDITOR6")}));
    const QStringList options = ini.keyNames(u"OPTIONS");
    EXPECT_EQ(options.first(), QStringLiteral("StyleName"));
    EXPECT_EQ(options.indexOf(QStringLiteral("ALLOWED_EXTENSIONS")), 7);
    EXPECT_EQ(options.last(), QStringLiteral("CACHE_MAX"));
}

TEST(Settings, RoundTripGivesTheSameValues)
{
    Settings s = read("");
    s.lastSearch = QStringLiteral("<table>");
    s.thumbBaseIndex = 6;
    s.cropHorizontal = true;
    s.keepThumbsFresh = false;
    s.externalApps[2].parameters = QStringLiteral("-n");
    IniFile ini;
    frame::writeSettings(ini, s);
    const Settings back = frame::readSettings(ini, kProgram, kScreen);
    EXPECT_EQ(back.lastSearch, s.lastSearch);
    EXPECT_EQ(back.thumbBaseIndex, 6);
    EXPECT_TRUE(back.cropHorizontal);
    EXPECT_FALSE(back.keepThumbsFresh);
    EXPECT_EQ(back.externalApps[2].parameters, QStringLiteral("-n"));
    EXPECT_EQ(back.mainBounds, s.mainBounds);
}

TEST(Settings, FollowingChangesOnDiskIsOnUnlessTurnedOff)
{
    const struct {
        const char *name;
        const char *ini;
        bool follow;
    } rows[] = {
        { "no file", "", true },
        { "an older file without the key", "[OPTIONS]\r\nDoShowHints=0\r\nCACHE_MAX=50\r\n", true },
        { "turned off", "[OPTIONS]\r\nDoFollowDiskChanges=0\r\n", false },
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        const Settings s = read(row.ini);
        EXPECT_EQ(s.followDiskChanges, row.follow);
        IniFile ini;
        frame::writeSettings(ini, s);
        EXPECT_EQ(frame::readSettings(ini, kProgram, kScreen).followDiskChanges, row.follow);
    }
}
