#include "engine/fontfamilies.h"

#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>
#include <QRegularExpression>
#include <QSet>

namespace engine {

QString familyWithoutFoundry(const QString &name)
{
    static const QRegularExpression foundry(QStringLiteral("\\s+\\[[^\\[\\]]*\\]$"));
    QString plain = name;
    plain.remove(foundry);
    return plain;
}

QStringList engineFontFamilies()
{
    QStringList families;
    QSet<QString> seen;
    for (const QString &family : QFontDatabase::families()) {
        const QString plain = familyWithoutFoundry(family);
        if (!seen.contains(plain.toCaseFolded())) {
            seen.insert(plain.toCaseFolded());
            families.append(plain);
        }
    }
    families.sort(Qt::CaseInsensitive);
    return families;
}

QString engineFamily(const QString &name)
{
    const QString plain = familyWithoutFoundry(name);
    // The engine takes only installed families and otherwise falls back to its sans-serif
    // font; the platform's substitute keeps a missing "Times New Roman" a serif font.
    if (plain.isEmpty() || QFontDatabase::hasFamily(plain))
        return plain;
    return familyWithoutFoundry(QFontInfo(QFont(plain)).family());
}

} // namespace engine
