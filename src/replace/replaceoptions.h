#pragma once

#include <QString>

namespace replace {

// What a replace may touch in a page.
enum class Scope {
    All, // the bytes of the file as they are
    Text, // text between tags: not comments, scripts or styles
    Attributes, // attribute values, of every attribute or of the one named
    Tags, // the names of tags and attributes
};

struct ReplaceOptions {
    QString find;
    // Plain text, or with `regex` "\1".."\9" for groups, "\0" for the match, "\n", "\t", "\\".
    QString with;
    bool regex = false; // a QRegularExpression
    bool matchCase = false;
    bool wholeWords = false;
    Scope scope = Scope::All;
    QString attribute; // Scope::Attributes: only the values of this attribute (empty: all)
};

// "all", "text", "attributes", "attributes=NAME" or "tags"; false for anything else.
bool parseScope(const QString &text, Scope *scope, QString *attribute);
// The same words back, as the batch tool and the dialog show a scope.
QString scopeText(Scope scope, const QString &attribute);

// One line naming a replace: "find" -> "with" (regex, case, words; scope).
QString describeReplace(const ReplaceOptions &options);

} // namespace replace
