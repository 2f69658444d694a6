#pragma once

#include "formatter/resultwriter.h"
#include "formatter/runcontext.h"
#include "formatter/styleoptions.h"
#include "formatter/tagrule.h"

#include <QDateTime>
#include <QStringList>

namespace formatter {

enum class TagKind { Opening, Closing };

// Limits that keep hostile pages and style files from blowing up the output; ordinary
// pages and styles stay far below them.
inline constexpr qsizetype kMaxIndentWidth = 256;
inline constexpr int kMaxBlankLines = 99;
inline constexpr qsizetype kMaxCommentFill = 500;

// Cuts a text line into pieces of at most lineSize characters, each ending at a space
// that is not protected (inside a double-quoted value when breakExcluder is one double
// quote, else inside a tag); the end of the line counts as such a space. A piece without a
// usable space stays long.
QStringList WrapLine(QStringView line, int lineSize, QStringView breakExcluder);

// The start (Opening) or end (Closing) section comment of an element of the given rule, or
// an empty text for none. Running numbers are kept in the rule's counter and counter stack.
QString SectionComment(RecTAGInfo &rule, TagKind kind, const StyleOptions &options);

// The comment a whole-document run puts on top; empty when it is to show nothing.
QString SignatureComment(
    const StyleOptions &options, const QString &styleName, const QDateTime &now);

// The format mode: tokenizes the source (line breaks already LF) and lays the token lines
// out, as they come, into indented and wrapped lines of out.
void FormatTokens(QStringView source, const StyleOptions &options, TagRuleTable &rules,
    const RunContext &context, ResultWriter &out);

} // namespace formatter
