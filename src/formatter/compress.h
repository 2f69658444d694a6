#pragma once

#include "formatter/formathooks.h"
#include "formatter/resultwriter.h"
#include "formatter/runcontext.h"
#include "formatter/style.h"
#include "formatter/styleoptions.h"

namespace formatter {

// The compress mode: tokenizes the source (line breaks already LF) and joins the token lines
// into long lines of out; verbatim blocks other than comments stand on lines of their own,
// comments are dropped (DoPurgeComments) or kept inside the long line.
void CompressTokens(QStringView source, const StyleOptions &options, const TagRuleTable &rules,
    const RunContext &context, ResultWriter &out);

// The trim mode: removes the whitespace just inside the elements that trim.ini names;
// everything else of the source (line breaks already LF) goes to out unchanged. Works
// without the tokenizer.
void TrimSource(
    QStringView source, const TrimTagList &trimTags, const FormatHooks &hooks, ResultWriter &out);

} // namespace formatter
