#include "linkcheck/pageparse.h"

#include "linkcheck/linktext.h"

#include <gumbo.h>

#include <algorithm>
#include <cstring>
#include <string_view>

namespace linkcheck {

namespace {

bool isValidUtf8(const QByteArray &bytes)
{
    const auto *at = reinterpret_cast<const unsigned char *>(bytes.constData());
    const auto *end = at + bytes.size();
    while (at < end) {
        if (*at < 0x80) {
            ++at;
            continue;
        }
        const int more = (*at & 0xE0) == 0xC0 ? 1 : (*at & 0xF0) == 0xE0 ? 2 : (*at & 0xF8) == 0xF0 ? 3 : -1;
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

// A link found at a byte offset, before offsets become lines and columns.
struct Placed {
    size_t offset;
    FoundLink link;
};

class PageReader
{
public:
    explicit PageReader(std::string_view text)
        : m_text(text)
    { }

    ParsedFile read(GumboNode *root)
    {
        std::vector<GumboNode *> pending { root };
        while (!pending.empty()) {
            GumboNode *node = pending.back();
            pending.pop_back();
            const GumboVector *children = nullptr;
            if (node->type == GUMBO_NODE_DOCUMENT) {
                children = &node->v.document.children;
            } else if (node->type == GUMBO_NODE_ELEMENT || node->type == GUMBO_NODE_TEMPLATE) {
                readElement(node->v.element);
                children = &node->v.element.children;
            }
            if (children)
                for (unsigned i = children->length; i > 0; --i)
                    pending.push_back(static_cast<GumboNode *>(children->data[i - 1]));
        }
        return finish();
    }

    void readCss(std::string_view css, size_t offset)
    {
        for (const CssLink &found : cssLinks(css))
            add(offset + found.span.start, css.substr(found.span.start, found.span.length),
                found.import);
    }

    ParsedFile finish()
    {
        std::stable_sort(m_placed.begin(), m_placed.end(),
            [](const Placed &a, const Placed &b) { return a.offset < b.offset; });
        TextPositions positions(m_text);
        for (Placed &placed : m_placed) {
            const TextPositions::Position at = positions.at(placed.offset);
            placed.link.line = at.line;
            placed.link.column = at.column;
            m_file.links.push_back(std::move(placed.link));
        }
        return std::move(m_file);
    }

private:
    static const GumboAttribute *attribute(const GumboElement &element, const char *name)
    {
        return gumbo_get_attribute(&element.attributes, name);
    }

    static bool hasToken(const GumboAttribute *attr, std::string_view token)
    {
        if (!attr)
            return false;
        const QString value = QString::fromUtf8(attr->value);
        for (const QStringView word : QStringView(value).split(u' ', Qt::SkipEmptyParts))
            if (word.trimmed().compare(QLatin1String(token.data(), qsizetype(token.size())),
                    Qt::CaseInsensitive) == 0)
                return true;
        return false;
    }

    // Does this element's attribute hold a link?
    static bool linkAttribute(const GumboElement &element, std::string_view name)
    {
        switch (element.tag) {
        case GUMBO_TAG_A:
        case GUMBO_TAG_AREA:
        case GUMBO_TAG_LINK:
            return name == "href";
        case GUMBO_TAG_IMG:
        case GUMBO_TAG_SCRIPT:
        case GUMBO_TAG_IFRAME:
        case GUMBO_TAG_FRAME:
        case GUMBO_TAG_EMBED:
        case GUMBO_TAG_SOURCE:
        case GUMBO_TAG_TRACK:
        case GUMBO_TAG_AUDIO:
            return name == "src";
        case GUMBO_TAG_VIDEO:
            return name == "src" || name == "poster";
        case GUMBO_TAG_OBJECT:
            return name == "data";
        case GUMBO_TAG_INPUT:
            return name == "src" && hasToken(attribute(element, "type"), "image");
        default:
            return false;
        }
    }

    void readElement(const GumboElement &element)
    {
        for (unsigned i = 0; i < element.attributes.length; ++i) {
            const auto *attr = static_cast<const GumboAttribute *>(element.attributes.data[i]);
            const std::string_view name = attr->name;
            if (name == "id" || (name == "name" && element.tag == GUMBO_TAG_A)) {
                if (*attr->value)
                    m_file.anchors.insert(QString::fromUtf8(attr->value));
            } else if (name == "href" && element.tag == GUMBO_TAG_BASE) {
                if (!m_baseSeen) {
                    m_baseSeen = true;
                    const std::string_view value = attr->value;
                    const Span span = trimmedSpan(value);
                    m_file.base = fromUtf8(value.substr(span.start, span.length));
                }
            } else if (linkAttribute(element, name) || name == "background") {
                const bool sheet = element.tag == GUMBO_TAG_LINK
                    && hasToken(attribute(element, "rel"), "stylesheet");
                addValue(*attr, trimmedSpan(attr->value), sheet);
            } else if (name == "srcset"
                && (element.tag == GUMBO_TAG_IMG || element.tag == GUMBO_TAG_SOURCE)) {
                for (const Span &span : srcsetUrls(attr->value))
                    addValue(*attr, span, false);
            } else if (name == "style") {
                for (const CssLink &found : cssLinks(attr->value))
                    addValue(*attr, found.span, found.import);
            }
        }
        if (element.tag == GUMBO_TAG_STYLE)
            readStyleText(element);
    }

    void readStyleText(const GumboElement &element)
    {
        for (unsigned i = 0; i < element.children.length; ++i) {
            const auto *child = static_cast<const GumboNode *>(element.children.data[i]);
            if (child->type != GUMBO_NODE_TEXT && child->type != GUMBO_NODE_WHITESPACE)
                continue;
            const GumboStringPiece &piece = child->v.text.original_text;
            if (inText(piece.data))
                readCss({ piece.data, piece.length }, size_t(piece.data - m_text.data()));
        }
    }

    bool inText(const char *at) const
    {
        return at && at >= m_text.data() && at <= m_text.data() + m_text.size();
    }

    // A link inside an attribute's value, `span` in the value as decoded.
    void addValue(const GumboAttribute &attr, Span span, bool sheet)
    {
        if (span.length == 0)
            return;
        const std::string_view decoded = attr.value;
        std::string_view source(attr.original_value.data, attr.original_value.length);
        size_t offset = size_t(attr.value_start.offset);
        if (inText(source.data())) {
            if (!source.empty() && (source.front() == '"' || source.front() == '\'')) {
                const bool closed = source.size() > 1 && source.back() == source.front();
                source = source.substr(1, source.size() - (closed ? 2 : 1));
            }
            offset = size_t(source.data() - m_text.data())
                + sourceOffset(source, decoded, span.start);
        }
        add(offset, decoded.substr(span.start, span.length), sheet);
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

} // namespace

ParsedFile parseHtml(const QByteArray &bytes)
{
    const QByteArray text = utf8Text(bytes);
    GumboOptions options = kGumboDefaultOptions;
    options.max_errors = 0;
    GumboOutput *output = gumbo_parse_with_options(&options, text.constData(), size_t(text.size()));
    PageReader reader({ text.constData(), size_t(text.size()) });
    ParsedFile file = reader.read(output->document);
    gumbo_destroy_output(&options, output);
    return file;
}

ParsedFile parseCss(const QByteArray &bytes)
{
    const QByteArray text = utf8Text(bytes);
    PageReader reader({ text.constData(), size_t(text.size()) });
    reader.readCss({ text.constData(), size_t(text.size()) }, 0);
    return reader.finish();
}

} // namespace linkcheck
