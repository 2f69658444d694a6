// Style loading: options.ini, tag.ini and trim.ini of any content, then one page formatted
// with that style in each mode.
#include "fuzzing.h"

#include "formatter/formatselection.h"

#include <QDir>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // The three files, apart by NUL bytes.
    const QList<QByteArray> files = fuzzing::splitInput(fuzzing::bytes(data, size), '\0', 3);
    static const bool folders
        = QDir(fuzzing::scratchFolder()).mkpath(QStringLiteral("STYLES/THUMBS"));
    FUZZ_CHECK(folders);
    fuzzing::writeScratchFile(QStringLiteral("STYLES/THUMBS/options.ini"), files.value(0));
    fuzzing::writeScratchFile(QStringLiteral("STYLES/THUMBS/tag.ini"), files.value(1));
    fuzzing::writeScratchFile(QStringLiteral("trim.ini"), files.value(2));
    formatter::Style style;
    formatter::LoadProgramStyle(style, fuzzing::scratchFolder(), QStringLiteral("THUMBS"));
    static const QString kPage = QStringLiteral(
        "<html><head><title>T</title></head><body><p>One <b>two</b>\r\n<table><tr><td>x</td>"
        "</tr></table><!-- note --><pre> kept\n  as is</pre><br></body></html>\r\n");
    for (const auto mode : { formatter::FormatMode::Compress, formatter::FormatMode::Format,
             formatter::FormatMode::Trim })
        FUZZ_CHECK(formatter::FormatDocument(style, kPage, mode).isValidUtf16());
    return 0;
}
