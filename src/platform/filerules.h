#pragma once

#include "platform/pathrules.h"

#include <QList>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

namespace platform {

// The extension of a file name from its last dot on, dot included; empty when it has none.
QString extensionPart(const QString &name);

// True when the path's extension, cut to four characters with its dot, occurs in the mask
// list: page.html passes "*.htm", photo.jpeg does not pass "*.jpg", notes.h passes "*.htm".
// A name without an extension never passes.
bool MaskMatches(const QString &path, const QString &maskList, PathStyle style = nativePathStyle());

// True when `folder` is the thumbnail folder or lies below it, letters compared without regard
// to case.
bool isInThumbFolder(
    const QString &folder, const QString &thumbFolder, PathStyle style = nativePathStyle());

// A file list mask: patterns joined by ";", compared without regard to case; the rule of the
// folder view's file list and of every open dialog that offers its filters. A pattern
// "*.xyz" with a three-letter extension also takes longer extensions that start with it, as
// the Windows file list does (the masks rely on it: "*.htm" lists page.html).
class FileMask
{
public:
    explicit FileMask(const QString &mask);
    bool matches(const QString &name) const;

private:
    bool m_everything = false;
    QStringList m_extensions; // without their dot
    QList<QRegularExpression> m_patterns;
};

// folder + name with the extension appended unless the name has it already, or empty after a
// beep and the error box "Invalid Filename: " + name for a name that could leave the folder or
// holds wildcards (or is empty once blanks and dots are trimmed).
QString BuildTargetFileName(const QString &folder, const QString &name, const QString &extension,
    PathStyle style = nativePathStyle());

// Deletes an existing file permanently; any such attempt clears doRecycleBin. Errors are silent.
void RemoveFile(const QString &path, bool &doRecycleBin);

} // namespace platform
