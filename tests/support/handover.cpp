#include "support/handover.h"

#include "platform/filenames.h"
#include "platform/safefile.h"

#include <QDesktopServices>
#include <QElapsedTimer>
#include <QFile>
#include <QTest>

#include <gtest/gtest.h>

#include <sys/stat.h>

void writeArgumentRecorder(const QString &path)
{
    QFile script;
    QString error;
    ASSERT_TRUE(platform::openFileForWriting(script, path, &error)) << error.toStdString();
    script.write("#!/bin/sh\nout=\"$(dirname \"$0\")/args.$$\"\n"
                 "for a in \"$@\"; do printf '%s\\0' \"$a\"; done > \"$out.tmp\"\n"
                 "mv \"$out.tmp\" \"$(dirname \"$0\")/args\"\n");
    script.close();
    ASSERT_EQ(::chmod(platform::encodeFilePath(path).constData(), 0755), 0);
}

QList<QByteArray> recordedArguments(const QString &folder)
{
    const QString args = folder + QStringLiteral("/args");
    QElapsedTimer timer;
    timer.start();
    while (platform::fileState(args).kind != platform::FileState::Regular
        && timer.elapsed() < 10000)
        QTest::qWait(20);
    QByteArray bytes;
    QString error;
    if (!platform::readRegularFile(args, 1 << 20, &bytes, &error))
        return {};
    platform::removeFileAt(args);
    QList<QByteArray> words = bytes.split('\0');
    words.removeLast(); // after the last NUL
    return words;
}

namespace {
const char *const kSchemes[] = { "file", "https", "http" };
}

UrlRecorder::UrlRecorder()
{
    for (const char *scheme : kSchemes)
        QDesktopServices::setUrlHandler(QLatin1String(scheme), this, "open");
}

UrlRecorder::~UrlRecorder()
{
    for (const char *scheme : kSchemes)
        QDesktopServices::unsetUrlHandler(QLatin1String(scheme));
}

void UrlRecorder::open(const QUrl &url)
{
    opened.append(url.toEncoded());
}
