#pragma once

// The record that folioscope-helpshots keeps beside the help pictures (pictures.txt): for each
// picture the SHA-256 of its file, the class of the window it shows and the tabs of each tab
// control in that window. The help tests hold it against the pictures and against the
// program's windows, so a picture that shows tabs the program no longer has fails a test.
// Header only: the screenshot program includes it too.

#include <QCryptographicHash>
#include <QFile>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QTabWidget>
#include <QWidget>

struct HelpPicture {
    QString file; // "thumbnails.png"
    QByteArray sha256; // in hex
    QString window; // "app::MainWindow"
    QMap<QString, QStringList> tabs; // a tab control's objectName: its tabs, left to right
};

// A tab as a picture shows it, without the selection counts of the moment ("Folder View
// (2 of 9 files selected)" is "Folder View") and without the blanks around it.
inline QString helpTabName(const QString &text)
{
    const qsizetype counts = text.indexOf(QLatin1String("  ("));
    return (counts < 0 ? text : text.left(counts)).trimmed();
}

// The tabs of every tab control of `window` that shows when the window does.
inline QMap<QString, QStringList> helpTabsShown(const QWidget *window)
{
    QMap<QString, QStringList> shown;
    for (const QTabWidget *control : window->findChildren<QTabWidget *>()) {
        if (!control->isVisibleTo(window))
            continue;
        QStringList tabs;
        for (int i = 0; i < control->count(); ++i)
            tabs.append(helpTabName(control->tabText(i)));
        shown.insert(control->objectName(), tabs);
    }
    return shown;
}

inline QByteArray helpPictureHash(const QString &path)
{
    QFile file(path);
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!file.open(QIODevice::ReadOnly) || !hash.addData(&file))
        return {};
    return hash.result().toHex();
}

inline HelpPicture helpPictureOf(const QString &path, const QWidget *window)
{
    return { path.section(QLatin1Char('/'), -1), helpPictureHash(path),
        QString::fromLatin1(window->metaObject()->className()), helpTabsShown(window) };
}

// One line a picture, fields apart by tab characters:
// FILE  SHA256  WINDOW  CONTROL=TAB|TAB|...  (one field per tab control)
inline const char *const kHelpPicturesHeader
    = "# The help pictures as folioscope-helpshots made them (scripts/help-screenshots):\n"
      "# file, SHA-256, window, and each tab control's tabs. Not edited by hand.\n";

inline bool writeHelpPictures(const QString &path, const QList<HelpPicture> &pictures)
{
    QByteArray text(kHelpPicturesHeader);
    for (const HelpPicture &picture : pictures) {
        QStringList fields { picture.file, QString::fromLatin1(picture.sha256), picture.window };
        for (auto it = picture.tabs.cbegin(); it != picture.tabs.cend(); ++it)
            fields.append(it.key() + QLatin1Char('=') + it.value().join(QLatin1Char('|')));
        text += fields.join(QLatin1Char('\t')).toUtf8() + '\n';
    }
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(text) == text.size();
}

// The pictures recorded in `path`; empty with the reason in `error` when it cannot be read.
inline QList<HelpPicture> readHelpPictures(const QString &path, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = path + QStringLiteral(": ") + file.errorString();
        return {};
    }
    QList<HelpPicture> pictures;
    for (const QByteArray &line : file.readAll().split('\n')) {
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        const QStringList fields = QString::fromUtf8(line).split(QLatin1Char('\t'));
        if (fields.size() < 3) {
            *error = path + QStringLiteral(": a line without file, hash and window: ")
                + QString::fromUtf8(line);
            return {};
        }
        HelpPicture picture { fields[0], fields[1].toLatin1(), fields[2], {} };
        for (const QString &control : fields.mid(3))
            picture.tabs.insert(control.section(QLatin1Char('='), 0, 0),
                control.section(QLatin1Char('='), 1).split(QLatin1Char('|')));
        pictures.append(picture);
    }
    return pictures;
}
