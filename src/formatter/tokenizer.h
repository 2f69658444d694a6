#pragma once

#include "formatter/formathooks.h"
#include "formatter/styleoptions.h"
#include "formatter/tagrule.h"
#include "formatter/tokenlists.h"

#include <QStringView>

namespace formatter {

// Cuts HTML source (line breaks already LF) into token lines: text runs with their inline
// tags, own-line tags, and markers of verbatim blocks whose lines are kept apart untouched.
// Tag names take the letter case of options.tagCase. Linear in the length of the source.
TokenLists TokenizeSource(QStringView source, const StyleOptions &options,
                          const TagRuleTable &rules, const FormatHooks &hooks = {});

} // namespace formatter
