#include "folderview/folderlisting.h"
#include "folderview/listingvariant.h"

#include <algorithm>

using platform::PathStyle;

namespace folderview {

QList<FilterPair> parseFilterText(const QString &text)
{
    QList<FilterPair> pairs;
    if (!text.contains(QLatin1Char('|')))
        return pairs;
    const QStringList parts = text.split(QLatin1Char('|'));
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
        pairs.append({parts.at(i), parts.at(i + 1)});
    return pairs;
}

QString maskAt(const QList<FilterPair> &pairs, int index)
{
    if (index < 0 || index >= pairs.size())
        return QStringLiteral("*.*");
    return pairs.at(index).mask;
}

int findListIndex(const QStringList &names, const QString &name)
{
    for (qsizetype i = 0; i < names.size(); ++i)
        if (names.at(i).compare(name, Qt::CaseInsensitive) == 0)
            return int(i);
    return -1;
}

namespace {

void sortNames(QStringList &names)
{
    std::sort(names.begin(), names.end(), [](const QString &a, const QString &b) {
        const int order = a.compare(b, Qt::CaseInsensitive);
        return order != 0 ? order < 0 : a < b;
    });
}

} // namespace

QStringList listMatchingFiles(const QString &folder, const QString &mask)
{
    QStringList names = unsortedMatchingFiles(folder, platform::FileMask(mask));
    sortNames(names);
    return names;
}

QStringList listSubFolders(const QString &folder)
{
    QStringList names = unsortedSubFolders(folder);
    sortNames(names);
    return names;
}

} // namespace folderview
