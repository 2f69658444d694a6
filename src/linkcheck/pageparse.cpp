#include "linkcheck/pageparse.h"

#include "linkcheck/htmlscan.h"
#include "linkcheck/linktext.h"

#include <QtGlobal>

#include <gumbo.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <string_view>

namespace linkcheck {

namespace {

bool isValidUtf8(const QByteArray &bytes)
{
    const auto *at = reinterpret_cast<const unsigned char *>(bytes.constData());
    const auto *end = at + bytes.size();
    while (at < end) {
        // Eight ASCII bytes at a time, as most pages are.
        quint64 eight = 0;
        if (end - at >= 8 && (std::memcpy(&eight, at, 8), (eight & 0x8080808080808080ULL) == 0)) {
            at += 8;
            continue;
        }
        if (*at < 0x80) {
            ++at;
            continue;
        }
        const int more = (*at & 0xE0) == 0xC0 ? 1
            : (*at & 0xF0) == 0xE0            ? 2
            : (*at & 0xF8) == 0xF0            ? 3
                                              : -1;
        if (more < 0 || *at == 0xC0 || *at == 0xC1 || end - at <= more)
            return false;
        for (int i = 1; i <= more; ++i)
            if ((at[i] & 0xC0) != 0x80)
                return false;
        at += more + 1;
    }
    return true;
}

// UTF-8 text without a byte order mark.
QByteArray utf8Text(const QByteArray &bytes)
{
    QByteArray text = isValidUtf8(bytes) ? bytes : QString::fromLatin1(bytes).toUtf8();
    if (text.startsWith("\xEF\xBB\xBF"))
        text.remove(0, 3);
    return text;
}

QString fromUtf8(std::string_view text)
{
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

bool hasToken(std::string_view value, std::string_view token)
{
    size_t at = 0;
    while (at < value.size()) {
        while (at < value.size() && std::isspace(static_cast<unsigned char>(value[at])))
            ++at;
        size_t end = at;
        while (end < value.size() && !std::isspace(static_cast<unsigned char>(value[end])))
            ++end;
        const std::string_view word = value.substr(at, end - at);
        if (word.size() == token.size()
            && std::equal(word.begin(), word.end(), token.begin(),
                [](char a, char b) { return std::tolower(static_cast<unsigned char>(a)) == b; }))
            return true;
        at = end;
    }
    return false;
}

const HtmlAttribute *attribute(const std::vector<HtmlAttribute> &attributes, std::string_view name)
{
    for (const HtmlAttribute &attr : attributes)
        if (attr.name == name)
            return &attr;
    return nullptr;
}

// Does this element's attribute hold a link?
bool linkAttribute(
    std::string_view tag, std::string_view name, const std::vector<HtmlAttribute> &attributes)
{
    if (name == "background")
        return true;
    if (tag == "a" || tag == "area" || tag == "link")
        return name == "href";
    if (tag == "img" || tag == "script" || tag == "iframe" || tag == "frame" || tag == "embed"
        || tag == "source" || tag == "track" || tag == "audio")
        return name == "src";
    if (tag == "video")
        return name == "src" || name == "poster";
    if (tag == "object")
        return name == "data";
    if (tag == "input" && name == "src") {
        const HtmlAttribute *type = attribute(attributes, "type");
        return type && hasToken(type->value, "image");
    }
    return false;
}

// A link found at a byte offset, before offsets become lines and columns.
struct Placed {
    size_t offset;
    FoundLink link;
};

// Turns elements into links and anchors, whichever reader found them.
class Collector : public HtmlElements
{
public:
    explicit Collector(std::string_view text)
        : m_text(text)
    { }

    void element(std::string_view tag, const std::vector<HtmlAttribute> &attributes) override
    {
        for (const HtmlAttribute &attr : attributes) {
            if (attr.name == "id" || (attr.name == "name" && tag == "a")) {
                if (!attr.value.empty())
                    m_file.anchors.insert(fromUtf8(attr.value));
            } else if (attr.name == "href" && tag == "base") {
                if (!m_baseSeen) {
                    m_baseSeen = true;
                    const Span span = trimmedSpan(attr.value);
                    m_file.base = fromUtf8(attr.value.substr(span.start, span.length));
                }
            } else if (linkAttribute(tag, attr.name, attributes)) {
                const HtmlAttribute *rel = tag == "link" ? attribute(attributes, "rel") : nullptr;
                addValue(attr, trimmedSpan(attr.value), rel && hasToken(rel->value, "stylesheet"));
            } else if (attr.name == "srcset" && (tag == "img" || tag == "source")) {
                for (const Span &span : srcsetUrls(attr.value))
                    addValue(attr, span, false);
            } else if (attr.name == "style") {
                for (const CssLink &found : cssLinks(attr.value))
                    addValue(attr, found.span, found.import);
            }
        }
    }

    void styleText(std::string_view css, size_t offset) override
    {
        for (const CssLink &found : cssLinks(css))
            add(offset + found.span.start, css.substr(found.span.start, found.span.length),
                found.import);
    }

    ParsedFile finish()
    {
        std::stable_sort(m_placed.begin(), m_placed.end(),
            [](const Placed &a, const Placed &b) { return a.offset < b.offset; });
        // A tree builder copies unclosed formatting elements (<a> among them) into the
        // elements that follow: one link in the text, however often it stands in the tree.
        m_placed.erase(std::unique(m_placed.begin(), m_placed.end(),
                           [](const Placed &a, const Placed &b) {
                               return a.offset == b.offset && a.link.text == b.link.text;
                           }),
            m_placed.end());
        TextPositions positions(m_text);
        m_file.links.reserve(m_placed.size());
        for (Placed &placed : m_placed) {
            const TextPositions::Position at = positions.at(placed.offset);
            placed.link.line = at.line;
            placed.link.column = at.column;
            m_file.links.push_back(std::move(placed.link));
        }
        return std::move(m_file);
    }

private:
    // A link inside an attribute's value, `span` in the value as decoded.
    void addValue(const HtmlAttribute &attr, Span span, bool sheet)
    {
        if (span.length == 0)
            return;
        const size_t offset = attr.source.data() == attr.value.data()
            ? attr.sourceOffset + span.start
            : attr.sourceOffset + sourceOffset(attr.source, attr.value, span.start);
        add(offset, attr.value.substr(span.start, span.length), sheet);
    }

    void add(size_t offset, std::string_view text, bool sheet)
    {
        if (!text.empty())
            m_placed.push_back({ offset, FoundLink { fromUtf8(text), 0, 0, sheet } });
    }

    std::string_view m_text;
    std::vector<Placed> m_placed;
    ParsedFile m_file;
    bool m_baseSeen = false;
};

// Gumbo's tree walked element by element, in document order.
void readGumboTree(GumboNode *root, std::string_view text, HtmlElements &into)
{
    const auto inText = [&](const char *at) {
        return at && at >= text.data() && at <= text.data() + text.size();
    };
    std::vector<GumboNode *> pending { root };
    std::vector<HtmlAttribute> attributes;
    std::string tag;
    while (!pending.empty()) {
        GumboNode *node = pending.back();
        pending.pop_back();
        const GumboVector *children = &node->v.document.children;
        if (node->type == GUMBO_NODE_ELEMENT || node->type == GUMBO_NODE_TEMPLATE) {
            const GumboElement &element = node->v.element;
            if (element.tag == GUMBO_TAG_UNKNOWN) {
                GumboStringPiece name = element.original_tag;
                gumbo_tag_from_original_text(&name);
                tag.assign(name.data, name.length);
                std::transform(tag.begin(), tag.end(), tag.begin(),
                    [](char c) { return char(std::tolower(static_cast<unsigned char>(c))); });
            } else {
                tag = gumbo_normalized_tagname(element.tag);
            }
            attributes.clear();
            for (unsigned i = 0; i < element.attributes.length; ++i) {
                const auto *attr = static_cast<const GumboAttribute *>(element.attributes.data[i]);
                std::string_view source(attr->original_value.data, attr->original_value.length);
                if (!inText(source.data()))
                    source = {};
                if (!source.empty() && (source.front() == '"' || source.front() == '\'')) {
                    const bool closed = source.size() > 1 && source.back() == source.front();
                    source = source.substr(1, source.size() - (closed ? 2 : 1));
                }
                attributes.push_back({ attr->name, attr->value, source,
                    source.data() ? size_t(source.data() - text.data()) : 0 });
            }
            into.element(tag, attributes);
            if (element.tag == GUMBO_TAG_STYLE)
                for (unsigned i = 0; i < element.children.length; ++i) {
                    const auto *child = static_cast<const GumboNode *>(element.children.data[i]);
                    const GumboStringPiece &piece = child->v.text.original_text;
                    if ((child->type == GUMBO_NODE_TEXT || child->type == GUMBO_NODE_WHITESPACE)
                        && inText(piece.data))
                        into.styleText({ piece.data, piece.length }, size_t(piece.data - text.data()));
                }
            children = &element.children;
        } else if (node->type != GUMBO_NODE_DOCUMENT) {
            continue;
        }
        for (unsigned i = children->length; i > 0; --i)
            pending.push_back(static_cast<GumboNode *>(children->data[i - 1]));
    }
}

} // namespace

std::string decodeAttributeWithGumbo(std::string_view source, char quote)
{
    std::string page = "<a x=";
    if (quote)
        page += quote;
    page.append(source);
    if (quote)
        page += quote;
    page += '>';
    // With its errors: gumbo 0.10 mixes up the name of an attribute after a repeated one
    // when it does not record them.
    GumboOptions options = kGumboDefaultOptions;
    GumboOutput *output = gumbo_parse_with_options(&options, page.data(), page.size());
    std::string value;
    const GumboVector &body
        = static_cast<GumboNode *>(output->root->v.element.children.data[1])->v.element.children;
    if (body.length > 0) {
        const auto *link = static_cast<const GumboNode *>(body.data[0]);
        if (link->type == GUMBO_NODE_ELEMENT)
            if (const GumboAttribute *x = gumbo_get_attribute(&link->v.element.attributes, "x"))
                value = x->value;
    }
    gumbo_destroy_output(&options, output);
    return value;
}

ParsedFile parseHtml(const QByteArray &bytes)
{
    const QByteArray text = utf8Text(bytes);
    const std::string_view view(text.constData(), size_t(text.size()));
    Collector collector(view);
    scanHtml(view, collector);
    return collector.finish();
}

ParsedFile parseHtmlChecked(const QByteArray &bytes, std::vector<HtmlProblem> *problems)
{
    const QByteArray text = utf8Text(bytes);
    const std::string_view view(text.constData(), size_t(text.size()));
    Collector collector(view);
    scanHtml(view, collector);
    *problems = checkHtml(view);
    return collector.finish();
}

std::vector<HtmlProblem> checkPage(const QByteArray &bytes)
{
    const QByteArray text = utf8Text(bytes);
    return checkHtml(std::string_view(text.constData(), size_t(text.size())));
}

ParsedFile parseHtmlWithGumbo(const QByteArray &bytes)
{
    const QByteArray text = utf8Text(bytes);
    const std::string_view view(text.constData(), size_t(text.size()));
    GumboOptions options = kGumboDefaultOptions; // errors recorded, see above
    GumboOutput *output = gumbo_parse_with_options(&options, view.data(), view.size());
    Collector collector(view);
    readGumboTree(output->document, view, collector);
    gumbo_destroy_output(&options, output);
    return collector.finish();
}

ParsedFile parseCss(const QByteArray &bytes)
{
    const QByteArray text = utf8Text(bytes);
    const std::string_view view(text.constData(), size_t(text.size()));
    Collector collector(view);
    collector.styleText(view, 0);
    return collector.finish();
}

} // namespace linkcheck
