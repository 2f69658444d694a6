#include "platform/shell.h"

#include "platform/filenames.h"
#include "platform/safefile.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>

namespace platform {

QString LaunchCommandLine(const QString &location, const QString &param, const QString &file)
{
    return QLatin1Char('"') + location + QStringLiteral("\" ") + param + QStringLiteral(" \"")
        + file + QLatin1Char('"');
}

QStringList splitShellWords(const QString &text)
{
    QStringList words;
    QString word;
    bool inWord = false;
    enum { Plain, Single, Double } quote = Plain;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (quote == Single) {
            if (c == u'\'')
                quote = Plain;
            else
                word += c;
        } else if (quote == Double) {
            if (c == u'"') {
                quote = Plain;
            } else if (c == u'\\' && i + 1 < text.size()
                && QStringView(u"\"\\$`").contains(text.at(i + 1))) {
                word += text.at(++i);
            } else {
                word += c;
            }
        } else if (c == u' ' || c == u'\t' || c == u'\n' || c == u'\r') {
            if (inWord)
                words.append(word);
            word.clear();
            inWord = false;
        } else {
            inWord = true;
            if (c == u'\'')
                quote = Single;
            else if (c == u'"')
                quote = Double;
            else if (c == u'\\' && i + 1 < text.size())
                word += text.at(++i);
            else
                word += c;
        }
    }
    if (inWord)
        words.append(word); // an unclosed quote ends with the text
    return words;
}

LaunchCommand launchCommandFor(const QString &location, const QString &param, const QString &file)
{
    LaunchCommand command { location, splitShellWords(param) };
    command.arguments.append(file);
    return command;
}

bool openWithDefaultProgram(const QString &fileOrUrl)
{
    // A path names a file even when it is missing: the opener says so, not the program.
    const bool file = QDir::isAbsolutePath(QDir::fromNativeSeparators(fileOrUrl))
        || fileState(fileOrUrl).kind != FileState::Missing;
    const QUrl url = file ? localFileUrl(fileOrUrl) : QUrl(fileOrUrl, QUrl::StrictMode);
    return url.isValid() && QDesktopServices::openUrl(url);
}

bool launcherExists(const QString &location)
{
    const QFileInfo info(location);
    return !location.isEmpty() && info.exists() && info.isFile();
}

} // namespace platform
