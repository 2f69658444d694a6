#include "platform/filenames.h"

#include "platform/textcodec.h"

#include <QFile>
#include <QStringList>

#include <algorithm>
#include <cerrno>
#include <cstring>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace platform {

namespace {

constexpr QChar kReplacement(0xFFFD);

#ifdef Q_OS_UNIX
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
#endif

} // namespace

QString decodeFileName(QByteArrayView bytes)
{
    // The text rule: a byte order mark at the start stays part of the name.
    return decodeText(bytes.toByteArray()).text;
}

QByteArray encodeFilePath(const QString &path)
{
#ifdef Q_OS_UNIX
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
#else
    return QFile::encodeName(path);
#endif
}

bool hasUndecodableName(const QString &path)
{
    return path.contains(kReplacement);
}

QString fileErrorText(const QString &path, int errnum)
{
    if (errnum == ENOENT && hasUndecodableName(path))
        return QStringLiteral("The file name is not valid UTF-8.");
    return QString::fromLocal8Bit(std::strerror(errnum));
}

} // namespace platform
