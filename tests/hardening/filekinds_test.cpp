// File names that are not UTF-8, and entries that are no regular file, through every file
// operation of the program and the batch tool.
#include "batchargs.h"
#include "colourrtfcommand.h"
#include "editor/editorfile.h"
#include "folderview/folderlisting.h"
#include "formatcommand.h"
#include "platform/filecopy.h"
#include "platform/filerules.h"
#include "platform/safefile.h"
#include "scan/listfile.h"
#include "scan/listrecord.h"
#include "scan/verification.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <functional>

namespace {

// The bytes of a page made on Windows, and the name the program shows for them.
const QByteArray kLatin1Name("caf\xe9.htm");
const QString kShownName = QString::fromUtf8("caf\xc3\xa9.htm");

QByteArray nativeIn(const QTemporaryDir &dir, const QByteArray &name)
{
    return QFile::encodeName(dir.path()) + '/' + name;
}

void writeNative(const QByteArray &path, const QByteArray &bytes)
{
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(fd, 0) << path.toStdString();
    ASSERT_EQ(::write(fd, bytes.constData(), size_t(bytes.size())), bytes.size());
    ::close(fd);
}

QByteArray readNative(const QByteArray &path)
{
    QByteArray bytes;
    const int fd = ::open(path.constData(), O_RDONLY);
    if (fd < 0)
        return "<missing>";
    char block[4096];
    for (ssize_t got; (got = ::read(fd, block, sizeof block)) > 0;)
        bytes.append(block, got);
    ::close(fd);
    return bytes;
}

bool existsNative(const QByteArray &path)
{
    struct stat info {
    };
    return ::lstat(path.constData(), &info) == 0;
}

struct Streams {
    QBuffer in, out, err;
    Streams()
    {
        in.open(QIODevice::ReadOnly);
        out.open(QIODevice::WriteOnly);
        err.open(QIODevice::WriteOnly);
    }
};

} // namespace

TEST(UndecodableNames, EveryFileOperationFindsTheFileByItsBytes)
{
    QTemporaryDir dir;
    const QByteArray page = nativeIn(dir, kLatin1Name);
    const QString shown = dir.filePath(kShownName);
    const QByteArray utf8Twin = nativeIn(dir, kShownName.toUtf8());
    QByteArray formatted;
    {
        Streams io;
        io.in.close();
        io.in.setData("<p>y</p>");
        io.in.open(QIODevice::ReadOnly);
        ASSERT_EQ(batch::runFormatCommand({}, io.in, io.out, io.err, dir.path()), 0);
        formatted = io.out.data();
    }
    struct Row {
        const char *operation;
        std::function<void()> run;
        QByteArray afterwards; // the page's bytes then; empty: the page is gone
    };
    const Row rows[] = {
        { "folder listing shows the Latin-1 reading",
            [&] {
                EXPECT_EQ(folderview::listMatchingFiles(dir.path(), QStringLiteral("*.htm")),
                    QStringList { kShownName });
            },
            "<p>x</p>" },
        { "search lists it under that name",
            [&] {
                QStringList records;
                scan::appendFolderRecords(records, dir.path(), false, { QStringLiteral("*.htm") });
                ASSERT_EQ(records.size(), 1);
                EXPECT_EQ(
                    scan::entryFromRecord(records.first()).name, QString::fromUtf8("caf\xc3\xa9"));
            },
            "<p>x</p>" },
        { "a list holding it verifies",
            [&] {
                const QString list = dir.filePath(QStringLiteral("l.lst"));
                QStringList records;
                scan::appendFolderRecords(records, dir.path(), false, { QStringLiteral("*.htm") });
                ASSERT_TRUE(scan::writeListFile(list, records, nullptr));
                QString error;
                ASSERT_TRUE(scan::readListFile(list, &records, &error));
                QList<scan::ListEntry> entries = scan::entriesFromRecords(records);
                const scan::VerifyResult result = scan::verifyEntries(entries);
                EXPECT_EQ(result.removed, 0);
                EXPECT_EQ(result.updated, 0);
                EXPECT_EQ(entries.size(), 1);
                QFile::remove(list);
            },
            "<p>x</p>" },
        { "the editor opens it",
            [&] {
                const editor::LoadedPage loaded = editor::loadEditorFile(shown);
                EXPECT_EQ(loaded.status, editor::LoadStatus::Ok) << loaded.error.toStdString();
                EXPECT_EQ(loaded.page.text, QStringLiteral("<p>x</p>"));
            },
            "<p>x</p>" },
        { "the editor saves it in place",
            [&] {
                QString error;
                EXPECT_TRUE(editor::saveEditorFile(shown, QStringLiteral("<p>y</p>"),
                    platform::TextEncoding::Utf8, editor::LineEnds::Lf, &error))
                    << error.toStdString();
            },
            "<p>y</p>" },
        { "format --in-place formats it in place",
            [&] {
                Streams io;
                EXPECT_EQ(batch::runFormatCommand({ QStringLiteral("--in-place"), shown }, io.in,
                              io.out, io.err, dir.path()),
                    0)
                    << io.err.data().toStdString();
            },
            formatted },
        { "colour-rtf reads it",
            [&] {
                Streams io;
                EXPECT_EQ(batch::runColourRtfCommand({ shown }, io.in, io.out, io.err), 0)
                    << io.err.data().toStdString();
                EXPECT_FALSE(io.out.data().isEmpty());
            },
            formatted },
        { "the engine's local files open it",
            [&] {
                QFile file;
                QString error;
                ASSERT_TRUE(platform::openRegularFile(file, shown, &error)) << error.toStdString();
                EXPECT_EQ(file.readAll(), formatted);
            },
            formatted },
        { "copying keeps its content, its date and its name's bytes",
            [&] {
                QTemporaryDir other;
                ASSERT_TRUE(platform::CopyFileKeepDate(shown, other.filePath(kShownName)));
                const QByteArray copy = nativeIn(other, kLatin1Name);
                EXPECT_EQ(readNative(copy), formatted);
                EXPECT_FALSE(existsNative(nativeIn(other, kShownName.toUtf8())));
                struct stat from {
                }, to {};
                ::stat(page.constData(), &from);
                ::stat(copy.constData(), &to);
                EXPECT_EQ(from.st_mtime, to.st_mtime);
                ::unlink(copy.constData());
            },
            formatted },
        { "deleting removes it",
            [&] {
                bool recycle = true;
                platform::RemoveFile(shown, recycle);
                EXPECT_FALSE(recycle);
            },
            {} },
    };
    writeNative(page, "<p>x</p>");
    for (const Row &row : rows) {
        SCOPED_TRACE(row.operation);
        row.run();
        EXPECT_EQ(existsNative(page) ? readNative(page) : QByteArray(), row.afterwards);
        EXPECT_FALSE(existsNative(utf8Twin)) << "written under another name";
    }
}

TEST(UndecodableNames, ArgumentsAndLostBytesAreNamedAsSuch)
{
    char name[] = "caf\xe9.htm";
    char *argv[] = { name, nullptr };
    EXPECT_EQ(batch::decodedArguments(1, argv), QStringList { kShownName });

    // A name that went through a decoder that drops its bytes names no file; the reason says
    // why rather than that the file does not exist.
    QTemporaryDir dir;
    writeNative(nativeIn(dir, kLatin1Name), "x");
    const QString lost = dir.filePath(QString::fromUtf8("caf\xef\xbf\xbd.htm"));
    QString error;
    QFile file;
    EXPECT_FALSE(platform::openRegularFile(file, lost, &error));
    EXPECT_EQ(error, QStringLiteral("The file name is not valid UTF-8."));
    QList<scan::ListEntry> entries = { scan::entryFromRecord(dir.path() + QStringLiteral("/*")
        + QString::fromUtf8("caf\xef\xbf\xbd") + QStringLiteral("*.htm*1*")) };
    const scan::VerifyResult result = scan::verifyEntries(entries);
    EXPECT_EQ(result.removed, 0);
    EXPECT_EQ(result.unchecked, 1);
    EXPECT_TRUE(result.reportLines.value(0).contains(QStringLiteral("not valid UTF-8")));
    ::unlink(nativeIn(dir, kLatin1Name).constData()); // beyond QTemporaryDir's clean-up
}

// Opening a pipe for reading waits for a writer, and a device reads without end: neither may
// reach a read, and the answer must come at once.
TEST(SpecialFiles, EveryFileOperationRefusesThemAtOnce)
{
    QTemporaryDir dir;
    const QString fifo = dir.filePath(QStringLiteral("b.htm"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0644), 0);
    const QString device = dir.filePath(QStringLiteral("zero.htm"));
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), device));
    const QString copyTarget = dir.filePath(QStringLiteral("copy.htm"));
    struct Row {
        const char *operation;
        std::function<QString(const QString &path)> error; // empty when it went through
    };
    const Row rows[] = {
        { "editor", [](const QString &path) { return editor::loadEditorFile(path).error; } },
        { "format",
            [&](const QString &path) {
                Streams io;
                batch::runFormatCommand({ path }, io.in, io.out, io.err, dir.path());
                return QString::fromUtf8(io.err.data());
            } },
        { "format --in-place",
            [&](const QString &path) {
                Streams io;
                batch::runFormatCommand(
                    { QStringLiteral("--in-place"), path }, io.in, io.out, io.err, dir.path());
                return QString::fromUtf8(io.err.data());
            } },
        { "colour-rtf",
            [](const QString &path) {
                Streams io;
                batch::runColourRtfCommand({ path }, io.in, io.out, io.err);
                return QString::fromUtf8(io.err.data());
            } },
        { "list loading",
            [](const QString &path) {
                QStringList records;
                QString error;
                scan::readListFile(path, &records, &error);
                return error;
            } },
        { "copying",
            [&](const QString &path) {
                return platform::CopyFileKeepDate(path, copyTarget)
                    ? QString()
                    : platform::notRegularFileText();
            } },
    };
    for (const Row &row : rows) {
        for (const QString &path : { fifo, device }) {
            SCOPED_TRACE(std::string(row.operation) + " " + path.toStdString());
            QElapsedTimer clock;
            clock.start();
            EXPECT_TRUE(row.error(path).contains(platform::notRegularFileText()));
            EXPECT_LT(clock.elapsed(), 5000);
        }
    }
    EXPECT_FALSE(QFile::exists(copyTarget));
}
