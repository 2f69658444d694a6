// The POSIX variant of encoding a path: file names are bytes, mostly UTF-8, some Latin-1.
#include "platform/filenames.h"

#include "platform/textcodec.h"

#include <QStringList>

#include <algorithm>

#include <sys/stat.h>

namespace platform {

namespace {

bool entryExists(const QByteArray &path)
{
    struct stat info {
    };
    return ::lstat(path.constData(), &info) == 0;
}

// A part of a path could also be a Latin-1 name when one of its characters is one.
bool hasLatin1Letter(QStringView text)
{
    return std::any_of(text.begin(), text.end(),
        [](QChar c) { return c.unicode() >= 0x80 && c.unicode() <= 0xFF; });
}

// The bytes of one part below `resolved`: Latin-1 only when that names an entry, the UTF-8
// bytes do not, and the Latin-1 bytes are no UTF-8 (else the listing would show them so).
QByteArray partBytes(const QByteArray &resolved, QStringView part)
{
    const QByteArray utf8 = part.toUtf8();
    if (!hasLatin1Letter(part)
        || std::any_of(part.begin(), part.end(), [](QChar c) { return c.unicode() > 0xFF; }))
        return utf8;
    const QByteArray latin1 = part.toLatin1();
    if (isValidUtf8(latin1) || entryExists(resolved + utf8) || !entryExists(resolved + latin1))
        return utf8;
    return latin1;
}

} // namespace

QByteArray encodeFilePath(const QString &path)
{
    QByteArray utf8 = path.toUtf8();
    if (!hasLatin1Letter(path) || entryExists(utf8))
        return utf8;
    QByteArray resolved;
    const QStringList parts = path.split(QLatin1Char('/'));
    for (qsizetype i = 0; i < parts.size(); ++i) {
        if (i > 0)
            resolved += '/';
        resolved += partBytes(resolved, parts.at(i));
    }
    return resolved;
}

} // namespace platform
