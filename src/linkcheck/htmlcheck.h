#pragma once

// The HTML errors of a page: the parse errors of the HTML5 parsing algorithm and the content
// rules of the HTML standard, each with a rule id that reports and ignore lists name.
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace linkcheck {

struct HtmlProblem {
    int line = 0; // 1-based, at the first character of the tag, attribute or reference
    int column = 0; //   (columns count characters)
    bool warning = false;
    std::string_view rule; // one of htmlRuleIds()
    std::string message; // names the element and attribute, in “quotes”

    friend bool operator==(const HtmlProblem &, const HtmlProblem &) = default;
};

// Every rule id, parse errors first.
std::span<const std::string_view> htmlRuleIds();
bool isHtmlRuleId(std::string_view rule);
// What the rule is about, in a line; empty for an unknown rule.
std::string_view htmlRuleDescription(std::string_view rule);

// A page can hold no more problems than this; the last one says the rest were left out.
constexpr size_t kMaxHtmlProblems = 1000;

// `text` is UTF-8. Sorted by line and column.
std::vector<HtmlProblem> checkHtml(std::string_view text);

} // namespace linkcheck
