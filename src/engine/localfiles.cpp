#include "engine/localfiles.h"

#include "platform/textcodec.h"

#include <QFileInfo>
#include <QMimeDatabase>
#include <QMimeType>
#include <QRegularExpression>
#include <QStringList>

#include <algorithm>
#include <array>
#include <utility>

namespace engine {

namespace {

// Every local file has this host: one origin for all of them, as frames and scripts of a
// site expect. A file on a network share keeps its server as host instead.
const QString localHost = QStringLiteral("local");
// The host of the page that stands in for a file a page may not reach.
const QString blockedHost = QStringLiteral("blocked");

std::function<bool(const QString &)> &extraPageTest()
{
    static std::function<bool(const QString &)> test;
    return test;
}

const QMimeDatabase &mimeDatabase()
{
    static const QMimeDatabase db;
    return db;
}

QMimeType mimeTypeByName(const QString &fileName)
{
    return mimeDatabase().mimeTypeForFile(fileName, QMimeDatabase::MatchExtension);
}

bool isPicture(const QMimeType &type)
{
    return type.name().startsWith(QLatin1String("image/"));
}

// Text types the engine shows (or uses) as they are; other text would be offered for download.
bool engineShowsAsIs(const QString &name)
{
    static const std::array<QLatin1String, 7> types = { QLatin1String("application/xhtml+xml"),
        QLatin1String("text/css"), QLatin1String("application/javascript"),
        QLatin1String("text/javascript"), QLatin1String("application/json"),
        QLatin1String("application/xml"), QLatin1String("text/xml") };
    return std::find(types.begin(), types.end(), name) != types.end();
}

bool hasOwnEncoding(const QByteArray &head)
{
    if (head.startsWith("\xEF\xBB\xBF") || head.startsWith("\xFE\xFF")
        || head.startsWith("\xFF\xFE"))
        return true;
    // The engine looks for a declaration in the first 1024 bytes.
    static const QRegularExpression meta(
        QStringLiteral("<meta[^>]*charset"), QRegularExpression::CaseInsensitiveOption);
    return meta.match(QString::fromLatin1(head.left(1024))).hasMatch();
}

bool isAscii(const QByteArray &bytes)
{
    return std::all_of(bytes.begin(), bytes.end(), [](char c) { return (c & 0x80) == 0; });
}

// Valid UTF-8, allowing a character cut off at the end of a head.
bool isUtf8Head(const QByteArray &head)
{
    for (int cut = 0; cut < 4 && cut < head.size(); ++cut) {
        if (platform::isValidUtf8(head.chopped(cut)))
            return true;
        if (cut == 0 && head.size() < contentTypeHeadSize)
            return false; // the whole file: nothing is cut off
    }
    return false;
}

QByteArray withEncoding(const QByteArray &type, const QByteArray &head)
{
    if (isAscii(head) || hasOwnEncoding(head) || !isUtf8Head(head))
        return type;
    return type + QByteArrayLiteral(";charset=utf-8");
}

// What a site is made of besides its pages, by extension (lower case).
bool isSiteExtension(const QString &extension)
{
    static const QStringList extensions
        = QStringLiteral(
            "css js mjs json xml xsl xslt xht xhtml rss atom map webmanifest vtt " // code, data
            "jpg jpeg jpe jfif gif png apng bmp webp avif ico cur svg svgz tif tiff " // pictures
            "woff woff2 ttf otf eot " // fonts
            "mp3 wav ogg oga opus m4a aac flac mp4 m4v webm ogv mov") // audio and video
              .split(QLatin1Char(' '));
    return extensions.contains(extension);
}

} // namespace

QString localScheme()
{
    return QStringLiteral("folioscope");
}

QUrl localFileUrl(const QString &path)
{
    QUrl url = QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath());
    url.setScheme(localScheme());
    if (url.host().isEmpty())
        url.setHost(localHost);
    return url;
}

QString localFileOfUrl(const QUrl &url)
{
    if (url.scheme() == QLatin1String("file"))
        return url.adjusted(QUrl::RemoveQuery | QUrl::RemoveFragment).toLocalFile();
    if (url.scheme() != localScheme())
        return {};
    if (url.host().compare(blockedHost, Qt::CaseInsensitive) == 0)
        return {};
    QUrl file = url.adjusted(QUrl::RemoveQuery | QUrl::RemoveFragment);
    file.setScheme(QStringLiteral("file"));
    if (file.host().compare(localHost, Qt::CaseInsensitive) == 0)
        file.setHost(QString());
    return file.toLocalFile();
}

bool isPageFile(const QString &fileName)
{
    const QString name = QFileInfo(fileName).fileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot < 0 || isPicture(mimeTypeByName(name)))
        return false;
    const QStringView extension = QStringView(name).mid(dot + 1);
    for (const char *kind : { "htm", "asp", "sht", "dht", "cfm", "jht" }) {
        if (extension.startsWith(QLatin1String(kind), Qt::CaseInsensitive))
            return true;
    }
    const auto &extra = extraPageTest();
    return extra && extra(name);
}

void setExtraPageTest(std::function<bool(const QString &)> test)
{
    extraPageTest() = std::move(test);
}

bool isSiteFile(const QString &path)
{
    const QString name = QFileInfo(path).fileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot >= 0 && (isSiteExtension(name.mid(dot + 1).toLower()) || isPageFile(name));
}

QUrl blockedFileUrl(const QString &path)
{
    QUrl url = localFileUrl(path);
    // A file on a network share keeps its server in the path.
    if (url.host() != localHost)
        url.setPath(QStringLiteral("//") + url.host() + url.path());
    url.setHost(blockedHost);
    return url;
}

QString blockedFileOfUrl(const QUrl &url)
{
    if (url.scheme() != localScheme() || url.host().compare(blockedHost, Qt::CaseInsensitive) != 0)
        return {};
    QUrl file = url.adjusted(QUrl::RemoveQuery | QUrl::RemoveFragment);
    file.setScheme(QStringLiteral("file"));
    file.setHost(QString());
    return file.toLocalFile();
}

QByteArray contentTypeFor(const QString &path, const QByteArray &head)
{
    QMimeType type = mimeTypeByName(path);
    if (type.isDefault()) // no extension to go by: the content decides, as for a file
        type = mimeDatabase().mimeTypeForData(head);
    const QString name = type.name();
    if (name == QLatin1String("text/html") || isPageFile(path))
        return withEncoding(QByteArrayLiteral("text/html"), head);
    if (isPicture(type) || engineShowsAsIs(name) || !type.inherits(QStringLiteral("text/plain")))
        return name.toLatin1();
    return withEncoding(QByteArrayLiteral("text/plain"), head);
}

} // namespace engine
