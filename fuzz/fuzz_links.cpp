// The link check's reading of pages and style sheets, and the resolution of what it finds:
// every place lies in the text, and no link, escapes or not, resolves outside the root
// without being called so. The HTML check on the same reading: its problems lie in the text,
// name known rules, and come out the same when the page is checked again.
#include "fuzzing.h"

#include "linkcheck/linkresolve.h"
#include "linkcheck/pageparse.h"

#include <algorithm>

namespace {

const QString kRoot = QStringLiteral("/site/root");

bool isClean(const QString &path)
{
    return path.startsWith(u'/') && !path.contains(QLatin1String("//"))
        && !path.contains(QLatin1String("/./")) && !path.contains(QLatin1String("/../"))
        && !path.endsWith(QLatin1String("/..")) && (path == u"/" || !path.endsWith(u'/'));
}

void checkFile(const linkcheck::ParsedFile &file, const QByteArray &input)
{
    const linkcheck::Base base
        = linkcheck::pageBase(kRoot + QStringLiteral("/sub/page.html"), file.base, kRoot);
    const qsizetype lines = input.count('\n') + input.count('\r') + 1;
    for (const linkcheck::FoundLink &link : file.links) {
        FUZZ_CHECK(!link.text.isEmpty() && link.line >= 1 && link.line <= lines);
        FUZZ_CHECK(link.column >= 1 && link.column <= input.size() + 1);
        const linkcheck::LinkTarget target = linkcheck::resolveLink(link.text, base, kRoot);
        if (target.kind == linkcheck::LinkTarget::Local)
            FUZZ_CHECK(isClean(target.path) && linkcheck::isInside(target.path, kRoot));
        if (target.kind == linkcheck::LinkTarget::Outside)
            FUZZ_CHECK(isClean(target.path) && !linkcheck::isInside(target.path, kRoot));
        // One form for each of the last names at most, and only when one of them matters.
        FUZZ_CHECK(target.forms.size() <= target.path.count(u'/'));
        FUZZ_CHECK(target.forms.isEmpty()
            || std::any_of(target.forms.begin(), target.forms.end(),
                [](QChar c) { return c.unicode() != linkcheck::AnyForm; }));
    }
}

void checkProblems(const QByteArray &input)
{
    std::vector<linkcheck::HtmlProblem> problems;
    const linkcheck::ParsedFile file = linkcheck::parseHtmlChecked(input, &problems);
    FUZZ_CHECK(file.links == linkcheck::parseHtml(input).links);
    FUZZ_CHECK(problems.size() <= linkcheck::kMaxHtmlProblems);
    const qsizetype lines = input.count('\n') + input.count('\r') + 1;
    for (const linkcheck::HtmlProblem &problem : problems) {
        FUZZ_CHECK(linkcheck::isHtmlRuleId(problem.rule) && !problem.message.empty());
        FUZZ_CHECK(problem.line >= 1 && problem.line <= lines);
        FUZZ_CHECK(problem.column >= 1 && problem.column <= input.size() + 1);
    }
    std::vector<linkcheck::HtmlProblem> again;
    linkcheck::parseHtmlChecked(input, &again);
    FUZZ_CHECK(again == problems);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input = fuzzing::bytes(data, size);
    checkFile(linkcheck::parseHtml(input), input);
    checkFile(linkcheck::parseCss(input), input);
    checkProblems(input);
    return 0;
}
