// The editor's Rich Text reader and writer. Any bytes: the reader fails cleanly or gives spans
// that cover its text. The bytes as a page: text -> RTF -> text keeps every character (line
// breaks become LF) and the colours are those of the scanned classes. What the reader gave
// goes through the writer and back unchanged too.
#include "fuzzing.h"

#include "editor/colourscan.h"
#include "editor/palette.h"
#include "editor/rtfreader.h"
#include "editor/rtfwriter.h"
#include "platform/textcodec.h"

#include <algorithm>

namespace {

// CR LF and lone CR as LF, as the writer's \par reads back.
QString withLfBreaks(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

bool spansCover(const editor::ColouredText &read)
{
    qsizetype at = 0;
    for (const editor::ColourSpan &span : read.spans) {
        if (span.start != at || span.length <= 0)
            return false;
        at += span.length;
    }
    return at == read.text.size();
}

// The colour of every character, as the reader's spans and as the scanned classes say.
bool coloursMatchClasses(const editor::ColouredText &read, const editor::Palette &palette)
{
    // A comment without its end is no run of its own, but the writer colours it as one.
    QList<int> expected(read.text.size(), palette.colourOf(editor::ColourClass::Comment));
    for (const editor::ColourRun &run : editor::colourRuns(read.text))
        std::fill_n(expected.begin() + run.start, run.length, palette.colourOf(run.cls));
    for (const editor::ColourSpan &span : read.spans) {
        for (qsizetype i = span.start; i < span.start + span.length; ++i) {
            if (expected.at(i) != span.colour)
                return false;
        }
    }
    return true;
}

// text -> RTF -> text, checked; gives what came back.
QString roundTrip(const QString &text, const editor::Palette &palette)
{
    editor::ColouredText read;
    QString error;
    FUZZ_CHECK(editor::readColouredRtf(editor::BuildColouredRtf(text, palette), &read, &error));
    FUZZ_CHECK(read.text == withLfBreaks(text));
    FUZZ_CHECK(spansCover(read));
    FUZZ_CHECK(coloursMatchClasses(read, palette));
    return read.text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input = fuzzing::bytes(data, size);
    const editor::Palette palette = editor::presetPalette(int(size % 4) + 1);

    editor::ColouredText read;
    QString error;
    if (editor::readColouredRtf(input, &read, &error)) {
        FUZZ_CHECK(spansCover(read));
        roundTrip(read.text, palette);
    } else {
        FUZZ_CHECK(!error.isEmpty());
    }

    roundTrip(platform::decodeText(input).text, palette);
    return 0;
}
