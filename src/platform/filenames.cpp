#include "platform/filenames.h"

#include "platform/textcodec.h"

#include <cerrno>
#include <cstring>

namespace platform {

namespace {

constexpr QChar kReplacement(0xFFFD);

} // namespace

QString decodeFileName(QByteArrayView bytes)
{
    // The text rule: a byte order mark at the start stays part of the name.
    return decodeText(bytes.toByteArray()).text;
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
