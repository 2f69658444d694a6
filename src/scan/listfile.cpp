#include "scan/listfile.h"

#include "platform/atomicfile.h"
#include "platform/failure.h"
#include "platform/safefile.h"
#include "platform/textcodec.h"
#include "platform/textrules.h"

#include <QDir>
#include <QFileInfo>

namespace scan {

namespace {

// A list of a million entries is under 200 MB; anything far larger is no list file and
// would only exhaust the memory.
constexpr qint64 kLargestListFile = qint64(1) << 30;

} // namespace

QStringList splitListText(const QString &text)
{
    QStringList lines;
    qsizetype start = 0;
    const qsizetype size = text.size();
    for (qsizetype i = 0; i <= size; ++i) {
        const bool end = i == size;
        const QChar c = end ? QChar() : text.at(i);
        if (!end && c != QLatin1Char('\n') && c != QLatin1Char('\r'))
            continue;
        if (i > start)
            lines.append(text.mid(start, i - start));
        if (!end && c == QLatin1Char('\r') && i + 1 < size && text.at(i + 1) == QLatin1Char('\n'))
            ++i;
        start = i + 1;
    }
    return lines;
}

QStringList listRecordsFromBytes(const QByteArray &bytes)
{
    return splitListText(platform::decodeText(bytes).text);
}

QByteArray listFileBytes(const QStringList &records)
{
    QString text;
    qsizetype size = 0;
    for (const QString &record : records)
        size += record.size() + 2;
    text.reserve(size);
    for (const QString &record : records) {
        text += record;
        text += QLatin1String("\r\n");
    }
    return text.toUtf8();
}

bool readListFile(const QString &path, QStringList *records, QString *error)
{
    const QString shown = QDir::toNativeSeparators(path);
    // Only plain files: reading a pipe or a device would wait or never end.
    switch (platform::fileState(path).kind) {
    case platform::FileState::Folder:
        return platform::fail(error, QStringLiteral("%1 is not a file.").arg(shown));
    case platform::FileState::Other:
        return platform::fail(
            error, QStringLiteral("%1 is %2.").arg(shown, platform::notRegularFileText()));
    default:
        break;
    }
    QByteArray bytes;
    QString reason;
    if (!platform::readRegularFile(path, kLargestListFile, &bytes, &reason))
        return platform::fail(
            error, QStringLiteral("Cannot read file \"%1\". %2").arg(shown, reason));
    *records = listRecordsFromBytes(bytes);
    return true;
}

bool writeListFile(const QString &path, const QStringList &records, QString *error)
{
    return platform::writeFileAtomically(path, listFileBytes(records), error);
}

QString newListFileName(const QString &listsFolder)
{
    const QString pattern = QStringLiteral("(newlist*).lst");
    QString name;
    for (int i = 1; i <= 100; ++i) {
        name = platform::replaceEveryIgnoringCase(pattern, QStringLiteral("*"), QString::number(i));
        if (!QFileInfo::exists(QDir(listsFolder).filePath(name)))
            break;
    }
    return name;
}

} // namespace scan
