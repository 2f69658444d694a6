#include "editor/editorfile.h"

#include "platform/atomicfile.h"
#include "platform/safefile.h"

#include <QFile>

namespace editor {

LineEnds detectLineEnds(QStringView text)
{
    qsizetype crlf = 0, lf = 0, cr = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'\r') {
            if (i + 1 < text.size() && text[i + 1] == u'\n') {
                ++crlf;
                ++i;
            } else {
                ++cr;
            }
        } else if (text[i] == u'\n') {
            ++lf;
        }
    }
    if (crlf == 0 && cr == 0 && lf > 0)
        return LineEnds::Lf;
    if (crlf == 0 && lf == 0 && cr > 0)
        return LineEnds::Cr;
    return LineEnds::CrLf;
}

QString toLfLineBreaks(QStringView text)
{
    QString result;
    result.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != u'\r') {
            result.append(text[i]);
            continue;
        }
        result.append(u'\n');
        if (i + 1 < text.size() && text[i + 1] == u'\n')
            ++i;
    }
    return result;
}

QString withLineEnds(QStringView lfText, LineEnds lineEnds)
{
    QString result = lfText.toString();
    if (lineEnds == LineEnds::CrLf)
        result.replace(u'\n', QLatin1String("\r\n"));
    else if (lineEnds == LineEnds::Cr)
        result.replace(u'\n', u'\r');
    return result;
}

EditorText decodeEditorText(const QByteArray &bytes)
{
    platform::DecodedText decoded = platform::decodeText(bytes);
    EditorText page;
    page.lineEnds = detectLineEnds(decoded.text);
    page.text = toLfLineBreaks(decoded.text);
    page.encoding = decoded.encoding;
    return page;
}

LoadedPage loadEditorFile(const QString &path)
{
    LoadedPage loaded;
    QFile file;
    if (!platform::openRegularFile(file, path, &loaded.error)) {
        loaded.status = LoadStatus::Unreadable;
        return loaded;
    }
    // Each byte gives at most one character: a file not much longer than the limit is
    // read whole and measured, a longer one is refused unread.
    constexpr qint64 kMaxBytes = kMaxEditorLength * 4 + 4;
    if (file.size() > kMaxBytes) {
        loaded.status = LoadStatus::TooLong;
        return loaded;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        loaded.status = LoadStatus::Unreadable;
        loaded.error = file.errorString();
        return loaded;
    }
    loaded.page = decodeEditorText(bytes);
    if (loaded.page.text.size() > kMaxEditorLength) {
        loaded.status = LoadStatus::TooLong;
        loaded.page = EditorText();
    }
    return loaded;
}

bool encodeEditorText(const QString &lfText, platform::TextEncoding encoding, LineEnds lineEnds,
    QByteArray *bytes, QString *unstorable)
{
    const QString text = withLineEnds(lfText, lineEnds);
    if (encoding == platform::TextEncoding::Latin1) {
        QString outside;
        for (const QChar c : text) {
            if (c.unicode() > 0xFF && !outside.contains(c))
                outside.append(c);
        }
        if (!outside.isEmpty()) {
            *unstorable = outside;
            return false;
        }
    }
    *bytes = platform::encodeText(text, encoding);
    return true;
}

bool saveEditorFile(const QString &path, const QString &lfText, platform::TextEncoding encoding,
    LineEnds lineEnds, QString *error)
{
    QByteArray bytes;
    QString unstorable;
    if (!encodeEditorText(lfText, encoding, lineEnds, &bytes, &unstorable)) {
        *error = QStringLiteral("The text holds characters that this 8-bit page cannot "
                                "store: ")
            + unstorable.left(20);
        return false;
    }
    const platform::FileState state = platform::fileState(path);
    // Renaming over the page would succeed on a file that its owner made read-only.
    if (state.kind != platform::FileState::Missing && !state.writable) {
        *error = QStringLiteral("The file is read-only.");
        return false;
    }
    return platform::writeFileAtomically(path, bytes, error);
}

} // namespace editor
