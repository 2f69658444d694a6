#include "replace/replaceoptions.h"

#include <QStringList>

namespace replace {

bool parseScope(const QString &text, Scope *scope, QString *attribute)
{
    attribute->clear();
    if (text == u"all") {
        *scope = Scope::All;
    } else if (text == u"text") {
        *scope = Scope::Text;
    } else if (text == u"tags") {
        *scope = Scope::Tags;
    } else if (text == u"attributes" || text.startsWith(u"attributes=")) {
        *scope = Scope::Attributes;
        *attribute = text.mid(11);
        if (text.size() > 10 && attribute->isEmpty())
            return false;
    } else {
        return false;
    }
    return true;
}

QString scopeText(Scope scope, const QString &attribute)
{
    switch (scope) {
    case Scope::All:
        break;
    case Scope::Text:
        return QStringLiteral("text");
    case Scope::Attributes:
        return attribute.isEmpty() ? QStringLiteral("attributes")
                                   : QStringLiteral("attributes=") + attribute;
    case Scope::Tags:
        return QStringLiteral("tags");
    }
    return QStringLiteral("all");
}

QString describeReplace(const ReplaceOptions &options)
{
    QStringList flags;
    if (options.regex)
        flags << QStringLiteral("regex");
    if (options.matchCase)
        flags << QStringLiteral("case");
    if (options.wholeWords)
        flags << QStringLiteral("words");
    flags << scopeText(options.scope, options.attribute);
    return QStringLiteral("\"%1\" -> \"%2\" (%3)")
        .arg(options.find, options.with, flags.join(QStringLiteral(", ")));
}

} // namespace replace
