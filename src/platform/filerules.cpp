#include "platform/filerules.h"

#include "platform/dialogs.h"
#include "platform/safefile.h"

namespace platform {

namespace {

bool isBlank(QChar c)
{
    return c.unicode() <= ' ';
}

QString trimmedName(QString name)
{
    while (!name.isEmpty() && isBlank(name.back()))
        name.chop(1);
    while (!name.isEmpty() && isBlank(name.front()))
        name.remove(0, 1);
    while (name.endsWith(QLatin1Char('.')))
        name.chop(1);
    while (name.startsWith(QLatin1Char('.')))
        name.remove(0, 1);
    return name;
}

} // namespace

QString extensionPart(const QString &name)
{
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : name.mid(dot);
}

bool MaskMatches(const QString &path, const QString &maskList, PathStyle style)
{
    const QString extension = extensionPart(fileNamePart(path, style)).toUpper();
    if (extension.isEmpty() || extension == QLatin1String(".") || extension == QLatin1String(".."))
        return false;
    QString masks = maskList.toUpper();
    masks.remove(QLatin1Char('*'));
    return masks.contains(extension.left(4));
}

bool isInThumbFolder(const QString &folder, const QString &thumbFolder, PathStyle style)
{
    const QString shown = WithTrailingBackslash(folder.toUpper(), style);
    const QString thumbs = WithTrailingBackslash(thumbFolder.toUpper(), style);
    // A POSIX path may hold the thumbnail folder's text further in ("/home/u/opt/fs/THUMBS/"
    // for "/opt/fs/THUMBS/") without lying below it.
    if (style == PathStyle::Posix)
        return shown.startsWith(thumbs);
    return shown.contains(thumbs);
}

QString BuildTargetFileName(
    const QString &folder, const QString &name, const QString &extension, PathStyle style)
{
    QString ext = extension;
    while (ext.startsWith(QLatin1Char('*')))
        ext.remove(0, 1);
    QString file = trimmedName(name);
    // Nothing left of the name: the folder itself, or a bare extension, is no file to write.
    const bool empty = file.isEmpty();
    if (extensionPart(file).compare(ext, Qt::CaseInsensitive) != 0)
        file += ext;
    static const QString kRefused[] = { QStringLiteral("\\"), QStringLiteral("/"),
        QStringLiteral(".."), QStringLiteral("?"), QStringLiteral("*"), QStringLiteral(":") };
    bool refused = empty;
    for (const QString &bad : kRefused)
        refused = refused || file.contains(bad);
    if (refused) {
        dialogs().beep();
        dialogs().errorBox(QStringLiteral("Invalid Filename: ") + (empty ? name : file));
        return {};
    }
    return WithTrailingBackslash(folder, style) + file;
}

void RemoveFile(const QString &path, bool &doRecycleBin)
{
    if (path.isEmpty() || fileState(path).kind == FileState::Missing)
        return;
    doRecycleBin = false;
    removeFileAt(path);
}

} // namespace platform
