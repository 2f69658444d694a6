#include "stylefixture.h"

#include "formatter/formatselection.h"
#include "formatter/tokenizer.h"
#include "platform/textcodec.h"
#include "support/testfiles.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>

#include <gtest/gtest.h>

using namespace formatter;

namespace {

// The source folder of these tests, whether the variable names tests/ or tests/formatter/.
QString testData(const QString &relative)
{
    QDir dir(qEnvironmentVariable("FOLIOSCOPE_TEST_DATA"));
    if (dir.exists(QStringLiteral("formatter/golden")))
        dir.cd(QStringLiteral("formatter"));
    return dir.filePath(relative);
}

QStringList pages(const QString &folder, const QStringList &patterns)
{
    QStringList paths;
    const QDir dir(testData(folder));
    for (const QString &name : dir.entryList(patterns, QDir::Files, QDir::Name))
        paths.append(dir.filePath(name));
    return paths;
}

// What the editor's "Format" does to a whole document.
QString formatWhole(Style &style, const QString &text, FormatMode mode)
{
    return FormatSelection(style, text, SelectionIndent(text), mode);
}

const struct {
    FormatMode mode;
    const char *suffix;
} kModes[] = {
    { FormatMode::Format, ".format.expected" },
    { FormatMode::Compress, ".compress.expected" },
    { FormatMode::Trim, ".trim.expected" },
};

} // namespace

// Each page under golden/ is formatted in each mode with the shipped style and compared with
// the expected output beside it. FOLIOSCOPE_UPDATE_GOLDEN=1 writes the outputs instead.
TEST(Golden, ShippedStyle)
{
    const QStringList inputs = pages(QStringLiteral("golden"), { QStringLiteral("*.html") });
    ASSERT_GE(inputs.size(), 3) << "no golden pages found";
    const bool update = qEnvironmentVariableIntValue("FOLIOSCOPE_UPDATE_GOLDEN") == 1;
    for (const QString &input : inputs) {
        const platform::DecodedText page = platform::decodeText(fileBytes(input));
        for (const auto &mode : kModes) {
            Style style = shippedStyle();
            const QByteArray actual
                = platform::encodeText(formatWhole(style, page.text, mode.mode), page.encoding);
            const QString expectedPath = input.chopped(5) + QLatin1String(mode.suffix);
            if (update) {
                QFile out(expectedPath);
                ASSERT_TRUE(out.open(QIODevice::WriteOnly));
                out.write(actual);
                continue;
            }
            // Latin-1 keeps the comparison byte for byte and the failure readable.
            EXPECT_EQ(QString::fromLatin1(actual), QString::fromLatin1(fileBytes(expectedPath)))
                << expectedPath.toStdString();
        }
    }
}

// Real pages: formatting twice gives what formatting once gave, and every verbatim block of
// the source is in the result character for character.
TEST(Golden, RoundTrips)
{
    QStringList inputs = pages(QStringLiteral("golden"), { QStringLiteral("*.html") });
    inputs += pages(QStringLiteral("../../examples/site"), { QStringLiteral("*.htm") });
    ASSERT_GE(inputs.size(), 3) << "no pages found";
    for (const QString &input : std::as_const(inputs)) {
        const QString text = platform::decodeText(fileBytes(input)).text;
        Style style = shippedStyle();
        const QString once = formatWhole(style, text, FormatMode::Format);
        EXPECT_EQ(formatWhole(style, once, FormatMode::Format), once) << input.toStdString();
        EXPECT_EQ(formatWhole(style, formatWhole(style, text, FormatMode::Trim), FormatMode::Trim),
            formatWhole(style, text, FormatMode::Trim))
            << input.toStdString();

        QString source = text;
        source.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        const TokenLists tokens = TokenizeSource(source, style.options, style.rules);
        for (const VerbatimBlock &block : tokens.blocks) {
            if (block.openingKey == u"<TD>")
                continue;
            EXPECT_TRUE(once.contains(block.lines.join(QStringLiteral("\r\n"))))
                << input.toStdString() << ": " << block.marker.toStdString();
        }
    }
}

// The pages the benchmark builds its input from: the HTML manuals of the installed Debian
// packages, each below 64 KB. Each comes out of a second run as it came out of the first.
TEST(Golden, InstalledManualsFormatTwiceAsOnce)
{
    QDirIterator it(QStringLiteral("/usr/share/doc"),
        { QStringLiteral("*.html"), QStringLiteral("*.htm") }, QDir::Files,
        QDirIterator::Subdirectories);
    int pageCount = 0;
    Style style = shippedStyle();
    while (it.hasNext()) {
        const QString path = it.next();
        if (it.fileInfo().size() >= 64 * 1024)
            continue;
        ++pageCount;
        const QString text = platform::decodeText(fileBytes(path)).text;
        const QString once = formatWhole(style, text, FormatMode::Format);
        EXPECT_EQ(formatWhole(style, once, FormatMode::Format), once) << path.toStdString();
    }
    if (pageCount == 0)
        GTEST_SKIP() << "no HTML manuals installed under /usr/share/doc";
}
