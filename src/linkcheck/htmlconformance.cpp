// The content rules of the HTML standard on the tree as the parser builds it: where each
// element may stand, its attributes, the ids of the page and the order of its headings.
#include "linkcheck/htmltree.h"

#include <algorithm>

namespace linkcheck::html {

namespace {

const TagAttribute *findAttribute(const Tag &tag, std::string_view name)
{
    for (const TagAttribute &attr : tag.attributes)
        if (attr.name == name)
            return &attr;
    return nullptr;
}

bool isCustomElement(std::string_view name)
{
    return name.find('-') != std::string_view::npos;
}

// Interactive content as the element and its attributes make it.
bool isInteractive(const Tag &tag, std::string_view name, const ElementRule *rule)
{
    if (name == "input") {
        const TagAttribute *type = findAttribute(tag, "type");
        return !type || type->value != "hidden";
    }
    if (name == "img" || name == "object")
        return findAttribute(tag, "usemap");
    if (name == "audio" || name == "video")
        return findAttribute(tag, "controls");
    if (name == "a")
        return findAttribute(tag, "href");
    return rule && (rule->categories & Interactive);
}

std::string headingName(int level)
{
    return std::string { 'h', char('0' + level) };
}

} // namespace

TreeBuilder::Open *TreeBuilder::contentParent()
{
    if (m_fosterDepth != 0 && m_fosterDepth == m_stack.size() + 1)
        return &m_stack[m_fosterBelow];
    return &m_stack.back();
}

void TreeBuilder::checkElement(const Tag &tag, const std::string &name, Open *parent)
{
    const ElementRule *rule = elementRule(name);
    if (parent && !parent->foreign && parent->rule && parent->rule->requiredChild == name)
        parent->sawRequiredChild = true;
    if (parent && (name == "dt" || name == "dd"))
        parent->termWithoutDescription = name == "dt";
    if (rule && !rule->obsolete.empty()) {
        problem(tag.offset, "obsolete-element",
            "The " + quoted(name) + " element is obsolete. " + std::string(rule->obsolete));
    } else if (parent && !parent->foreign && !allowedIn(*parent, rule, name, tag)) {
        problem(tag.offset, "element-not-allowed",
            "Element " + quoted(name) + " not allowed as child of element " + quoted(parent->name)
                + " in this context.");
    }
    checkInteractive(tag, name, rule);
    checkAttributes(tag, name, rule);
    checkRequired(tag, name, rule);
    checkHeading(tag, name);
}

bool TreeBuilder::allowedIn(
    const Open &parent, const ElementRule *rule, const std::string &name, const Tag &tag) const
{
    if (parent.model == Model::Any)
        return true;
    if (parent.model == Model::Text || parent.model == Model::Empty)
        return false;
    if (hasWord(parent.children, name) || hasWord(parent.inherited, name))
        return true;
    if (!rule)
        return isCustomElement(name) && (parent.model == Model::Flow || parent.model == Model::Phrasing);
    if (rule->categories & ScriptSupporting)
        return true;
    if (name == "meta" && parent.model != Model::Metadata)
        return findAttribute(tag, "itemprop") || findAttribute(tag, "property");
    switch (parent.model) {
    case Model::Flow:
        return rule->categories & Flow;
    case Model::Phrasing:
        return rule->categories & Phrasing;
    case Model::Metadata:
        return rule->categories & Metadata;
    default:
        return false;
    }
}

// No interactive content inside a link or a button.
void TreeBuilder::checkInteractive(const Tag &tag, const std::string &name, const ElementRule *rule)
{
    if (!isInteractive(tag, name, rule))
        return;
    for (size_t i = m_stack.size(), walked = 0; i > 1 && walked < 64; --i, ++walked) {
        const Open &node = m_stack[i - 1];
        if (!node.foreign && (node.name == "a" || node.name == "button")) {
            problem(tag.offset, "element-not-allowed",
                "The element " + quoted(name) + " must not appear as a descendant of the "
                    + quoted(node.name) + " element.");
            return;
        }
    }
}

void TreeBuilder::checkAttributes(const Tag &tag, const std::string &name, const ElementRule *rule)
{
    if (name == "svg" || name == "math")
        return; // their attributes are another language's
    for (const TagAttribute &attr : tag.attributes) {
        if (attr.name == "id")
            checkId(attr);
        const std::string_view advice = obsoleteAttributeAdvice(name, attr.name);
        if (!advice.empty()) {
            std::string message = "The " + quoted(attr.name) + " attribute on the " + quoted(name)
                + " element is obsolete.";
            if (advice != " ")
                message.append(" ").append(advice);
            // Obsolete but conforming, which a checker warns of: border="0" on an image.
            const bool zeroBorder = name == "img" && attr.name == "border" && attr.value == "0";
            m_problems(attr.offset, "obsolete-attribute", std::move(message), zeroBorder);
        } else if (rule && rule->obsolete.empty() && !isGlobalAttribute(attr.name)
            && !hasWord(rule->attributes, attr.name)) {
            problem(attr.offset, "attribute-not-allowed",
                "Attribute " + quoted(attr.name) + " not allowed on element " + quoted(name)
                    + " at this point.");
        }
    }
}

void TreeBuilder::checkRequired(const Tag &tag, const std::string &name, const ElementRule *rule)
{
    if (name == "img" && !findAttribute(tag, "alt"))
        problem(tag.offset, "img-alt",
            "An “img” element must have an “alt” attribute, except under certain conditions. "
            "For details, consult guidance on providing text alternatives for images.");
    if (!rule)
        return;
    for (std::string_view rest = rule->required; !rest.empty();) {
        const size_t space = rest.find(' ');
        const std::string_view group = rest.substr(0, space);
        rest = space == std::string_view::npos ? std::string_view() : rest.substr(space + 1);
        bool present = false;
        std::string names;
        for (size_t at = 0; at <= group.size();) {
            size_t bar = group.find('|', at);
            if (bar == std::string_view::npos)
                bar = group.size();
            const std::string_view one = group.substr(at, bar - at);
            present = present || findAttribute(tag, one);
            if (!names.empty())
                names += ", ";
            names += quoted(one);
            at = bar + 1;
        }
        if (!present)
            problem(tag.offset, "missing-required-attribute",
                group.find('|') == std::string_view::npos
                    ? "Element " + quoted(name) + " is missing required attribute " + names + "."
                    : "Element " + quoted(name)
                        + " is missing one or more of the following attributes: " + names + ".");
    }
}

void TreeBuilder::checkId(const TagAttribute &id)
{
    if (id.value.empty())
        return;
    const int line = m_idPositions.at(id.offset).line;
    const auto [first, inserted] = m_idLines.emplace(std::string(id.value), line);
    if (!inserted)
        problem(id.offset, "duplicate-id",
            "Duplicate ID " + quoted(id.value) + ". The first occurrence of ID "
                + quoted(id.value) + " was on line " + std::to_string(first->second) + ".");
}

void TreeBuilder::checkHeading(const Tag &tag, const std::string &name)
{
    if (name.size() != 2 || name[0] != 'h' || name[1] < '1' || name[1] > '6')
        return;
    const int level = name[1] - '0';
    if (m_lastHeading > 0 && level > m_lastHeading + 1)
        problem(tag.offset, "heading-level",
            "The heading " + quoted(name) + " follows " + quoted(headingName(m_lastHeading))
                + ", skipping " + (level - m_lastHeading == 2 ? "a level." : "levels."));
    m_lastHeading = level;
}

void TreeBuilder::checkText(size_t offset, Open &parent)
{
    if (parent.textReported || parent.model == Model::Flow || parent.model == Model::Phrasing
        || parent.model == Model::Any || parent.model == Model::Text)
        return;
    parent.textReported = true;
    problem(offset, "element-not-allowed",
        "Text not allowed in element " + quoted(parent.name) + " in this context.");
}

void TreeBuilder::checkClosed(const Open &element, size_t offset)
{
    if (element.termWithoutDescription && !element.foreign)
        problem(offset, "missing-required-child",
            "Element " + quoted(element.name) + " is missing a required instance of child element “dd”.");
    if (element.foreign || !element.rule || element.rule->requiredChild.empty()
        || element.sawRequiredChild)
        return;
    problem(offset, "missing-required-child",
        "Element " + quoted(element.name) + " is missing a required instance of child element "
            + quoted(element.rule->requiredChild) + ".");
}

} // namespace linkcheck::html
