#include "imaging/looksstore.h"

#include "imaging/thumbstore.h"
#include "platform/atomicfile.h"
#include "platform/pathrules.h"
#include "scan/folderscan.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>

namespace imaging {

namespace {

const QString kPngSuffix = QStringLiteral(".png");

// The page of a baseline file: its folder from the tag, its name without ".WIDTH.png".
QString pageOfLooksFile(const QString &looksFolder, const QString &file)
{
    // The store's names end in four letters as the thumbnails' ".jpg" do.
    const QString named = thumbs::PageFileFor(looksFolder, file);
    const qsizetype dot = named.lastIndexOf(QLatin1Char('.'));
    bool number = false;
    if (dot > 0)
        named.mid(dot + 1).toInt(&number);
    return number ? named.left(dot) : QString();
}

} // namespace

QString looksFileFor(const QString &looksFolder, const QString &page, int width)
{
    const QString thumb = thumbs::ThumbFileFor(
        platform::WithTrailingBackslash(looksFolder), QFileInfo(page).absolutePath(), page);
    return thumb.left(thumb.size() - 4) + QStringLiteral(".%1").arg(width) + kPngSuffix;
}

bool storeLooks(const QString &file, const QImage &picture, QString *error)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    // Fast compression: baselines are written by the hundred and read once each.
    if (!picture.save(&buffer, "PNG", 80)) {
        *error = QStringLiteral("cannot encode the picture");
        return false;
    }
    if (!QDir().mkpath(QFileInfo(file).absolutePath())) {
        *error = QStringLiteral("cannot create the folder %1").arg(QFileInfo(file).absolutePath());
        return false;
    }
    return platform::writeFileAtomically(file, bytes, error);
}

LooksState loadLooks(const QString &file, QImage *picture)
{
    if (!QFileInfo(file).isFile())
        return LooksState::Missing;
    QImageReader reader(file, "PNG");
    *picture = reader.read();
    return picture->isNull() ? LooksState::Damaged : LooksState::Read;
}

LooksClean cleanLooksFolder(const QString &looksFolder, bool removeAll)
{
    LooksClean result;
    if (!QFileInfo(looksFolder).isDir())
        return result;
    filelists::ScanOptions options;
    options.mask = QStringLiteral("*.png");
    const QStringList files = filelists::ScanFolderPaths(looksFolder, options);
    result.found = int(files.size());
    for (const QString &file : files) {
        const QString page = pageOfLooksFile(looksFolder, file);
        if (!removeAll && !page.isEmpty() && QFileInfo(page).isFile())
            continue;
        if (QFile::remove(file))
            ++result.removed;
        else
            result.failed << file;
    }
    const platform::LeftoverSweep leftovers = platform::removeAtomicWriterLeftovers(
        looksFolder, [](QStringView target) { return target.endsWith(u".png", Qt::CaseInsensitive); }, true);
    result.failed += leftovers.failed;
    return result;
}

} // namespace imaging
