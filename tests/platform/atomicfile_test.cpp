#include "platform/atomicfile.h"

#include "support/tempdir.h"
#include "support/testfiles.h"
#include "support/writefault.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct stat statOf(const QString &path)
{
    struct stat info {
    };
    EXPECT_EQ(::stat(QFile::encodeName(path).constData(), &info), 0) << path.toStdString();
    return info;
}

class AtomicFile : public testing::Test
{
protected:
    QString path(const char *name) const { return dir.filePath(QString::fromUtf8(name)); }

    TemporaryDir dir;
};

} // namespace

// What a replace keeps of the file it replaces: mode, links to it and the links it is named by.
TEST_F(AtomicFile, ReplacingKeepsWhatTheFileWas)
{
    struct Row {
        const char *name;
        const char *written; // the name the writer is given
        const char *other; // another name of the same file, or nullptr
        bool hardLink; // `other` is a hard link (else `written` is a symbolic link to it)
    };
    const Row rows[] = {
        { "a plain file", "plain.html", nullptr, false },
        { "a hard-linked file keeps its links", "a.html", "b.html", true },
        { "a link writes the file it names", "link.html", "target.html", false },
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        const QString written = path(row.written);
        const QString file = row.other && !row.hardLink ? path(row.other) : written;
        ASSERT_TRUE(putFile(file, "old text"));
        ASSERT_EQ(::chmod(QFile::encodeName(file).constData(), 0640), 0);
        if (row.other && row.hardLink) {
            ASSERT_EQ(::link(QFile::encodeName(written).constData(),
                          QFile::encodeName(path(row.other)).constData()),
                0);
        }
        if (row.other && !row.hardLink) {
            ASSERT_TRUE(QFile::link(file, written));
        }
        const struct stat before = statOf(file);

        QString error;
        ASSERT_TRUE(platform::writeFileAtomically(written, "the new text", &error))
            << error.toStdString();
        const struct stat after = statOf(file);
        EXPECT_EQ(fileBytes(file), QByteArray("the new text"));
        EXPECT_EQ(after.st_mode & 07777, 0640u);
        if (row.other) {
            EXPECT_EQ(fileBytes(path(row.other)), QByteArray("the new text"));
            EXPECT_EQ(fileBytes(written), QByteArray("the new text"));
        }
        if (row.other && row.hardLink) {
            EXPECT_EQ(after.st_ino, before.st_ino) << "written through the file itself";
            EXPECT_EQ(after.st_nlink, 2u);
        }
        if (row.other && !row.hardLink) {
            EXPECT_TRUE(QFileInfo(written).isSymLink());
        }
        QStringList names { QString::fromUtf8(row.written) };
        if (row.other)
            names.append(QString::fromUtf8(row.other));
        EXPECT_EQ(strayFiles(dir.path(), names), QStringList {});
        removeTree(written);
        if (row.other)
            removeTree(path(row.other));
    }
}

// A new file gets the mode the user's umask gives; shorter text over longer leaves no tail.
TEST_F(AtomicFile, NewFilesAndShorterText)
{
    const mode_t mask = ::umask(022);
    const QString file = path("new.html");
    EXPECT_TRUE(platform::writeFileAtomically(file, "x"));
    EXPECT_EQ(statOf(file).st_mode & 07777, 0644u);
    ::umask(mask);

    const QString linked = path("linked.html");
    ASSERT_TRUE(putFile(linked, "a long old text"));
    ASSERT_EQ(::link(QFile::encodeName(linked).constData(),
                  QFile::encodeName(path("second.html")).constData()),
        0);
    EXPECT_TRUE(platform::writeFileAtomically(linked, "short"));
    EXPECT_EQ(fileBytes(path("second.html")), QByteArray("short"));
}

TEST_F(AtomicFile, FoldersAndMissingFoldersAreRefusedWithTheReason)
{
    ASSERT_TRUE(QDir().mkpath(path("folder")));
    QString error;
    EXPECT_FALSE(platform::writeFileAtomically(path("folder"), "x", &error));
    EXPECT_EQ(error, QStringLiteral("Is a directory"));
    EXPECT_FALSE(platform::writeFileAtomically(path("missing/x.html"), "x", &error));
    EXPECT_EQ(error, QStringLiteral("No such file or directory"));
}

// The leftover of a killed writer is told by its name alone: NAME + "." + six letters or
// digits.
TEST(AtomicWriterLeftovers, NamePattern)
{
    struct Row {
        const char *name;
        const char *target;
    };
    const Row rows[] = {
        { "p1.html.jpg.DgUHRj", "p1.html.jpg" },
        { "prg.ini.aVHpsM", "prg.ini" },
        { "site.lst.a1B2c3", "site.lst" },
        { "p1.html.jpg", "" },
        { "p1.html.jpg.DgUHR", "" },
        { "p1.html.jpg.DgUHRjx", "" },
        { "p1.html.jpg.DgU-Rj", "" },
        { "p1.html.jpg.DgU\u00e9Rj", "" },
        { ".DgUHRj", "" },
        { "DgUHRj", "" },
    };
    for (const Row &row : rows)
        EXPECT_EQ(platform::atomicWriterTarget(QString::fromUtf8(row.name)),
            QString::fromUtf8(row.target))
            << row.name;
}

// Only stale leftovers of the kinds asked for go; a writer at work, a user's file and a link
// stay.
TEST_F(AtomicFile, StaleLeftoversAreRemoved)
{
    struct Row {
        const char *name;
        int ageSeconds;
        bool removed;
    };
    const Row rows[] = {
        { "index.htm.jpg.DgUHRj", 3600, true },
        { "sub/deeper/a.htm.jpg.Q1w2E3", 3600, true },
        { "fresh.htm.jpg.aVHpsM", 60, false },
        { "index.htm.jpg", 3600, false },
        { "notes.txt.backup", 3600, false }, // not a kind the writer made here
        { "index.htm.jpg.bak", 3600, false },
    };
    for (const Row &row : rows) {
        ASSERT_TRUE(putFile(path(row.name), "x"));
        ASSERT_TRUE(ageFile(path(row.name), row.ageSeconds));
    }
    TemporaryDir elsewhere;
    const QString precious = elsewhere.filePath(QStringLiteral("precious.jpg.AbCdEf"));
    ASSERT_TRUE(putFile(precious, "x"));
    ASSERT_TRUE(ageFile(precious, 3600));
    ASSERT_TRUE(QFile::link(precious, path("link.jpg.AbCdEf")));
    ASSERT_TRUE(QFile::link(elsewhere.path(), path("linked-folder")));
    const auto isThumbnail = [](QStringView target) { return target.endsWith(u".jpg"); };

    const platform::LeftoverSweep flat
        = platform::removeAtomicWriterLeftovers(path("sub"), isThumbnail, false);
    EXPECT_EQ(flat.removed, 0) << "not below the folder without recursion";
    const platform::LeftoverSweep sweep
        = platform::removeAtomicWriterLeftovers(dir.path(), isThumbnail, true);
    EXPECT_EQ(sweep.removed, 2);
    EXPECT_TRUE(sweep.failed.isEmpty());
    for (const Row &row : rows)
        EXPECT_EQ(QFileInfo::exists(path(row.name)), !row.removed) << row.name;
    EXPECT_TRUE(QFileInfo(path("link.jpg.AbCdEf")).isSymLink());
    EXPECT_TRUE(QFileInfo::exists(precious)) << "links are never followed out";
}
