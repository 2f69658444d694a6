#pragma once

#include <QByteArray>
#include <QString>

namespace linkcheck {

// What the site check reads as a page or style sheet, and how.

// The page kinds the program accepts, pictures left out.
QString pageMask();
// No page or style sheet can take more memory than this.
inline constexpr qint64 MaxFileBytes = qint64(32) << 20;

QString cleanAbsolute(const QString &path);
bool isPageName(const QString &path);
bool isStyleSheetName(const QString &path);
bool isSymbolicLink(const QString &path);

// The whole of a page or style sheet, read once up to the size it had when it was opened: a
// file that grows meanwhile takes no more memory. False with the reason.
bool readPage(const QString &path, QByteArray *bytes, QString *why);
QString notEnoughMemoryText();

} // namespace linkcheck
