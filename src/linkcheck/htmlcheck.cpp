#include "linkcheck/htmlcheck.h"

#include "linkcheck/htmltree.h"
#include "linkcheck/linktext.h"

#include <algorithm>
#include <array>

namespace linkcheck {

namespace {

struct Rule {
    std::string_view id;
    std::string_view description;
};

constexpr Rule kRules[] = {
    { "doctype", "No doctype before the first tag, or another doctype than <!DOCTYPE html>" },
    { "stray-end-tag", "An end tag with no open element of its name in scope" },
    { "misnested-end-tag", "An end tag that closes other open elements, or elements left open" },
    { "nested-same-element", "An element that may not nest in itself opened inside itself" },
    { "xml-instruction", "An XML processing instruction (<?...>) in HTML" },
    { "duplicate-attribute", "The same attribute twice on a tag" },
    { "character-reference", "A character reference without ';', unknown, or to a forbidden "
                             "code point" },
    { "end-of-file", "The file ends inside a tag, comment, attribute value or raw text" },
    { "self-closing-non-void", "Self-closing syntax (/>) on an element that is not void" },
    { "parse-other", "Another parse error of the HTML parsing algorithm" },
    { "duplicate-id", "The same id twice in a page" },
    { "obsolete-element", "An element the HTML standard lists as obsolete" },
    { "obsolete-attribute", "An attribute the HTML standard lists as obsolete on its element" },
    { "img-alt", "An img without alt" },
    { "missing-required-child", "An element without a child its content model requires" },
    { "missing-required-attribute", "An element without an attribute it must have" },
    { "element-not-allowed", "An element or text where its parent's content model does not "
                             "allow it" },
    { "attribute-not-allowed", "An attribute not defined for its element" },
    { "heading-level", "A heading that skips a level after the previous one" },
};

constexpr std::array<std::string_view, std::size(kRules)> kRuleIds = [] {
    std::array<std::string_view, std::size(kRules)> ids;
    for (size_t i = 0; i < ids.size(); ++i)
        ids[i] = kRules[i].id;
    return ids;
}();

struct Placed {
    size_t offset;
    std::string_view rule;
    std::string message;
    bool warning;
};

} // namespace

std::span<const std::string_view> htmlRuleIds()
{
    return kRuleIds;
}

std::string_view htmlRuleDescription(std::string_view rule)
{
    for (const Rule &one : kRules)
        if (one.id == rule)
            return one.description;
    return {};
}

bool isHtmlRuleId(std::string_view rule)
{
    return std::find(kRuleIds.begin(), kRuleIds.end(), rule) != kRuleIds.end();
}

std::vector<HtmlProblem> checkHtml(std::string_view text)
{
    std::vector<Placed> placed;
    bool full = false;
    html::TreeBuilder builder(text, [&](size_t offset, std::string_view rule, std::string message, bool warning) {
        if (placed.size() < kMaxHtmlProblems - 1)
            placed.push_back({ offset, rule, std::move(message), warning });
        else if (!full)
            placed.push_back({ offset, "parse-other",
                "Too many problems: the rest of the page is not reported.", false });
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
            { at.line, at.column, one.warning, one.rule, std::move(one.message) });
    }
    return problems;
}

} // namespace linkcheck
