#include "formatter/tagrule.h"

namespace formatter {

RecTAGInfo DefaultTagRule()
{
    return RecTAGInfo();
}

void ResetTagCounters(TagRuleTable &table)
{
    for (RecTAGInfo &rule : table.rules) {
        rule.counter = 0;
        rule.counterStack.clear();
    }
}

} // namespace formatter
