#pragma once

#include "formatter/formathooks.h"
#include "formatter/styleoptions.h"
#include "formatter/tagrule.h"
#include "formatter/tokenlists.h"

#include <QStringView>

namespace formatter {

// Cuts HTML source (line breaks already LF) into token lines: text runs with their inline
// tags, own-line tags, and verbatim blocks whose lines are kept untouched. Tag names take
// the letter case of options.tagCase. Each token line goes to sink as soon as it is made.
// Linear in the length of the source; the progress hooks see positions in the source.
void TokenizeSource(QStringView source, const StyleOptions &options, const TagRuleTable &rules,
    const FormatHooks &hooks, TokenSink &sink);

// The same, keeping all token lines.
TokenLists TokenizeSource(QStringView source, const StyleOptions &options,
    const TagRuleTable &rules, const FormatHooks &hooks = {});

} // namespace formatter
