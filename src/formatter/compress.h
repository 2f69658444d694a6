#pragma once

#include "formatter/runcontext.h"
#include "formatter/style.h"
#include "formatter/styleoptions.h"
#include "formatter/tokenlists.h"

#include <QStringList>

namespace formatter {

// Joins the token lines into long lines; verbatim blocks other than comments stand on lines
// of their own, comments are dropped (DoPurgeComments) or kept inside the long line.
QStringList CompressTokens(const TokenLists &tokens, const StyleOptions &options,
                           const RunContext &context);

// Removes the whitespace just inside the elements that trim.ini names; everything else of
// the source (line breaks already LF) is copied unchanged. Works without the tokenizer.
QStringList TrimSource(QStringView source, const TrimTagList &trimTags,
                       const FormatHooks &hooks = {});

} // namespace formatter
