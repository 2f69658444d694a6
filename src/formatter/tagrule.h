#pragma once

#include <QList>
#include <QString>

namespace formatter {

// One rule of tag.ini: how the element of one tag is laid out.
struct RecTAGInfo {
    static constexpr qsizetype kMaxNameLength = 20;
    static constexpr qsizetype kMaxTagKeyLength = 20;
    static constexpr qsizetype kMaxCommentTextLength = 30;
    static constexpr qsizetype kMaxSymbolLength = 1;

    QString name;
    bool treatAsText = false;
    QString tagOpen; // in TagKey form, such as "<TABLE>"
    QString tagClose; // such as "</TABLE>"; "</H>" also stands for "</H1>" to "</H6>" inline
    int isSelfIndent = 0;
    int isContentIndent = 0;
    int crlfLeading = 0;
    int crlfFollowed = 0;
    bool doGenerateSComment = false;
    bool doGenerateEComment = false;
    QString startComment;
    QString endComment;
    int commentLength = 40;
    QString commentSymbol = QStringLiteral("*");
    bool cindent = true;
    bool enableCounter = false;
    int counter = 0;
    // Numbers of the elements still open, each as ";" followed by the number.
    QString counterStack;
    // Position in the table from 1; 0 is the default rule.
    int index = 0;
};

// The rule every tag gets that no rule of the table names.
RecTAGInfo DefaultTagRule();

// The rules of tag.ini in file order; lookups take the first that matches.
struct TagRuleTable {
    static constexpr qsizetype kCapacity = 100;

    QList<RecTAGInfo> rules;

    qsizetype count() const { return rules.size(); }
    // The rule with the given index (from 1).
    RecTAGInfo &rule(int index) { return rules[index - 1]; }
    const RecTAGInfo &rule(int index) const { return rules.at(index - 1); }
};

void ResetTagCounters(TagRuleTable &table);

} // namespace formatter
