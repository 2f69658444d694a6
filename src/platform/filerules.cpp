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

FileMask::FileMask(const QString &mask)
{
    const QStringList patterns = mask.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    for (const QString &raw : patterns) {
        const QString pattern = raw.trimmed();
        if (pattern.isEmpty())
            continue;
        if (pattern == QLatin1String("*") || pattern == QLatin1String("*.*")) {
            m_everything = true;
            continue;
        }
        const QString extension = pattern.mid(2);
        if (pattern.startsWith(QLatin1String("*.")) && !extension.contains(QLatin1Char('*'))
            && !extension.contains(QLatin1Char('?')) && !extension.contains(QLatin1Char('.'))) {
            m_extensions.append(extension);
            continue;
        }
        m_patterns.append(
            QRegularExpression(QRegularExpression::wildcardToRegularExpression(pattern),
                               QRegularExpression::CaseInsensitiveOption));
    }
    if (m_extensions.isEmpty() && m_patterns.isEmpty())
        m_everything = true; // an empty mask filters nothing
}

bool FileMask::matches(const QString &name) const
{
    if (m_everything)
        return true;
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot >= 0) {
        const QStringView extension = QStringView(name).mid(dot + 1);
        for (const QString &wanted : m_extensions) {
            if (extension.compare(wanted, Qt::CaseInsensitive) == 0)
                return true;
            if (wanted.size() == 3 && extension.size() > 3
                && extension.startsWith(wanted, Qt::CaseInsensitive))
                return true;
        }
    }
    for (const QRegularExpression &pattern : m_patterns)
        if (pattern.match(name).hasMatch())
            return true;
    return false;
}

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
        // The name as the user gave it: the extension is not theirs.
        dialogs().errorBox(QStringLiteral("Invalid Filename: ") + name);
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
