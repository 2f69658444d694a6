#include "sitefiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

void writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(bytes);
}

QStringList gnuLines(const std::vector<linkcheck::BrokenLink> &links, const QString &folder)
{
    QStringList lines;
    for (const linkcheck::BrokenLink &link : links)
        lines.append(linkcheck::gnuLine(link).replace(folder + QLatin1Char('/'), QString()));
    return lines;
}

QStringList checkFolder(const QString &folder, linkcheck::CheckOptions options)
{
    linkcheck::SiteCheck check(options);
    check.check({ folder });
    return gnuLines(check.report(), folder);
}
