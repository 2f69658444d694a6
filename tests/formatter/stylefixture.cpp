#include "stylefixture.h"
#include "support/testfiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

} // namespace

formatter::Style styleFrom(
    const QByteArray &tagIni, const QByteArray &optionsIni, const QByteArray &trimIni)
{
    QTemporaryDir dir;
    const QString styleFolder = dir.filePath(QStringLiteral("STYLES/THUMBS"));
    QDir().mkpath(styleFolder);
    if (!optionsIni.isEmpty())
        writeFile(styleFolder + QStringLiteral("/options.ini"), "[OPTIONS]\n" + optionsIni);
    if (!tagIni.isEmpty())
        writeFile(styleFolder + QStringLiteral("/tag.ini"), tagIni);
    if (!trimIni.isEmpty())
        writeFile(dir.filePath(QStringLiteral("trim.ini")), "[TRIMTAGS]\n" + trimIni);
    formatter::Style style;
    style.options.lineSize = 80;
    style.options.spacing = 2;
    formatter::LoadStyle(style, dir.path(), QStringLiteral("default"));
    formatter::LoadTrimTags(style, dir.path());
    return style;
}

QString shippedProgramFolder()
{
    return QCoreApplication::applicationDirPath();
}

formatter::Style shippedStyle()
{
    formatter::Style style;
    style.options.lineSize = 80;
    style.options.spacing = 2;
    formatter::LoadStyle(style, shippedProgramFolder(), QStringLiteral("default"));
    formatter::LoadTrimTags(style, shippedProgramFolder());
    formatter::ResetTagCounters(style.rules);
    return style;
}
