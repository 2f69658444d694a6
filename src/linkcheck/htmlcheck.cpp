#include "linkcheck/htmlcheck.h"

#include "linkcheck/htmltree.h"
#include "linkcheck/linktext.h"

#include <algorithm>
#include <array>

namespace linkcheck {

namespace {

constexpr std::array<std::string_view, 19> kRuleIds = { "doctype", "stray-end-tag",
    "misnested-end-tag", "nested-same-element", "xml-instruction", "duplicate-attribute",
    "character-reference", "end-of-file", "self-closing-non-void", "parse-other",
    "duplicate-id", "obsolete-element", "obsolete-attribute", "img-alt",
    "missing-required-child", "missing-required-attribute", "element-not-allowed",
    "attribute-not-allowed", "heading-level" };

struct Placed {
    size_t offset;
    std::string_view rule;
    std::string message;
};

} // namespace

std::span<const std::string_view> htmlRuleIds()
{
    return kRuleIds;
}

bool isHtmlRuleId(std::string_view rule)
{
    return std::find(kRuleIds.begin(), kRuleIds.end(), rule) != kRuleIds.end();
}

std::vector<HtmlProblem> checkHtml(std::string_view text)
{
    std::vector<Placed> placed;
    bool full = false;
    html::TreeBuilder builder(text, [&](size_t offset, std::string_view rule, std::string message) {
        if (placed.size() < kMaxHtmlProblems - 1)
            placed.push_back({ offset, rule, std::move(message) });
        else if (!full)
            placed.push_back({ offset, "parse-other",
                "Too many problems: the rest of the page is not reported." });
        full = full || placed.size() >= kMaxHtmlProblems;
    });
    html::tokenize(text, builder);
    std::stable_sort(placed.begin(), placed.end(),
        [](const Placed &a, const Placed &b) { return a.offset < b.offset; });
    std::vector<HtmlProblem> problems;
    problems.reserve(placed.size());
    TextPositions positions(text);
    for (Placed &one : placed) {
        const TextPositions::Position at = positions.at(one.offset);
        problems.push_back(
            { at.line, at.column, one.rule == "heading-level", one.rule, std::move(one.message) });
    }
    return problems;
}

} // namespace linkcheck
