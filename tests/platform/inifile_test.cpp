#include "platform/inifile.h"
#include "support/testfiles.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using platform::IniFile;

namespace {

IniFile iniFrom(const char *text)
{
    IniFile ini;
    ini.setText(QString::fromUtf8(text));
    return ini;
}

} // namespace

TEST(IniFile, ReadsWithoutCaseAndTrimsValues)
{
    const IniFile ini = iniFrom("[Options]\r\n  Name =  some value \t\r\n[other]\r\nName=x\r\n");
    EXPECT_EQ(ini.readString(u"OPTIONS", u"name", QString()), QStringLiteral("some value"));
    EXPECT_EQ(ini.readString(u"OTHER", u"NAME", QString()), QStringLiteral("x"));
    EXPECT_EQ(ini.readString(u"missing", u"name", QStringLiteral("d")), QStringLiteral("d"));
    EXPECT_EQ(ini.readString(u"options", u"missing", QStringLiteral("d")), QStringLiteral("d"));
}

TEST(IniFile, FirstOfRepeatedSectionsAndKeysWins)
{
    const IniFile ini = iniFrom("[a]\nk=1\nk=2\n[b]\nk=3\n[A]\nk=4\nj=5\n");
    EXPECT_EQ(ini.readInteger(u"a", u"k", 0), 1);
    // A key only in the repeated section is not seen, as with the Windows functions.
    EXPECT_EQ(ini.readInteger(u"a", u"j", 0), 0);
}

TEST(IniFile, LongValuesAreCutTo2047Characters)
{
    const QString longValue(5000, QLatin1Char('v'));
    IniFile ini;
    ini.setText(QStringLiteral("[s]\nk=") + longValue + QStringLiteral("\n"));
    EXPECT_EQ(ini.readString(u"s", u"k", QString()).size(), 2047);
}

TEST(IniFile, IntegerRule)
{
    struct Row {
        const char *value;
        int expected;
    };
    const Row rows[] = {
        { "12", 12 },
        { "-7", -7 },
        { "0xFF", 255 },
        { "0XfF", 255 },
        { "0x", 99 },
        { "yes", 99 },
        { "", 99 },
        { "1.5", 99 },
        { "0xZZ", 99 },
        { "0x00FF0000", 16711680 },
        { "0012", 12 },
        { "99999999999", 99 },
    };
    for (const Row &row : rows)
        EXPECT_EQ(platform::parseIniInteger(QString::fromUtf8(row.value), 99), row.expected)
            << row.value;
}

TEST(IniFile, FlagsReadAsNonZeroIntegers)
{
    const IniFile ini = iniFrom("[o]\na=yes\nb=2\nc=0\nd=1\n");
    EXPECT_TRUE(ini.readBool(u"o", u"a", true));
    EXPECT_FALSE(ini.readBool(u"o", u"a", false));
    EXPECT_TRUE(ini.readBool(u"o", u"b", false));
    EXPECT_FALSE(ini.readBool(u"o", u"c", true));
    EXPECT_TRUE(ini.readBool(u"o", u"d", false));
}

TEST(IniFile, WritesKeepUnknownLinesAndOrder)
{
    IniFile ini = iniFrom("; my notes\n[b]\nhand=made\n  junk line\nk=old\n\n[c]\nz=1\n");
    ini.writeString(u"B", u"K", QStringLiteral("new"));
    ini.writeString(u"b", u"added", QStringLiteral("1"));
    ini.writeString(u"d", u"first", QStringLiteral("x"));
    EXPECT_EQ(ini.text(),
        QStringLiteral("; my notes\n[b]\nhand=made\n  junk line\nK=new\nadded=1\n"
                       "\n[c]\nz=1\n[d]\nfirst=x\n"));
}

TEST(IniFile, LineBreaksInValuesCannotSplitTheFile)
{
    IniFile ini;
    ini.writeString(u"s", u"k", QStringLiteral("a\r\n[evil]\nb"));
    EXPECT_EQ(ini.sectionNames(), QStringList { QStringLiteral("s") });
}

TEST(IniFile, SectionAndKeyNames)
{
    const IniFile ini = iniFrom("[ One ]\nx = 1\nnot a key\n=empty\n[Two]\n");
    EXPECT_EQ(ini.sectionNames(), (QStringList { QStringLiteral("One"), QStringLiteral("Two") }));
    EXPECT_EQ(ini.keyNames(u"one"), QStringList { QStringLiteral("x") });
}

TEST(IniFile, SaveRoundTripKeepsBytesEncodingAndLineEnds)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("a.ini"));
    struct Row {
        const char *name;
        QByteArray bytes;
    };
    const Row rows[] = {
        { "crlf utf-8", QByteArray("[s]\r\nk=gr\xC3\xBC\xC3\x9F\r\n") },
        { "lf only", QByteArray("[s]\nk=v\n") },
        { "latin-1", QByteArray("[s]\r\nk=\xFC\xE9\r\n") },
    };
    for (const Row &row : rows) {
        writeFile(path, row.bytes);
        IniFile ini;
        ASSERT_TRUE(ini.load(path)) << row.name;
        ASSERT_TRUE(ini.save()) << row.name;
        EXPECT_EQ(fileBytes(path), row.bytes) << row.name;
    }
}

TEST(IniFile, BadFilesLoadWithoutTrouble)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bad.ini"));
    QByteArray garbage;
    for (int i = 0; i < 100000; ++i)
        garbage.append(char((i * 7919) % 256));
    writeFile(path, garbage);
    IniFile ini;
    EXPECT_TRUE(ini.load(path));
    EXPECT_EQ(ini.readInteger(u"OPTIONS", u"CACHE_MAX", 200), 200);

    // A megabyte value and a repeated section.
    writeFile(path, "[OPTIONS]\nBig=" + QByteArray(1 << 20, 'x') + "\n[OPTIONS]\nCACHE_MAX=5\n");
    EXPECT_TRUE(ini.load(path));
    EXPECT_EQ(ini.readString(u"OPTIONS", u"Big", QString()).size(), 2047);
    EXPECT_EQ(ini.readInteger(u"OPTIONS", u"CACHE_MAX", 200), 200);

    QByteArray many = "[OPTIONS]\n";
    for (int i = 0; i < 100000; ++i)
        many += "key" + QByteArray::number(i) + "=v\n";
    many += "last=no line break";
    writeFile(path, many);
    EXPECT_TRUE(ini.load(path));
    EXPECT_EQ(ini.readString(u"OPTIONS", u"last", QString()), QStringLiteral("no line break"));
    EXPECT_EQ(ini.readString(u"OPTIONS", u"key99999", QString()), QStringLiteral("v"));
}

TEST(IniFile, MissingFileLoadsEmptyAndFailedSaveKeepsTheOldFile)
{
    QTemporaryDir dir;
    IniFile ini;
    EXPECT_FALSE(ini.load(dir.filePath(QStringLiteral("none.ini"))));
    EXPECT_TRUE(ini.sectionNames().isEmpty());

    const QString path = dir.filePath(QStringLiteral("ro/prg.ini"));
    ASSERT_TRUE(QDir().mkpath(dir.filePath(QStringLiteral("ro"))));
    writeFile(path, "[s]\r\nk=old\r\n");
    ASSERT_TRUE(ini.load(path));
    ini.writeString(u"s", u"k", QStringLiteral("new"));
    // A folder standing where the file should be cannot be replaced, even by root.
    IniFile blocked;
    blocked.setPath(dir.path());
    blocked.writeString(u"s", u"k", QStringLiteral("v"));
    QString blockedError;
    EXPECT_FALSE(blocked.save(&blockedError));
    EXPECT_TRUE(blockedError.contains(dir.path()));

    QFile::setPermissions(dir.filePath(QStringLiteral("ro")), QFile::ReadOwner | QFile::ExeOwner);
    // Root writes into a read-only folder all the same; then there is nothing to check here.
    if (!QFileInfo(dir.filePath(QStringLiteral("ro"))).isWritable()) {
        QString error;
        EXPECT_FALSE(ini.save(&error));
        EXPECT_TRUE(error.contains(path));
        EXPECT_EQ(fileBytes(path), QByteArray("[s]\r\nk=old\r\n"));
    }
}

// Files written by other editors and by older versions: read right, saved without a loss,
// and stable when saved again.
TEST(IniFile, ByteOrderMarksForeignLineEndsAndCharactersBeyondLatin1)
{
    struct Row {
        const char *name;
        QByteArray bytes;
        QString value; // OPTIONS/Path after loading, then after the write and reload
        QByteArray saved; // the file after writing OPTIONS/Path = value
    };
    const QString euro = QStringLiteral("/home/u/\u20ac \u0141 \u65e5");
    const Row rows[] = {
        { "byte-order mark", "\xEF\xBB\xBF[OPTIONS]\r\nPath=/x\r\n", QStringLiteral("/x"),
            "\xEF\xBB\xBF[OPTIONS]\r\nPath=/x\r\n" },
        { "CR CR LF", "[OPTIONS]\r\r\nPath=/x\r\r\n", QStringLiteral("/x"),
            "[OPTIONS]\r\nPath=/x\r\n" },
        { "Latin-1 file, value beyond Latin-1", "[OPTIONS]\r\nOld=caf\xE9\r\nPath=/x\r\n", euro,
            "[OPTIONS]\r\nOld=caf\xC3\xA9\r\nPath=" + euro.toUtf8() + "\r\n" },
        { "Latin-1 file, Latin-1 value", "[OPTIONS]\r\nOld=caf\xE9\r\nPath=/x\r\n",
            QStringLiteral("/d\u00e9j\u00e0"), "[OPTIONS]\r\nOld=caf\xE9\r\nPath=/d\xE9j\xE0\r\n" },
    };
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("prg.ini"));
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        writeFile(path, row.bytes);
        IniFile ini;
        ASSERT_TRUE(ini.load(path));
        EXPECT_EQ(ini.sectionNames(), QStringList { QStringLiteral("OPTIONS") });
        EXPECT_EQ(ini.readString(u"OPTIONS", u"Path", QString()), QStringLiteral("/x"));
        ini.writeString(u"OPTIONS", u"Path", row.value);
        ASSERT_TRUE(ini.save());
        EXPECT_EQ(fileBytes(path), row.saved);
        IniFile again;
        ASSERT_TRUE(again.load(path));
        EXPECT_EQ(again.readString(u"OPTIONS", u"Path", QString()), row.value);
        ASSERT_TRUE(again.save());
        EXPECT_EQ(fileBytes(path), row.saved) << "saving again changes the file";
    }
}
