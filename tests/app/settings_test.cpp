#include "frame/settings.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using app::Settings;
using platform::IniFile;

namespace {

const QString kProgram = QStringLiteral("/opt/fs/");
const QSize kScreen(1000, 700);

Settings read(const char *text)
{
    IniFile ini;
    ini.setText(QString::fromUtf8(text));
    return app::readSettings(ini, kProgram, kScreen);
}

} // namespace

TEST(Settings, DefaultsWithoutAFile)
{
    const Settings s = read("");
    EXPECT_EQ(s.ALLOWED_EXTENSIONS, app::builtInFilterText());
    EXPECT_TRUE(s.ALLOWED_EXTENSIONS.startsWith(QStringLiteral("All HTML file types + Pictures|")));
    EXPECT_EQ(s.VIEW_PATH, kProgram);
    EXPECT_EQ(s.SNAPSHOTPATH, QStringLiteral("/opt/fs/SNAPSHOTS/"));
    EXPECT_EQ(s.COPYPATH, kProgram);
    EXPECT_EQ(s.mainBounds, QRect(50, 50, 800, 560));
    EXPECT_EQ(s.CACHE_MAX, 200);
    EXPECT_EQ(s.THUMB_BASEIDX, 3);
    EXPECT_EQ(s.ExternalApps[0].Location, QStringLiteral("(none)"));
    EXPECT_EQ(s.ExternalApps[5].Descript, QStringLiteral("External Application 6"));
    EXPECT_FALSE(s.ExternalApps[0].Exists);
}

TEST(Settings, ReadingRules)
{
    const Settings s = read("[OPTIONS]\r\nBackupExt=.backup1\r\nALLOWED_EXTENSIONS= \t \r\n"
                            "DoShowHints=yes\r\nDoOpenOnSingleClick=2\r\nDoRecycleBin=0\r\n"
                            "[colors]\r\nTextCol=0xFF\r\nTagCol=junk\r\n[THUMBS]\r\nScale=0x\r\n");
    EXPECT_EQ(s.BackupExt, QStringLiteral(".back"));
    EXPECT_EQ(s.ALLOWED_EXTENSIONS, app::builtInFilterText());
    EXPECT_TRUE(s.DoShowHints);
    EXPECT_TRUE(s.DoOpenOnSingleClick);
    EXPECT_FALSE(s.DoRecycleBin);
    EXPECT_EQ(s.TextCol, 255);
    EXPECT_EQ(s.TagCol, 16711680);
    EXPECT_EQ(s.Scale, 100);
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
    const Settings s = app::readSettings(ini, kProgram, kScreen);
    EXPECT_TRUE(s.ExternalApps[1].Exists);
    EXPECT_FALSE(s.ExternalApps[2].Exists);
    EXPECT_FALSE(s.ExternalApps[3].Exists);
}

TEST(Settings, WriteResetsColoursKeepsHandAddedKeysAndOrdersNewFile)
{
    IniFile ini;
    ini.setText(QStringLiteral("[COLORS]\r\nMine=kept\r\n[Custom]\r\nx=1\r\n"));
    Settings s = read("[OPTIONS]\r\nBackupExt=.backup1\r\n");
    s.TextCol = 123;
    s.CommentCol = 5;
    s.DoRecycleBin = false;
    app::writeSettings(ini, s);
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
    s.LastSearch = QStringLiteral("<table>");
    s.THUMB_BASEIDX = 6;
    s.CropHori = true;
    s.ExternalApps[2].Param = QStringLiteral("-n");
    IniFile ini;
    app::writeSettings(ini, s);
    const Settings back = app::readSettings(ini, kProgram, kScreen);
    EXPECT_EQ(back.LastSearch, s.LastSearch);
    EXPECT_EQ(back.THUMB_BASEIDX, 6);
    EXPECT_TRUE(back.CropHori);
    EXPECT_EQ(back.ExternalApps[2].Param, QStringLiteral("-n"));
    EXPECT_EQ(back.mainBounds, s.mainBounds);
}
