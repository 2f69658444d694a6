#include "editor/editorfile.h"
#include "support/testfiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <unistd.h>

using namespace editor;
using platform::TextEncoding;

namespace {

} // namespace

// Reading a page and writing it back unchanged gives every byte back.
TEST(EditorFile, UnchangedPagesSurviveARoundTrip)
{
    struct Row {
        const char *name;
        QByteArray bytes;
        TextEncoding encoding;
        LineEnds lineEnds;
    };
    const Row rows[] = {
        { "CR LF", "<p>\r\nx\r\n", TextEncoding::Utf8, LineEnds::CrLf },
        { "LF only", "<p>\nx\n", TextEncoding::Utf8, LineEnds::Lf },
        { "CR only", "<p>\rx\r", TextEncoding::Utf8, LineEnds::Cr },
        { "no line break", "<p>", TextEncoding::Utf8, LineEnds::CrLf },
        { "UTF-8", "caf\xc3\xa9\xc2\xa0\r\n", TextEncoding::Utf8, LineEnds::CrLf },
        { "invalid UTF-8", "caf\xe9\xa0\xff\n", TextEncoding::Latin1, LineEnds::Lf },
        { "NUL bytes", QByteArray("a\0b\0\r\n", 6), TextEncoding::Utf8, LineEnds::CrLf },
    };
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("page.htm"));
    for (const Row &row : rows) {
        writeFile(path, row.bytes);
        const LoadedPage loaded = loadEditorFile(path);
        ASSERT_EQ(loaded.status, LoadStatus::Ok) << row.name;
        EXPECT_EQ(loaded.page.encoding, row.encoding) << row.name;
        EXPECT_EQ(loaded.page.lineEnds, row.lineEnds) << row.name;
        EXPECT_FALSE(loaded.page.text.contains(u'\r')) << row.name;
        QString error;
        ASSERT_TRUE(saveEditorFile(
            path, loaded.page.text, loaded.page.encoding, loaded.page.lineEnds, &error))
            << row.name << error.toStdString();
        EXPECT_EQ(fileBytes(path), row.bytes) << row.name;
    }
}

TEST(EditorFile, MixedLineEndsAreWrittenAsCrLf)
{
    const EditorText page = decodeEditorText("a\r\nb\nc\rd");
    EXPECT_EQ(page.text, QStringLiteral("a\nb\nc\nd"));
    EXPECT_EQ(page.lineEnds, LineEnds::CrLf);
}

TEST(EditorFile, TooLongAndUnreadablePagesAreNotGiven)
{
    QTemporaryDir dir;
    const QString longest = dir.filePath(QStringLiteral("longest.htm"));
    writeFile(longest, QByteArray(kMaxEditorLength - 1, 'x') + "\r\n");
    EXPECT_EQ(loadEditorFile(longest).status, LoadStatus::Ok);

    const QString tooLong = dir.filePath(QStringLiteral("long.htm"));
    writeFile(tooLong, QByteArray(kMaxEditorLength + 1, 'x'));
    const LoadedPage loaded = loadEditorFile(tooLong);
    EXPECT_EQ(loaded.status, LoadStatus::TooLong);
    EXPECT_TRUE(loaded.page.text.isEmpty());

    const LoadedPage missing = loadEditorFile(dir.filePath(QStringLiteral("gone.htm")));
    EXPECT_EQ(missing.status, LoadStatus::Unreadable);
    EXPECT_FALSE(missing.error.isEmpty());
}

TEST(EditorFile, FailedSavesLeaveThePageAsItWas)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("page.htm"));
    writeFile(path, "caf\xe9");
    QString error;
    // A Latin-1 page cannot hold the euro sign: refused rather than written as "?".
    EXPECT_FALSE(saveEditorFile(
        path, QStringLiteral("\u20ac"), TextEncoding::Latin1, LineEnds::CrLf, &error));
    EXPECT_TRUE(error.contains(u'\u20ac'));
    EXPECT_EQ(fileBytes(path), QByteArray("caf\xe9"));

    if (geteuid() != 0) { // root writes anyway
        QFile::setPermissions(path, QFile::ReadOwner);
        EXPECT_FALSE(saveEditorFile(
            path, QStringLiteral("new"), TextEncoding::Utf8, LineEnds::CrLf, &error));
        EXPECT_EQ(fileBytes(path), QByteArray("caf\xe9"));
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    }

    EXPECT_FALSE(saveEditorFile(dir.filePath(QStringLiteral("no/such/folder/p.htm")),
        QStringLiteral("x"), TextEncoding::Utf8, LineEnds::CrLf, &error));
    EXPECT_FALSE(error.isEmpty());
}
