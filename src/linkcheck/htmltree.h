#pragma once

// The tree construction of the HTML5 parser, as far as its parse errors and the content rules
// need it: the stack of open elements, the insertion modes around head and body, tables,
// select, foreign content and the formatting elements that misnesting reopens.
#include "linkcheck/htmlrules.h"
#include "linkcheck/htmltokenizer.h"
#include "linkcheck/linktext.h"

#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

namespace linkcheck::html {

using ProblemSink
    = std::function<void(size_t offset, std::string_view rule, std::string message, bool warning)>;

class TreeBuilder : public TokenSink
{
public:
    TreeBuilder(std::string_view text, ProblemSink problems);

    void problem(size_t offset, std::string_view rule, std::string message) override;
    void doctype(size_t offset, std::string_view text) override;
    bool tag(const Tag &tag) override;
    void text(size_t offset, std::string_view text) override;
    void comment(size_t offset) override;
    void endOfFile(size_t offset) override;
    bool inForeignContent() const override;

private:
    enum class Mode { BeforeHead, InHead, AfterHead, InBody, AfterBody };

    struct Open {
        std::string name;
        const ElementRule *rule = nullptr; // nullptr: foreign or not defined by HTML
        size_t offset = 0;
        bool foreign = false;
        Model model = Model::Any; // its content model, transparency resolved
        std::string_view children; // the children its model allows besides its category
        std::string_view inherited; // those of the parent, for a transparent element
        bool sawRequiredChild = false;
        bool termWithoutDescription = false; // a dl (or its div) whose last dt has no dd
        bool textReported = false;
    };

    // Tree construction (htmltree.cpp).
    bool startTag(const Tag &tag);
    bool htmlStartTag(const Tag &tag, const std::string &name);
    bool headAndBody(const Tag &tag, const std::string &name);
    bool tableStartTag(const Tag &tag, const std::string &name);
    bool selectStartTag(const Tag &tag, const std::string &name);
    bool bodyStartTag(const Tag &tag, const std::string &name);
    void forgetClosedLink(const Tag &tag, const std::string &name);
    bool closeSameElement(const Tag &tag, const std::string &name);
    void closeForReopening(const std::string &name);
    bool reopens(std::string_view name) const;
    void listItem(const std::string &name);
    void endTag(const Tag &tag);
    bool specialEndTag(const Tag &tag);
    void formattingEndTag(const Tag &tag);
    void closeTo(size_t index, const Tag &tag, bool report);
    void foreignStartTag(const Tag &tag);
    void foreignEndTag(const Tag &tag);
    bool leavesForeign(const Tag &tag) const;
    void enterBody(size_t offset);
    void leaveHead(size_t offset);
    void closeParagraph(size_t offset);
    void generateImpliedEnds(size_t offset, std::string_view except = {});
    void reopenFormatting(size_t offset);
    size_t findInScope(std::string_view name, unsigned boundaries, std::string_view extra = {}) const;
    bool isOpen(std::string_view name) const;
    size_t openHeading() const;
    bool current(std::string_view name) const;
    bool inTableContext() const;
    void push(const Tag &tag, const std::string &name, bool foreign);
    void pushImplied(std::string_view name, size_t offset);
    void pop(size_t offset);
    void checkDoctypeSeen(size_t offset, bool tag);

    // The content rules (htmlconformance.cpp).
    void checkElement(const Tag &tag, const std::string &name, Open *parent);
    bool allowedIn(const Open &parent, const ElementRule *rule, const std::string &name,
        const Tag &tag) const;
    void checkAttributes(const Tag &tag, const std::string &name, const ElementRule *rule);
    void checkRequired(const Tag &tag, const std::string &name, const ElementRule *rule);
    void checkId(const TagAttribute &id);
    void checkHeading(const Tag &tag, const std::string &name);
    void checkInteractive(const Tag &tag, const std::string &name, const ElementRule *rule);
    void checkText(size_t offset, Open &parent);
    void checkClosed(const Open &element, size_t offset);
    Open *contentParent();

    std::string_view m_text;
    ProblemSink m_problems;
    Mode m_mode = Mode::BeforeHead;
    std::vector<Open> m_stack;
    // Open elements by name, looked up without making strings.
    struct NameHash {
        using is_transparent = void;
        size_t operator()(std::string_view name) const { return std::hash<std::string_view>()(name); }
    };
    std::unordered_map<std::string, int, NameHash, std::equal_to<>> m_openCount; // not in the rules
    std::vector<int> m_openRuleCount; // by elementIndex()
    int &openCount(std::string_view name);
    std::vector<Tag> m_reopen; // formatting elements closed by misnesting, opened again
    bool m_sawDoctype = false;
    bool m_sawContent = false;
    bool m_sawHtmlTag = false;
    size_t m_fosterBelow = 0; // elements foster-parented out of a table have their parent here
    size_t m_fosterDepth = 0;
    int m_lastHeading = 0;
    std::unordered_map<std::string, int> m_idLines;
    TextPositions m_idPositions;
};

} // namespace linkcheck::html
