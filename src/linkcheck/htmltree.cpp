#include "linkcheck/htmltree.h"

#include <algorithm>

namespace linkcheck::html {

namespace {

constexpr size_t npos = std::string::npos;
// Scope searches look this deep at most: 200,000 nested elements must not make each end tag
// walk them all.
constexpr size_t kMaxWalk = 4096;

// The later of two places on the stack, either of them missing.
size_t innermost(size_t a, size_t b)
{
    return a == npos ? b : b == npos ? a : std::max(a, b);
}

bool is(const ElementRule *rule, unsigned category)
{
    return rule && (rule->categories & category);
}

bool isOneOf(std::string_view name, std::string_view names)
{
    return hasWord(names, name);
}

// Foreign elements whose content is HTML again.
bool isIntegrationPoint(std::string_view name)
{
    return isOneOf(name, "mi mo mn ms mtext annotation-xml foreignobject desc title");
}

std::string stray(std::string_view kind, std::string_view name)
{
    return "Stray " + std::string(kind) + " tag " + quoted(name) + ".";
}

} // namespace

TreeBuilder::TreeBuilder(std::string_view text, ProblemSink problems)
    : m_text(text)
    , m_problems(std::move(problems))
    , m_openRuleCount(elementRuleCount(), 0)
    , m_idPositions(text)
{
    Tag html;
    html.name = "html";
    push(html, html.name, false);
}

void TreeBuilder::problem(size_t offset, std::string_view rule, std::string message)
{
    m_problems(offset, rule, std::move(message), rule == "heading-level");
}

void TreeBuilder::checkDoctypeSeen(size_t offset, bool tag)
{
    if (m_sawContent)
        return;
    m_sawContent = true;
    if (!m_sawDoctype)
        problem(offset, "doctype",
            tag ? "Start tag seen without seeing a doctype first. Expected “<!DOCTYPE html>”."
                : "Non-space characters found without seeing a doctype first. Expected "
                  "“<!DOCTYPE html>”.");
}

void TreeBuilder::doctype(size_t offset, std::string_view text)
{
    if (m_sawDoctype || m_sawContent) {
        problem(offset, "parse-other", "Stray doctype.");
        return;
    }
    m_sawDoctype = true;
    std::string words;
    for (char c : text)
        words += c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c == '\'' ? '"' : c;
    const auto first = words.find_first_not_of(" \t\n\r\f");
    words = first == npos ? "" : words.substr(first);
    words.erase(words.find_last_not_of(" \t\n\r\f") + 1);
    if (words == "html" || words == "html system \"about:legacy-compat\"")
        return;
    const bool almost = words.find("transitional") != npos || words.find("frameset") != npos;
    const bool obsolete = words.find("strict") != npos || words.find("xhtml 1.1") != npos;
    const bool system = words.find("http://www.w3.org/tr/") != npos;
    problem(offset, "doctype",
        almost && system ? "Almost standards mode doctype. Expected “<!DOCTYPE html>”."
            : obsolete   ? "Obsolete doctype. Expected “<!DOCTYPE html>”."
                         : "Quirky doctype. Expected “<!DOCTYPE html>”.");
}

void TreeBuilder::comment(size_t) { }

bool TreeBuilder::inForeignContent() const
{
    return m_stack.back().foreign;
}

bool TreeBuilder::current(std::string_view name) const
{
    return !m_stack.back().foreign && m_stack.back().name == name;
}

int &TreeBuilder::openCount(std::string_view name)
{
    if (const ElementRule *rule = elementRule(name))
        return m_openRuleCount[elementIndex(rule)];
    const auto found = m_openCount.find(name);
    return found != m_openCount.end() ? found->second : m_openCount[std::string(name)];
}

bool TreeBuilder::isOpen(std::string_view name) const
{
    if (const ElementRule *rule = elementRule(name))
        return m_openRuleCount[elementIndex(rule)] > 0;
    const auto found = m_openCount.find(name);
    return found != m_openCount.end() && found->second > 0;
}

bool TreeBuilder::inTableContext() const
{
    const Open &node = m_stack.back();
    return !node.foreign && node.rule
        && (node.name == "table"
            || (is(node.rule, TablePart) && !is(node.rule, ScopeBoundary) && node.name != "colgroup"));
}

size_t TreeBuilder::findInScope(std::string_view name, unsigned boundaries, std::string_view extra) const
{
    if (!isOpen(name))
        return npos;
    for (size_t i = m_stack.size(), walked = 0; i > 0 && walked < kMaxWalk; --i, ++walked) {
        const Open &node = m_stack[i - 1];
        if (!node.foreign && node.name == name)
            return i - 1;
        if (node.foreign ? isIntegrationPoint(node.name)
                         : is(node.rule, boundaries) || isOneOf(node.name, extra))
            return npos;
    }
    return npos;
}

void TreeBuilder::push(const Tag &tag, const std::string &name, bool foreign)
{
    Open open;
    open.name = name;
    open.offset = tag.offset;
    open.foreign = foreign;
    open.rule = foreign ? nullptr : elementRule(name);
    if (!m_stack.empty()) {
        const Open &parent = m_stack.back();
        open.model = open.rule ? open.rule->model : Model::Any;
        open.children = open.rule ? open.rule->children : std::string_view();
        if (open.model == Model::Transparent) {
            open.model = parent.model;
            open.inherited = parent.children;
        }
        if (name == "div" && !parent.foreign && parent.name == "dl") {
            open.model = Model::Children;
            open.children = "dt dd";
        }
    }
    ++openCount(name);
    m_stack.push_back(std::move(open));
}

void TreeBuilder::pushImplied(std::string_view name, size_t offset)
{
    Tag tag;
    tag.name = name;
    tag.offset = offset;
    push(tag, tag.name, false);
}

void TreeBuilder::pop(size_t offset)
{
    const Open &element = m_stack.back();
    checkClosed(element, offset);
    --openCount(element.name);
    if (m_fosterDepth == m_stack.size())
        m_fosterDepth = 0;
    m_stack.pop_back();
}

void TreeBuilder::generateImpliedEnds(size_t offset, std::string_view except)
{
    while (m_stack.size() > 1 && is(m_stack.back().rule, ImpliedEnd) && !m_stack.back().foreign
        && m_stack.back().name != except)
        pop(offset);
}

void TreeBuilder::closeParagraph(size_t offset)
{
    const size_t p = findInScope("p", ScopeBoundary, "button");
    if (p == npos)
        return;
    Tag tag;
    tag.name = "p";
    tag.offset = offset;
    closeTo(p, tag, true);
}

// Pops the elements above `index` and it; those that needed an end tag are reported.
void TreeBuilder::closeTo(size_t index, const Tag &tag, bool report)
{
    const bool tablePart = is(m_stack[index].rule, TablePart) || m_stack[index].name == "table";
    std::vector<const Open *> unclosed;
    for (size_t i = m_stack.size() - 1; i > index; --i) {
        const Open &node = m_stack[i];
        const bool silent = !node.foreign
            && (is(node.rule, ImpliedEnd) || (tablePart && is(node.rule, TablePart)));
        if (!silent)
            unclosed.push_back(&node);
    }
    if (report && !unclosed.empty()) {
        problem(tag.offset, "misnested-end-tag",
            "End tag " + quoted(tag.name) + " seen, but there were open elements.");
        for (const Open *node : unclosed)
            problem(node->offset, "misnested-end-tag", "Unclosed element " + quoted(node->name) + ".");
    }
    for (const Open *node : unclosed)
        if (is(node->rule, Formatting) && m_reopen.size() < 64) {
            Tag again;
            again.name = node->name;
            again.offset = node->offset;
            m_reopen.push_back(std::move(again));
        }
    while (m_stack.size() > index)
        pop(tag.offset);
}

// Formatting elements that misnesting closed are opened again before the next text or
// phrasing element, as the parser reconstructs them.
void TreeBuilder::reopenFormatting(size_t offset)
{
    if (m_reopen.empty() || inTableContext())
        return;
    std::vector<Tag> again;
    again.swap(m_reopen);
    for (auto it = again.rbegin(); it != again.rend(); ++it) {
        it->offset = offset; // opened again here, by the parser
        push(*it, it->name, false);
    }
}

void TreeBuilder::leaveHead(size_t offset)
{
    if (m_mode == Mode::BeforeHead) {
        pushImplied("head", offset);
        m_mode = Mode::InHead;
    }
    if (m_mode == Mode::InHead) {
        while (m_stack.size() > 1 && !current("head") && isOpen("head"))
            pop(offset);
        if (current("head"))
            pop(offset);
        m_mode = Mode::AfterHead;
    }
}

void TreeBuilder::enterBody(size_t offset)
{
    leaveHead(offset);
    if (m_mode == Mode::AfterHead) {
        pushImplied("body", offset);
        m_mode = Mode::InBody;
    }
}

bool TreeBuilder::tag(const Tag &tag)
{
    if (tag.end) {
        endTag(tag);
        return false;
    }
    return startTag(tag);
}

bool TreeBuilder::leavesForeign(const Tag &tag) const
{
    if (tag.name == "font")
        return std::any_of(tag.attributes.begin(), tag.attributes.end(), [](const TagAttribute &a) {
            return a.name == "color" || a.name == "face" || a.name == "size";
        });
    return isOneOf(tag.name,
        "b big blockquote body br center code dd div dl dt em embed h1 h2 h3 h4 h5 h6 head hr i "
        "img li listing menu meta nobr ol p pre ruby s small span strong strike sub sup table tt "
        "u ul var");
}

void TreeBuilder::foreignStartTag(const Tag &tag)
{
    if (!tag.selfClosing)
        push(tag, tag.name, true);
}

bool TreeBuilder::startTag(const Tag &tag)
{
    if (inForeignContent() && !isIntegrationPoint(m_stack.back().name)) {
        if (!leavesForeign(tag)) {
            foreignStartTag(tag);
            return false;
        }
        problem(tag.offset, "parse-other",
            "HTML start tag " + quoted(tag.name) + " in a foreign namespace context.");
        while (m_stack.size() > 1 && inForeignContent() && !isIntegrationPoint(m_stack.back().name))
            pop(tag.offset);
    }
    checkDoctypeSeen(tag.offset, true);
    std::string name = tag.name;
    if (name == "image") {
        problem(tag.offset, "parse-other", "Saw a start tag “image”.");
        name = "img";
    }
    const ElementRule *rule = elementRule(name);
    if (tag.selfClosing && !is(rule, Void) && name != "svg" && name != "math")
        problem(tag.offset, "self-closing-non-void",
            "Self-closing syntax (“/>”) used on a non-void HTML element. Ignoring the slash and "
            "treating as a start tag.");
    return htmlStartTag(tag, name);
}

bool TreeBuilder::htmlStartTag(const Tag &tag, const std::string &name)
{
    if (name == "html") {
        if (m_sawHtmlTag || m_stack.size() > 1)
            problem(tag.offset, "parse-other", stray("start", name));
        else
            checkAttributes(tag, name, elementRule(name));
        m_sawHtmlTag = true;
        return false;
    }
    if (m_mode != Mode::InBody && m_mode != Mode::AfterBody)
        return headAndBody(tag, name);
    if (m_mode == Mode::AfterBody) {
        problem(tag.offset, "parse-other", stray("start", name));
        m_mode = Mode::InBody;
    }
    if (name == "head" || name == "body") {
        problem(tag.offset, "parse-other",
            name == "head" ? stray("start", name)
                           : "“body” start tag found but the “body” element is already open.");
        return false;
    }
    if (isOpen("select") && !isOpen("template"))
        return selectStartTag(tag, name);
    return tableStartTag(tag, name);
}

bool TreeBuilder::headAndBody(const Tag &tag, const std::string &name)
{
    constexpr std::string_view headOnly = "base basefont bgsound link meta noframes script style "
                                          "template title noscript";
    if (name == "head" && m_mode == Mode::BeforeHead) {
        push(tag, name, false);
        m_mode = Mode::InHead;
        return false;
    }
    if (name == "head") {
        problem(tag.offset, "parse-other", stray("start", name));
        return false;
    }
    if (isOneOf(name, headOnly) && m_mode != Mode::AfterHead) {
        if (m_mode == Mode::BeforeHead) {
            pushImplied("head", tag.offset);
            m_mode = Mode::InHead;
        }
        return bodyStartTag(tag, name);
    }
    if (isOneOf(name, headOnly) && name != "noscript") {
        problem(tag.offset, "parse-other",
            quoted(name) + " element between “head” and “body”.");
        const bool opened = !is(elementRule(name), Void);
        if (opened)
            push(tag, name, false);
        return opened;
    }
    if (name == "body") {
        leaveHead(tag.offset);
        checkElement(tag, name, &m_stack.back());
        push(tag, name, false);
        m_mode = Mode::InBody;
        return false;
    }
    enterBody(tag.offset);
    return tableStartTag(tag, name);
}

bool TreeBuilder::selectStartTag(const Tag &tag, const std::string &name)
{
    if (isOneOf(name, "option optgroup hr script template")) {
        if (name != "script" && name != "template" && current("option"))
            pop(tag.offset);
        if (name != "option" && name != "script" && name != "template" && current("optgroup"))
            pop(tag.offset);
        return bodyStartTag(tag, name);
    }
    if (isOneOf(name, "input keygen textarea select")) {
        problem(tag.offset, "parse-other",
            name == "select" ? "“select” start tag where end tag expected."
                             : stray("start", name));
        while (m_stack.size() > 1 && !current("select"))
            pop(tag.offset);
        pop(tag.offset);
        return name == "select" ? false : tableStartTag(tag, name);
    }
    problem(tag.offset, "parse-other", stray("start", name));
    return false;
}

bool TreeBuilder::tableStartTag(const Tag &tag, const std::string &name)
{
    constexpr std::string_view tableParts = "caption col colgroup tbody td tfoot th thead tr";
    if (isOneOf(name, tableParts) && findInScope("table", 0, "html table template") == npos) {
        problem(tag.offset, "parse-other", stray("start", name));
        return false;
    }
    if (isOneOf(name, tableParts)) {
        // A new row or cell closes the open cell; a new section the open row.
        const size_t cell = innermost(findInScope("td", 0, "html table template"),
            findInScope("th", 0, "html table template"));
        if (cell != npos)
            closeTo(cell, Tag { m_stack[cell].name, true, false, tag.offset, {} }, true);
        if (name != "col" && current("colgroup"))
            pop(tag.offset);
        if (isOneOf(name, "caption colgroup col tbody thead tfoot"))
            while (m_stack.size() > 1 && isOneOf(m_stack.back().name, "tr tbody thead tfoot caption colgroup"))
                pop(tag.offset);
        if (name == "tr")
            while (m_stack.size() > 1 && current("tr"))
                pop(tag.offset);
        if ((name == "td" || name == "th") && current("table"))
            pushImplied("tbody", tag.offset);
        if ((name == "td" || name == "th") && !current("tr"))
            pushImplied("tr", tag.offset);
        if (name == "tr" && current("table"))
            pushImplied("tbody", tag.offset);
        if (name == "col" && current("table"))
            pushImplied("colgroup", tag.offset);
        return bodyStartTag(tag, name);
    }
    if (inTableContext() && !isOneOf(name, "script style template input form")) {
        if (name == "table") {
            problem(tag.offset, "parse-other",
                "Start tag “table” seen but the previous “table” is still open.");
            closeTo(findInScope("table", 0, "html table template"), tag, false);
            return bodyStartTag(tag, name);
        }
        problem(tag.offset, "parse-other", "Start tag " + quoted(name) + " seen in “table”.");
        if (m_fosterDepth == 0) {
            m_fosterDepth = m_stack.size() + 1;
            size_t below = m_stack.size() - 1;
            while (below > 0 && (is(m_stack[below].rule, TablePart) || m_stack[below].name == "table"))
                --below;
            m_fosterBelow = below;
        }
    }
    return bodyStartTag(tag, name);
}

void TreeBuilder::listItem(const std::string &name)
{
    const std::string_view same = name == "li" ? "li" : "dd dt";
    for (size_t i = m_stack.size(), walked = 0; i > 0 && walked < kMaxWalk; --i, ++walked) {
        const Open &node = m_stack[i - 1];
        if (!node.foreign && isOneOf(node.name, same)) {
            Tag end { node.name, true, false, m_stack.back().offset, {} };
            closeTo(i - 1, end, false);
            return;
        }
        if (node.foreign || (is(node.rule, Special) && !isOneOf(node.name, "address div p")))
            return;
    }
}

void TreeBuilder::closeForReopening(const std::string &name)
{
    m_reopen.erase(std::remove_if(m_reopen.begin(), m_reopen.end(),
                       [&](const Tag &tag) { return tag.name == name; }),
        m_reopen.end());
}

bool TreeBuilder::reopens(std::string_view name) const
{
    return std::any_of(m_reopen.begin(), m_reopen.end(), [&](const Tag &tag) { return tag.name == name; });
}

// A link closed by misnesting is still among the formatting elements: the parser looks for
// it to close it, and does not find it in scope.
void TreeBuilder::forgetClosedLink(const Tag &tag, const std::string &name)
{
    if (name != "a" || isOpen("a") || !reopens("a"))
        return;
    problem(tag.offset, "nested-same-element",
        "Start tag “a” seen but an element of the same type was already open.");
    problem(tag.offset, "stray-end-tag", "No “a” element in scope but a “a” end tag seen.");
    closeForReopening(name);
}

// a in a, button in button, nobr in nobr close the one open; form in form is ignored (false).
bool TreeBuilder::closeSameElement(const Tag &tag, const std::string &name)
{
    if (name == "form" && isOpen("form") && !isOpen("template")) {
        problem(tag.offset, "nested-same-element",
            "Saw a “form” start tag, but there was already an active “form” element. Nested "
            "forms are not allowed. Ignoring the tag.");
        return false;
    }
    const bool sameOpen = (name == "a" && isOpen("a"))
        || (name == "button" && findInScope("button", ScopeBoundary) != npos)
        || (name == "nobr" && findInScope("nobr", ScopeBoundary) != npos);
    if (!sameOpen)
        return true;
    problem(tag.offset, "nested-same-element",
        "Start tag " + quoted(name) + " seen but an element of the same type was already open.");
    for (size_t i = m_stack.size(); i > 1; --i)
        if (m_stack[i - 1].name == name) {
            closeTo(i - 1, tag, false);
            break;
        }
    closeForReopening(name);
    return true;
}

bool TreeBuilder::bodyStartTag(const Tag &tag, const std::string &name)
{
    const ElementRule *rule = elementRule(name);
    forgetClosedLink(tag, name);
    if (is(rule, ClosesParagraph))
        closeParagraph(tag.offset);
    else
        reopenFormatting(tag.offset);
    if (is(rule, Heading) && name != "hgroup" && is(m_stack.back().rule, Heading)
        && m_stack.back().name != "hgroup") {
        problem(tag.offset, "parse-other", "Heading cannot be a child of another heading.");
        pop(tag.offset);
    }
    if (name == "li" || name == "dd" || name == "dt")
        listItem(name);
    if (!closeSameElement(tag, name))
        return false;
    if (isOneOf(name, "option optgroup") && current("option"))
        pop(tag.offset);
    if (isOneOf(name, "rb rtc rp rt"))
        generateImpliedEnds(tag.offset, name == "rt" || name == "rp" ? "rtc" : "");
    checkElement(tag, name, contentParent());
    if (name == "svg" || name == "math") {
        foreignStartTag(tag);
        return false;
    }
    if (is(rule, Void)) {
        if (m_fosterDepth == m_stack.size() + 1)
            m_fosterDepth = 0;
        return false;
    }
    push(tag, name, false);
    return true;
}

void TreeBuilder::foreignEndTag(const Tag &tag)
{
    for (size_t i = m_stack.size(), walked = 0; i > 1 && walked < kMaxWalk; --i, ++walked) {
        const Open &node = m_stack[i - 1];
        if (!node.foreign)
            break;
        std::string name = node.name;
        std::transform(name.begin(), name.end(), name.begin(),
            [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; });
        if (name == tag.name) {
            if (i != m_stack.size())
                problem(tag.offset, "misnested-end-tag",
                    "End tag " + quoted(tag.name) + " did not match the name of the current open element.");
            while (m_stack.size() >= i)
                pop(tag.offset);
            return;
        }
    }
    Tag html = tag;
    while (m_stack.size() > 1 && inForeignContent())
        pop(tag.offset);
    endTag(html);
}

void TreeBuilder::endTag(const Tag &tag)
{
    if (inForeignContent()) {
        foreignEndTag(tag);
        return;
    }
    if (specialEndTag(tag))
        return;
    const ElementRule *rule = elementRule(tag.name);
    if (is(rule, Formatting)) {
        formattingEndTag(tag);
        return;
    }
    size_t target = npos;
    if (tag.name == "li")
        target = findInScope(tag.name, ScopeBoundary, "ol ul");
    else if (is(rule, TablePart) || tag.name == "table")
        target = findInScope(tag.name, 0, "html table template");
    else if (is(rule, Heading) && tag.name != "hgroup")
        target = openHeading();
    else if (is(rule, Special))
        target = findInScope(tag.name, ScopeBoundary);
    else
        target = findInScope(tag.name, Special);
    if (target == npos) {
        problem(tag.offset, "stray-end-tag", stray("end", tag.name));
        return;
    }
    generateImpliedEnds(tag.offset, tag.name);
    if (m_stack[target].name != tag.name && m_stack.size() == target + 1)
        problem(tag.offset, "misnested-end-tag",
            "End tag " + quoted(tag.name) + " seen, but there were open elements.");
    closeTo(target, tag, true);
}

// </p>, </br>, </body>, </html> and </head>: true when handled.
bool TreeBuilder::specialEndTag(const Tag &tag)
{
    const std::string &name = tag.name;
    if (name == "p" && findInScope("p", ScopeBoundary, "button") == npos) {
        problem(tag.offset, "stray-end-tag", "No “p” element in scope but a “p” end tag seen.");
        return true;
    }
    if (name == "br") {
        problem(tag.offset, "parse-other", "End tag “br”.");
        return true;
    }
    if (name == "head" && m_mode == Mode::InHead && current("head")) {
        pop(tag.offset);
        m_mode = Mode::AfterHead;
        return true;
    }
    if (name == "body" || name == "html") {
        if (m_mode == Mode::AfterBody)
            return true;
        enterBody(tag.offset);
        size_t body = 1;
        while (body < m_stack.size() && m_stack[body].name != "body")
            ++body;
        if (body + 1 < m_stack.size()) {
            std::vector<const Open *> unclosed;
            for (size_t i = m_stack.size() - 1; i > body; --i)
                if (!is(m_stack[i].rule, ImpliedEnd | TablePart) && !m_stack[i].foreign)
                    unclosed.push_back(&m_stack[i]);
            if (!unclosed.empty())
                problem(tag.offset, "misnested-end-tag",
                    "End tag for " + quoted("body") + " seen, but there were unclosed elements.");
            for (const Open *node : unclosed)
                problem(node->offset, "misnested-end-tag", "Unclosed element " + quoted(node->name) + ".");
        }
        while (m_stack.size() > 1)
            pop(tag.offset);
        m_mode = Mode::AfterBody;
        return true;
    }
    if (m_mode != Mode::InBody && name != "p") {
        if (!m_stack.back().foreign && m_stack.back().name == name && m_stack.size() > 1)
            pop(tag.offset);
        else
            problem(tag.offset, "stray-end-tag", stray("end", name));
        return true;
    }
    return false;
}

void TreeBuilder::formattingEndTag(const Tag &tag)
{
    const size_t at = findInScope(tag.name, ScopeBoundary);
    if (at == npos) {
        const size_t before = m_reopen.size();
        closeForReopening(tag.name);
        if (m_reopen.size() == before)
            problem(tag.offset, "stray-end-tag", stray("end", tag.name));
        return;
    }
    if (at != m_stack.size() - 1)
        problem(tag.offset, "misnested-end-tag", "End tag " + quoted(tag.name) + " violates nesting rules.");
    closeTo(at, tag, false);
}

// Any heading closes any other: the innermost open one.
size_t TreeBuilder::openHeading() const
{
    size_t at = npos;
    for (const char *name : { "h1", "h2", "h3", "h4", "h5", "h6" })
        at = innermost(at, findInScope(name, ScopeBoundary));
    return at;
}

void TreeBuilder::text(size_t offset, std::string_view text)
{
    Open &node = m_stack.back();
    if (node.foreign || node.model == Model::Text)
        return;
    const size_t first = text.find_first_not_of(" \t\n\r\f");
    if (first == npos)
        return;
    offset += first;
    checkDoctypeSeen(offset, false);
    if (m_mode == Mode::AfterBody) {
        problem(offset, "parse-other", "Non-space character after body.");
        m_mode = Mode::InBody;
    }
    if (m_mode != Mode::InBody && !isOpen("select")) {
        enterBody(offset);
        return;
    }
    if (inTableContext()) {
        problem(offset, "parse-other", "Misplaced non-space characters inside a table.");
        return;
    }
    reopenFormatting(offset);
    checkText(offset, m_stack.back());
}

void TreeBuilder::endOfFile(size_t offset)
{
    // The tokenizer has said that the text of a script or style never ended.
    if (!m_stack.back().foreign && m_stack.back().model == Model::Text && m_stack.size() > 1)
        pop(offset);
    if (m_mode != Mode::AfterBody) {
        std::vector<const Open *> unclosed;
        for (size_t i = m_stack.size() - 1; i > 0; --i)
            if (!m_stack[i].foreign && !is(m_stack[i].rule, ImpliedEnd | TablePart)
                && !isOneOf(m_stack[i].name, "body html head"))
                unclosed.push_back(&m_stack[i]);
        if (!unclosed.empty())
            problem(offset, "misnested-end-tag", "End of file seen and there were open elements.");
        for (const Open *node : unclosed)
            problem(node->offset, "misnested-end-tag", "Unclosed element " + quoted(node->name) + ".");
    }
    if (m_mode == Mode::BeforeHead || m_mode == Mode::InHead)
        leaveHead(offset);
    while (m_stack.size() > 1)
        pop(offset);
}

} // namespace linkcheck::html
