#include "scan/folderscan.h"
#include "scan/listfile.h"
#include "scan/listrecord.h"
#include "listcommands.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QString u8(const char *text)
{
    return QString::fromUtf8(text);
}

struct Outcome {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

// Runs "search" (with the program folder `program`) or "verify" in this process.
Outcome run(const QString &command, const QStringList &args, const QString &program = {})
{
    QBuffer out;
    QBuffer err;
    out.open(QIODevice::WriteOnly);
    err.open(QIODevice::WriteOnly);
    Outcome result;
    result.exitCode = command == u"search" ? batch::runSearchCommand(args, out, err, program)
                                           : batch::runVerifyCommand(args, out, err);
    result.out = out.data();
    result.err = err.data();
    return result;
}

void makeFile(const QString &path, const QByteArray &bytes = "x")
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

} // namespace

TEST(BatchLists, UsageErrorsAreOneLineAndExitTwo)
{
    QTemporaryDir dir;
    struct Row {
        const char *command;
        QStringList args;
        const char *problem;
    };
    const Row rows[] = {
        { "search", {}, "no FOLDER given" },
        { "search", { dir.filePath(u8("missing")) }, "no such folder" },
        { "search", { dir.path(), dir.path() }, "only one FOLDER may be given" },
        { "search", { u8("--mask") }, "--mask needs a value" },
        { "search", { u8("--frobnicate"), dir.path() }, "unknown option --frobnicate" },
        { "verify", {}, "no LIST given" },
        { "verify", { u8("--recursive"), u8("a.lst") }, "unknown option --recursive" },
        { "verify", { dir.filePath(u8("missing.lst")) }, "missing.lst" },
        { "verify", { dir.path() }, "is not a file" },
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.problem);
        const Outcome result = run(u8(row.command), row.args, dir.path());
        EXPECT_EQ(result.exitCode, 2);
        EXPECT_TRUE(result.out.isEmpty());
        EXPECT_EQ(result.err.count('\n'), 1);
        EXPECT_TRUE(result.err.contains(row.problem)) << result.err.toStdString();
    }
    for (const char *command : { "search", "verify" }) {
        const Outcome help = run(u8(command), { u8("--help") });
        EXPECT_EQ(help.exitCode, 0);
        EXPECT_TRUE(help.out.startsWith("Usage: folioscope-batch ")) << command;
    }
    EXPECT_TRUE(run(u8("search"), { u8("--help") }).out.contains("(default: *.htm;*.jpg;"));
}

TEST(BatchLists, SearchWritesTheRecordsOfTheScan)
{
    QTemporaryDir program;
    QTemporaryDir site;
    for (const char *name : { "index.htm", "b.html", "pic.jpg", "notes.txt", "sub/c.htm",
             "_vti_cnf/d.htm", ".hidden.htm" })
        makeFile(site.filePath(u8(name)));
    const QString root = QDir::toNativeSeparators(site.path());

    struct Row {
        const char *name;
        QStringList args;
        const char *mask; // as the scan is given it
        bool recursive;
    };
    const Row rows[] = {
        { "defaults: this folder, the first filter's mask", {},
            "*.htm;*.jpg;*.gif;*.asp;*.sht;*.dht;*.cfm;*.jht", false },
        { "recursive with a mask", { u8("--recursive"), u8("--mask"), u8("*.htm") }, "*.htm",
            true },
        { "mask given inline", { u8("--mask=*.txt") }, "*.txt", false },
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        const Outcome result
            = run(u8("search"), row.args + QStringList { site.path() }, program.path());
        EXPECT_EQ(result.exitCode, 0);
        EXPECT_TRUE(result.err.isEmpty());
        // The same records in the same order as the scan finds them, each line ended by CR LF.
        scan::ScanOptions options;
        options.mask = u8(row.mask);
        QStringList expected;
        scan::appendFolderRecords(expected, root, row.recursive, options);
        EXPECT_FALSE(expected.isEmpty());
        EXPECT_EQ(result.out, scan::listFileBytes(expected));
    }
    const Outcome recursive
        = run(u8("search"), { u8("--recursive"), u8("--mask=*.htm"), site.path() });
    EXPECT_EQ(recursive.out.count("\r\n"), 3);
    EXPECT_TRUE(recursive.out.contains(
        QByteArray(QDir::toNativeSeparators(site.filePath(u8("sub/"))).toUtf8() + "*c*.htm*1*")));
}

TEST(BatchLists, VerifyWritesTheCheckedListAndTheChanges)
{
    QTemporaryDir dir;
    const QString folder = QDir::toNativeSeparators(dir.path()) + QDir::separator();
    makeFile(dir.filePath(u8("same.htm")));
    makeFile(dir.filePath(u8("grown.htm")), "123456");
    const QString same = scan::MakeListRecord(folder, QFileInfo(dir.filePath(u8("same.htm"))));
    const QString grownNow = scan::MakeListRecord(folder, QFileInfo(dir.filePath(u8("grown.htm"))));
    QString grownBefore = grownNow;
    grownBefore.replace(u8("*6*"), u8("*1*"));
    QString error;
    const QString list = dir.filePath(u8("site.lst"));
    ASSERT_TRUE(scan::writeListFile(
        list, { same, u8("/nowhere/*gone*.htm*1*d"), grownBefore, u8("garbage") }, &error));

    const Outcome result = run(u8("verify"), { list });
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out, scan::listFileBytes({ same, grownNow }));
    EXPECT_EQ(QString::fromUtf8(result.err),
        u8("Not Found:  /nowhere/gone.htm\nUpdated:  ") + folder
            + u8("grown.htm\nNot Found:  garbage\n"));
}

// Searching the program folder: the thumbnail folder's own files, none of its sub-folders'.
TEST(BatchLists, SearchKeepsOutOfTheThumbnails)
{
    QTemporaryDir program;
    for (const char *name : { "page.htm", "THUMBS/stray.htm", "THUMBS/=site/a.htm" })
        makeFile(program.filePath(u8(name)));
    const Outcome result = run(
        u8("search"), { u8("--recursive"), u8("--mask=*.htm"), program.path() }, program.path());
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out.count("\r\n"), 2);
    EXPECT_TRUE(result.out.contains("*stray*.htm*"));
    EXPECT_FALSE(result.out.contains("*a*.htm*"));
}

// A list line cannot hold a line break: the name is left out, and said so once.
TEST(BatchLists, SearchLeavesOutNamesWithALineBreakAndSaysSo)
{
    QTemporaryDir dir;
    makeFile(dir.filePath(u8("a.htm")));
    makeFile(dir.filePath(u8("new\nline.htm")));
    makeFile(dir.filePath(u8("two\nlines.htm")));
    const Outcome result = run(u8("search"), { dir.path() }, dir.path());
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out.count("\r\n"), 1);
    EXPECT_EQ(result.out.count('\n'), 1);
    EXPECT_EQ(result.err.count('\n'), 1);
    EXPECT_TRUE(result.err.contains("2 file name(s) with a line break left out"))
        << result.err.toStdString();
}
