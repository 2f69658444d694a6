#pragma once

// What a page or a style sheet holds for the check: its links, where they are, its anchors.
#include <QByteArray>
#include <QSet>
#include <QString>

#include <vector>

#include "linkcheck/htmlcheck.h"

namespace linkcheck {

struct FoundLink {
    QString text; // as written: references decoded, blanks trimmed
    int line = 0;
    int column = 0;
    bool styleSheet = false; // read as a style sheet (<link rel=stylesheet>, @import)

    friend bool operator==(const FoundLink &, const FoundLink &) = default;
};

struct ParsedFile {
    std::vector<FoundLink> links; // in the order of the text
    QSet<QString> anchors; // ids and <a name>
    QString base; // the first <base href>, empty when none
};

// A page as the browser's HTML5 tokenizer reads it, with the tree builder's few effects on
// what is an element (foreign content, <image>, text-only elements). Text that is not UTF-8
// is read as Latin-1; columns count characters either way.
ParsedFile parseHtml(const QByteArray &bytes);

// The same, with the page's HTML errors from the same text.
ParsedFile parseHtmlChecked(const QByteArray &bytes, std::vector<HtmlProblem> *problems);

// The page's HTML errors alone.
std::vector<HtmlProblem> checkPage(const QByteArray &bytes);

// The same read by gumbo's full HTML5 parser: ten times slower, the measure parseHtml is
// held to.
ParsedFile parseHtmlWithGumbo(const QByteArray &bytes);

// A style sheet's url(...) and @import links.
ParsedFile parseCss(const QByteArray &bytes);

} // namespace linkcheck
