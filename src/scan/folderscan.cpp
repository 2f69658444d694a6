#include "scan/folderscan.h"

#include "platform/pathrules.h"
#include "scan/scanvariant.h"

#include <QDir>

namespace scan {

namespace {

QString normalisedFolder(const QString &folder)
{
    const QString native = QDir::toNativeSeparators(folder);
    const QChar sep = platform::separator(platform::nativePathStyle());
    qsizetype end = native.size();
    while (end > 1 && native.at(end - 1) == sep && native.at(end - 2) != QLatin1Char(':'))
        --end;
    return native.left(end);
}

} // namespace

bool ScanFolder(const QString &folder, const ScanOptions &options, const FoundEntry &found)
{
    return scanTree(normalisedFolder(folder), true, options, found);
}

bool ScanOneFolder(const QString &folder, const ScanOptions &options, const FoundEntry &found)
{
    return scanTree(normalisedFolder(folder), false, options, found);
}

QStringList ScanFolderPaths(const QString &folder, const ScanOptions &options)
{
    QStringList paths;
    ScanFolder(
        folder, options, [&paths](const QString &in, const QString &name, const EntryFacts &) {
            paths.append(platform::WithTrailingBackslash(in) + name);
        });
    return paths;
}

} // namespace scan
