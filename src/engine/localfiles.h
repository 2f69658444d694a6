#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>

#include <functional>

namespace engine {

// Local files reach the engine through a URL scheme of the program's own rather than file:,
// because the engine decides from the extension how to show a file and knows none of the
// server-page kinds (.asp, .sht, .cfm, ...) as HTML. The URLs keep the file's path, so
// relative links, pictures and style sheets resolve as they would between files.

// The scheme: "folioscope".
QString localScheme();

// The URL that shows a local file; the path is made absolute.
QUrl localFileUrl(const QString &path);
// The local file of a URL of that scheme or of a file: URL, without query or fragment;
// empty for any other URL (the blocked-file page's too).
QString localFileOfUrl(const QUrl &url);

// True for a file that is shown as an HTML page whatever its extension says: .htm and the
// server-page kinds of the filter list (an extension starting with htm, asp, sht, dht, cfm or
// jht), and whatever the extra test accepts. Pictures are never pages.
bool isPageFile(const QString &fileName);
// Adds a test for further page kinds (the masks of the user's filter list); an empty function
// removes it. It applies from the next file the engine reads.
void setExtraPageTest(std::function<bool(const QString &fileName)> test);

// True for a file of a kind a site is made of, which a page may show in a frame, navigate to
// or use: the page kinds, style sheets, scripts, pictures (SVG too), fonts, audio and video,
// and JSON or XML data. Anything else (no extension, text, documents, keys, system files) a
// page may not reach; only the program's own loads show such a file.
bool isSiteFile(const QString &path);

// The URL of the page that stands in for a file a page may not reach, and back; the file is
// empty for any other URL.
QUrl blockedFileUrl(const QString &path);
QString blockedFileOfUrl(const QUrl &url);

// How much of a file contentTypeFor() wants to see.
constexpr qsizetype contentTypeHeadSize = 1 << 20;

// The content type the engine gets for a local file, given the start of its content: text/html
// for pages, the type of the extension for pictures, style sheets, scripts and other documents
// the engine shows, and text/plain for any other text, so that it is shown rather than dropped
// as a download. Pages and text that are valid UTF-8 and declare no encoding of their own are
// marked as UTF-8, as the engine guesses for a file; otherwise it takes its 8-bit default.
QByteArray contentTypeFor(const QString &path, const QByteArray &head);

} // namespace engine
