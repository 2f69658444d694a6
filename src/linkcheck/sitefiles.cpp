#include "linkcheck/sitefiles.h"

#include "linkcheck/sitecheck.h"

#include "platform/filenames.h"
#include "platform/filerules.h"
#include "platform/safefile.h"

#include <QDir>
#include <QFile>

#include <cerrno>

#include <sys/stat.h>
#include <unistd.h>

namespace linkcheck {

QString pageMask()
{
    static const QString mask = QStringLiteral("*.htm;*.asp;*.sht;*.dht;*.cfm;*.jht");
    return mask;
}

QString cleanAbsolute(const QString &path)
{
    return QDir::cleanPath(QDir(path).absolutePath());
}

bool isPageName(const QString &path)
{
    return platform::MaskMatches(path, pageMask(), platform::PathStyle::Posix);
}

bool isStyleSheetName(const QString &path)
{
    return path.endsWith(QLatin1String(".css"), Qt::CaseInsensitive);
}

bool isSymbolicLink(const QString &path)
{
    struct stat info {
    };
    return ::lstat(platform::encodeFilePath(path).constData(), &info) == 0 && S_ISLNK(info.st_mode);
}

bool readPage(const QString &path, QByteArray *bytes, QString *why)
{
    QFile file;
    if (!platform::openRegularFile(file, path, why))
        return false;
    const qint64 size = file.size();
    if (size > MaxFileBytes) {
        *why = platform::fileErrorText(path, EFBIG);
        return false;
    }
    QByteArray data(size, Qt::Uninitialized);
    qint64 done = 0;
    while (done < size) {
        const qint64 got = file.read(data.data() + done, size - done);
        if (got < 0) {
            *why = file.errorString();
            return false;
        }
        if (got == 0)
            break; // it shrank
        done += got;
    }
    data.truncate(done);
    *bytes = std::move(data);
    return true;
}

QString notEnoughMemoryText()
{
    return QStringLiteral("not enough memory");
}

QString pathProblem(const QString &path)
{
    const QByteArray native = platform::encodeFilePath(path);
    struct stat info {
    };
    if (::stat(native.constData(), &info) != 0)
        return platform::fileErrorText(path, errno);
    const bool folder = S_ISDIR(info.st_mode);
    if (!folder && !S_ISREG(info.st_mode))
        return platform::notRegularFileText();
    if (::access(native.constData(), folder ? R_OK | X_OK : R_OK) != 0)
        return platform::fileErrorText(path, errno);
    if (!folder && info.st_size > MaxFileBytes)
        return platform::fileErrorText(path, EFBIG);
    return {};
}

} // namespace linkcheck
