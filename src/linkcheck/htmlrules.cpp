#include "linkcheck/htmlrules.h"

#include <algorithm>
#include <iterator>
#include <string>
#include <unordered_map>
#include <unordered_set>

namespace linkcheck::html {

namespace {

constexpr unsigned F = Flow, P = Phrasing, M = Metadata, I = Interactive, H = Heading,
                   S = ScriptSupporting, V = Void, X = Special, FMT = Formatting, IE = ImpliedEnd,
                   SB = ScopeBoundary, TP = TablePart, CP = ClosesParagraph, RT = RawText;
using enum Model;

constexpr std::string_view kLink = "href target download ping rel hreflang type referrerpolicy";
constexpr std::string_view kMedia = "src crossorigin preload autoplay loop muted controls";
constexpr std::string_view kForm = "disabled form formaction formenctype formmethod "
                                   "formnovalidate formtarget name popovertarget "
                                   "popovertargetaction type value";
constexpr std::string_view kCss = "Use CSS instead.";

// One row per element: categories, content model, the children it allows (besides its model),
// its own attributes, the required ones, a required child, and what replaces it if obsolete.
constexpr ElementRule kElements[] = {
    { "a", F | P | I | FMT, Transparent, "", kLink },
    { "abbr", F | P, Phrasing },
    { "acronym", F | P, Phrasing, "", "", "", "", "Use the “abbr” element instead." },
    { "address", F | X | CP, Flow },
    { "applet", F | P | X | SB, Transparent, "param", "", "", "",
        "Use the “object” element instead." },
    { "area", F | P | V | X, Empty, "", "alt coords shape href target download ping rel "
                                         "referrerpolicy" },
    { "article", F | X | CP, Flow },
    { "aside", F | X | CP, Flow },
    { "audio", F | P, Transparent, "source track", kMedia },
    { "b", F | P | FMT, Phrasing },
    { "base", M | V | X, Empty, "", "href target", "href|target" },
    { "basefont", F | P | V | X, Empty, "", "", "", "", kCss },
    { "bdi", F | P, Phrasing },
    { "bdo", F | P, Phrasing, "", "", "dir" },
    { "bgsound", F | P | V | X, Empty, "", "", "", "", "Use the “audio” element instead." },
    { "big", F | P | FMT, Phrasing, "", "", "", "", kCss },
    { "blink", F | P, Phrasing, "", "", "", "", kCss },
    { "blockquote", F | X | CP, Flow, "", "cite" },
    { "body", X, Flow, "", "onafterprint onbeforeprint onbeforeunload onhashchange "
                           "onlanguagechange onmessage onmessageerror onoffline ononline "
                           "onpagehide onpageshow onpopstate onrejectionhandled onstorage "
                           "onunhandledrejection onunload" },
    { "br", F | P | V | X, Empty },
    { "button", F | P | I | X, Phrasing, "", kForm },
    { "canvas", F | P, Transparent, "", "width height" },
    { "caption", X | SB | TP, Flow },
    { "center", F | X | CP, Flow, "", "", "", "", kCss },
    { "cite", F | P, Phrasing },
    { "code", F | P | FMT, Phrasing },
    { "col", V | X, Empty, "", "span" },
    { "colgroup", X | TP, Children, "col", "span" },
    { "data", F | P, Phrasing, "", "value", "value" },
    { "datalist", F | P, Phrasing, "option" },
    { "dd", X | IE, Flow },
    { "del", F | P, Transparent, "", "cite datetime" },
    { "details", F | I | X | CP, Flow, "summary", "open name", "", "summary" },
    { "dfn", F | P, Phrasing },
    { "dialog", F | CP, Flow, "", "open" },
    { "dir", F | X | CP, Children, "li", "", "", "", "Use the “ul” element instead." },
    { "div", F | X | CP, Flow },
    { "dl", F | X | CP, Children, "dt dd div" },
    { "dt", X | IE, Flow },
    { "em", F | P | FMT, Phrasing },
    { "embed", F | P | I | V | X, Empty, "", "src type width height" },
    { "fieldset", F | X | CP, Flow, "legend", "disabled form name" },
    { "figcaption", X | CP, Flow },
    { "figure", F | X | CP, Flow, "figcaption" },
    { "font", F | P | FMT, Phrasing, "", "", "", "", kCss },
    { "footer", F | X | CP, Flow },
    { "form", F | X, Flow, "", "accept-charset action autocomplete enctype method name "
                               "novalidate target rel" },
    { "frame", V | X, Empty, "", "", "", "", "Use the “iframe” element and CSS instead, or use "
                                               "server-side includes." },
    { "frameset", X, Children, "frame frameset noframes", "", "", "",
        "Use the “iframe” element and CSS instead, or use server-side includes." },
    { "h1", F | H | X | CP, Phrasing },
    { "h2", F | H | X | CP, Phrasing },
    { "h3", F | H | X | CP, Phrasing },
    { "h4", F | H | X | CP, Phrasing },
    { "h5", F | H | X | CP, Phrasing },
    { "h6", F | H | X | CP, Phrasing },
    { "head", X, Metadata, "", "", "", "title" },
    { "header", F | X | CP, Flow },
    { "hgroup", F | H | X | CP, Children, "h1 h2 h3 h4 h5 h6 p" },
    { "hr", F | V | X | CP, Empty },
    { "html", X | SB, Children, "head body", "manifest" },
    { "i", F | P | FMT, Phrasing },
    { "iframe", F | P | I | X | RT, Text, "", "src srcdoc name sandbox allow allowfullscreen "
                                            "width height referrerpolicy loading" },
    { "img", F | P | V | X, Empty, "", "alt src srcset sizes crossorigin usemap ismap width "
                                       "height referrerpolicy decoding loading fetchpriority",
        "src" },
    { "input", F | P | I | V | X, Empty, "", "accept alt autocomplete checked dirname disabled "
                                             "form formaction formenctype formmethod "
                                             "formnovalidate formtarget height list max "
                                             "maxlength min minlength multiple name pattern "
                                             "placeholder popovertarget popovertargetaction "
                                             "readonly required size src step type value width" },
    { "ins", F | P, Transparent, "", "cite datetime" },
    { "isindex", F | V | X, Empty, "", "", "", "", "Use the “form” element instead." },
    { "kbd", F | P, Phrasing },
    { "keygen", F | P | V | X, Empty, "", "", "", "", "Use a script instead." },
    { "label", F | P | I, Phrasing, "", "for" },
    { "legend", X, Phrasing, "h1 h2 h3 h4 h5 h6" },
    { "li", X | IE, Flow, "", "value" },
    { "link", M | F | P | V | X, Empty, "", "href crossorigin rel media integrity hreflang type "
                                            "referrerpolicy sizes imagesrcset imagesizes as "
                                            "blocking color disabled fetchpriority",
        "rel|itemprop|property" },
    { "listing", F | X | CP, Phrasing, "", "", "", "", "Use the “pre” element instead." },
    { "main", F | X | CP, Flow },
    { "map", F | P, Transparent, "area", "name", "name" },
    { "mark", F | P, Phrasing },
    { "marquee", F | P | X | SB, Phrasing, "", "", "", "", kCss },
    { "menu", F | X | CP, Children, "li" },
    { "meta", M | F | P | V | X, Empty, "", "name http-equiv content charset media",
        "name|http-equiv|charset|itemprop|property" },
    { "math", F | P, Any },
    { "meter", F | P, Phrasing, "", "value min max low high optimum", "value" },
    { "multicol", F, Flow, "", "", "", "", kCss },
    { "nav", F | X | CP, Flow },
    { "nextid", V, Empty, "", "", "", "", "Use GUIDs instead." },
    { "nobr", F | P | FMT, Phrasing, "", "", "", "", kCss },
    { "noembed", F | P | X | RT, Text, "", "", "", "", "Use the “object” element instead." },
    { "noframes", X | RT, Text, "", "", "", "", "Use the “iframe” element and CSS instead." },
    { "noscript", F | P | M | X, Transparent },
    { "object", F | P | X | SB, Transparent, "param", "data type name form width height",
        "data|type" },
    { "ol", F | X | CP, Children, "li", "reversed start type" },
    { "optgroup", X | IE, Children, "option", "disabled label", "label" },
    { "option", X | IE, Text, "", "disabled label selected value" },
    { "output", F | P, Phrasing, "", "for form name" },
    { "p", F | X | CP | IE, Phrasing },
    { "param", V | X, Empty, "", "name value", "name" },
    { "picture", F | P, Children, "source img", "", "", "img" },
    { "plaintext", F | X | CP | RT, Text, "", "", "", "", "Use the “pre” element instead." },
    { "pre", F | X | CP, Phrasing },
    { "progress", F | P, Phrasing, "", "value max" },
    { "q", F | P, Phrasing, "", "cite" },
    { "rb", IE, Phrasing, "", "", "", "", "Use the “ruby” element alone instead." },
    { "rp", IE, Text },
    { "rt", IE, Phrasing },
    { "rtc", IE, Phrasing, "rt rp", "", "", "", "Use the “ruby” element alone instead." },
    { "ruby", F | P, Phrasing, "rt rp rb rtc" },
    { "s", F | P | FMT, Phrasing },
    { "samp", F | P, Phrasing },
    { "script", M | F | P | S | X | RT, Text, "", "src type nomodule async defer crossorigin charset "
                                                 "integrity referrerpolicy blocking "
                                                 "fetchpriority" },
    { "search", F | X | CP, Flow },
    { "section", F | X | CP, Flow },
    { "select", F | P | I | X, Children, "option optgroup hr", "autocomplete disabled form "
                                                              "multiple name required size" },
    { "slot", F | P, Transparent, "", "name" },
    { "small", F | P | FMT, Phrasing },
    { "source", V | X, Empty, "", "type media src srcset sizes width height" },
    { "spacer", F | P, Empty, "", "", "", "", kCss },
    { "span", F | P, Phrasing },
    { "strike", F | P | FMT, Phrasing, "", "", "", "", "Use “del” or “s” instead." },
    { "strong", F | P | FMT, Phrasing },
    { "style", M | X | RT, Text, "", "media blocking type" },
    { "sub", F | P, Phrasing },
    { "summary", X | CP, Phrasing, "h1 h2 h3 h4 h5 h6" },
    { "sup", F | P, Phrasing },
    { "svg", F | P, Any },
    { "table", F | X | SB | CP, Children, "caption colgroup thead tbody tfoot tr" },
    { "tbody", X | TP, Children, "tr" },
    { "td", X | SB | TP, Flow, "", "colspan rowspan headers" },
    { "template", F | P | M | S | X | SB, Any, "", "shadowrootmode shadowrootdelegatesfocus "
                                                   "shadowrootclonable shadowrootserializable" },
    { "textarea", F | P | I | X | RT, Text, "", "autocomplete cols dirname disabled form "
                                                "maxlength minlength name placeholder readonly "
                                                "required rows wrap" },
    { "tfoot", X | TP, Children, "tr" },
    { "th", X | SB | TP, Flow, "", "colspan rowspan headers scope abbr" },
    { "thead", X | TP, Children, "tr" },
    { "time", F | P, Phrasing, "", "datetime" },
    { "title", M | X | RT, Text },
    { "tr", X | TP, Children, "td th" },
    { "track", V | X, Empty, "", "kind src srclang label default", "src" },
    { "tt", F | P | FMT, Phrasing, "", "", "", "", kCss },
    { "u", F | P | FMT, Phrasing },
    { "ul", F | X | CP, Children, "li" },
    { "var", F | P, Phrasing },
    { "video", F | P, Transparent, "source track", "src crossorigin poster preload autoplay "
                                                   "playsinline loop muted controls width height" },
    { "wbr", F | P | V | X, Empty },
    { "xmp", F | X | CP | RT, Text, "", "", "", "", "Use the “pre” or “code” element instead." },
};

struct ObsoleteAttribute {
    std::string_view attribute;
    std::string_view elements; // "*": on every element
    std::string_view advice;
};

constexpr std::string_view kCells = "td th tr tbody thead tfoot col colgroup";
constexpr ObsoleteAttribute kObsoleteAttributes[] = {
    { "align", "caption col colgroup div h1 h2 h3 h4 h5 h6 hr iframe img input legend p table "
               "tbody td tfoot th thead tr embed object", kCss },
    { "alink", "body", kCss }, { "link", "body", kCss }, { "text", "body", kCss },
    { "vlink", "body", kCss }, { "marginheight", "body iframe", kCss },
    { "marginwidth", "body iframe", kCss }, { "topmargin", "body", kCss },
    { "leftmargin", "body", kCss }, { "rightmargin", "body", kCss },
    { "bottommargin", "body", kCss },
    { "background", "body table thead tbody tfoot tr td th", kCss },
    { "bgcolor", "body table td th tr thead tbody tfoot", kCss },
    { "border", "img object table", kCss },
    { "cellpadding", "table", kCss }, { "cellspacing", "table", kCss },
    { "frame", "table", kCss }, { "rules", "table", kCss },
    { "summary", "table", "Consider describing the structure of the table in a “caption” "
                          "element or in a “figure” element containing the “table” element; or, "
                          "simplify the structure of the table so that no description is "
                          "needed." },
    { "width", "table col colgroup hr pre td th", kCss },
    { "height", "table td th tr", kCss },
    { "valign", kCells, kCss }, { "char", kCells, kCss }, { "charoff", kCells, kCss },
    { "nowrap", "td th", kCss }, { "axis", "td th", "Use the “scope” attribute instead." },
    { "abbr", "td", "Use text that begins in an unambiguous and terse manner, and include any "
                    "more elaborate text after that." },
    { "scope", "td", "Use the “scope” attribute on a “th” element instead." },
    { "name", "a", "Consider putting an “id” attribute on the nearest container instead." },
    { "name", "img embed option", "Use the “id” attribute instead." },
    { "charset", "a link", "Use an HTTP “Content-Type” header on the linked resource instead." },
    { "rev", "a link", "Use the “rel” attribute instead, with a term having the opposite "
                       "meaning." },
    { "shape", "a", "Use “area” instead of “a” for image maps." },
    { "coords", "a", "Use “area” instead of “a” for image maps." },
    { "methods", "a link", "Use the HTTP OPTIONS feature instead." },
    { "urn", "a link", "Specify the preferred persistent identifier using the “href” attribute "
                       "instead." },
    { "language", "script", "Use the “type” attribute instead." },
    { "event", "script", "Use DOM events mechanisms to register event listeners." },
    { "for", "script", "Use DOM events mechanisms to register event listeners." },
    { "type", "li ul", kCss }, { "compact", "dl ol ul menu dir", kCss },
    { "noshade", "hr", kCss }, { "size", "hr", kCss }, { "color", "hr", kCss },
    { "clear", "br", kCss }, { "hspace", "img object embed iframe", kCss },
    { "vspace", "img object embed iframe", kCss },
    { "frameborder", "iframe", kCss }, { "scrolling", "iframe", kCss },
    { "allowtransparency", "iframe", kCss },
    { "longdesc", "img iframe", "Use a regular “a” element to link to the description." },
    { "lowsrc", "img", "Use a progressive JPEG image instead." },
    { "datasrc", "*", "Use script and a mechanism such as XMLHttpRequest to populate the page "
                      "dynamically." },
    { "datafld", "*", "Use script and a mechanism such as XMLHttpRequest to populate the page "
                      "dynamically." },
    { "dataformatas", "*", "Use script and a mechanism such as XMLHttpRequest to populate the "
                           "page dynamically." },
    { "datapagesize", "table", "You can safely omit it." },
    { "version", "html", "You can safely omit it." },
    { "profile", "head", "To declare which “meta” terms are used in the document, instead "
                         "register the names as meta extensions. To trigger specific UA "
                         "behaviors, use a “link” element instead." },
    { "scheme", "meta", "Use only one scheme per field, or make the scheme declaration part of "
                        "the value." },
    { "archive", "object", "Use the “data” and “type” attributes to invoke plugins." },
    { "classid", "object", "Use the “data” and “type” attributes to invoke plugins." },
    { "code", "object", "Use the “data” and “type” attributes to invoke plugins." },
    { "codebase", "object", "Use the “data” and “type” attributes to invoke plugins." },
    { "codetype", "object", "Use the “data” and “type” attributes to invoke plugins." },
    { "declare", "object", "Repeat the “object” element completely each time the resource is to "
                           "be reused." },
    { "standby", "object", "Optimise the linked resource so that it loads quickly or, at least, "
                           "incrementally." },
    { "target", "link", "You can safely omit it." },
    { "nohref", "area", "Omitting the “href” attribute is sufficient." },
    { "valuetype", "param", "Use the “name” and “value” attributes without declaring value "
                            "types." },
    { "type", "param area", "Use the “name” and “value” attributes without declaring value "
                            "types." },
    { "manifest", "html", "Use service workers instead." },
};

constexpr std::string_view kGlobalAttributes
    = "accesskey autocapitalize autocorrect autofocus class contenteditable dir draggable "
      "enterkeyhint hidden id inert inputmode is itemid itemprop itemref itemscope itemtype "
      "lang nonce popover role slot spellcheck style tabindex title translate "
      "writingsuggestions xmlns xml:lang xml:space xml:base about content datatype inlist "
      "prefix property rel resource rev typeof vocab";

} // namespace

bool hasWord(std::string_view list, std::string_view word)
{
    for (size_t at = 0; at < list.size();) {
        size_t end = list.find(' ', at);
        if (end == std::string_view::npos)
            end = list.size();
        if (list.substr(at, end - at) == word)
            return true;
        at = end + 1;
    }
    return false;
}

size_t elementRuleCount()
{
    return std::size(kElements);
}

size_t elementIndex(const ElementRule *rule)
{
    return size_t(rule - kElements);
}

const ElementRule *elementRule(std::string_view name)
{
    // The same name is asked for several times in a row, while one tag is read.
    thread_local std::string lastName;
    thread_local const ElementRule *lastRule = nullptr;
    if (name == lastName)
        return lastRule;
    static const std::unordered_map<std::string_view, const ElementRule *> byName = [] {
        std::unordered_map<std::string_view, const ElementRule *> map;
        for (const ElementRule &rule : kElements)
            map.emplace(rule.name, &rule);
        return map;
    }();
    const auto found = byName.find(name);
    lastName.assign(name);
    lastRule = found == byName.end() ? nullptr : found->second;
    return lastRule;
}

std::string_view obsoleteAttributeAdvice(std::string_view element, std::string_view attribute)
{
    // Rows by attribute: every attribute of every element is looked up here.
    static const std::unordered_multimap<std::string_view, const ObsoleteAttribute *> byName = [] {
        std::unordered_multimap<std::string_view, const ObsoleteAttribute *> map;
        for (const ObsoleteAttribute &row : kObsoleteAttributes)
            map.emplace(row.attribute, &row);
        return map;
    }();
    const auto [first, last] = byName.equal_range(attribute);
    for (auto it = first; it != last; ++it)
        if (it->second->elements == "*" || hasWord(it->second->elements, element))
            return it->second->advice.empty() ? std::string_view(" ") : it->second->advice;
    return {};
}

bool isGlobalAttribute(std::string_view name)
{
    static const std::unordered_set<std::string_view> globals = [] {
        std::unordered_set<std::string_view> set;
        for (size_t at = 0; at < kGlobalAttributes.size();) {
            const size_t end = std::min(kGlobalAttributes.find(' ', at), kGlobalAttributes.size());
            set.insert(kGlobalAttributes.substr(at, end - at));
            at = end + 1;
        }
        return set;
    }();
    return name.starts_with("data-") || name.starts_with("aria-")
        || (name.starts_with("on") && name.size() > 2) || globals.contains(name);
}

} // namespace linkcheck::html
