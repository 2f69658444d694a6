#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>
#include <QUrl>

// What the program hands to other programs, seen from their side.

// A program that writes the arguments it receives, each ended by a NUL byte, into "args"
// beside itself: what another program is really handed. The folder may have a name that is
// not UTF-8 (paths as the program shows them, found by their bytes).
void writeArgumentRecorder(const QString &path);

// The arguments the recorder in `folder` received, after waiting up to 10 s for them; the
// record is removed, so the next launch is seen afresh. Empty when none came.
QList<QByteArray> recordedArguments(const QString &folder);

// Stands in for the desktop's opener while it lives: records the addresses that
// QDesktopServices::openUrl is given for files and web pages, as the opener gets them
// (url.toEncoded(), which Qt hands to xdg-open).
class UrlRecorder : public QObject
{
    Q_OBJECT

public:
    UrlRecorder();
    ~UrlRecorder() override;
    UrlRecorder(const UrlRecorder &) = delete;
    UrlRecorder &operator=(const UrlRecorder &) = delete;

    QList<QByteArray> opened;

public Q_SLOTS:
    void open(const QUrl &url);
};
