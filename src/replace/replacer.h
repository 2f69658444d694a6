#pragma once

#include "platform/textcodec.h"
#include "replace/replaceoptions.h"

#include <QByteArray>
#include <QRegularExpression>
#include <QString>

#include <functional>
#include <vector>

namespace replace {

// One replacement: the bytes [begin, end) of the page become `bytes`.
struct Edit {
    qsizetype begin = 0;
    qsizetype end = 0;
    QByteArray bytes;
};

// What a replace does to one page: its edits, sorted and apart, or why the page is refused.
struct PagePlan {
    std::vector<Edit> edits;
    platform::TextEncoding encoding = platform::TextEncoding::Utf8;
    QString error; // not empty: the page is left as it is (no edits)
};

// One edit as the preview shows it: the 1-based line where it starts, and that line (cut to
// some characters around the change) before and after it.
struct ChangeView {
    int line = 0;
    QString before;
    QString after;
};

// Finds and replaces in one page at a time, by the options; const, so one replacer serves
// every thread.
class Replacer
{
public:
    explicit Replacer(const ReplaceOptions &options);

    // Empty when the options can be used; otherwise why not (no find text, a regular
    // expression that does not compile, a name that is no name).
    QString problem() const { return m_problem; }
    const ReplaceOptions &options() const { return m_options; }

    // The edits of the page's bytes. Every byte outside them stays as it is.
    PagePlan plan(const QByteArray &page) const;

private:
    struct Match {
        qsizetype begin; // bytes of the page
        qsizetype end;
        QString with; // before escaping
    };
    using MatchSink = std::function<void(const Match &)>;

    void findBytes(const QByteArray &page, qsizetype begin, qsizetype end,
        platform::TextEncoding encoding, const MatchSink &found) const;
    void findText(const QByteArray &page, qsizetype begin, qsizetype end,
        platform::TextEncoding encoding, bool references, const MatchSink &found) const;
    QString expanded(const QRegularExpressionMatch &match) const;

    ReplaceOptions m_options;
    QString m_problem;
    QRegularExpression m_regex;
    QByteArray m_findUtf8;
    QByteArray m_findLatin1; // empty when the find text has no Latin-1 form
};

// The page with the edits made.
QByteArray applyEdits(const QByteArray &page, const std::vector<Edit> &edits);

// The edits as the preview shows them, in the page's encoding.
std::vector<ChangeView> describeEdits(
    const QByteArray &page, platform::TextEncoding encoding, const std::vector<Edit> &edits);

// Whether the bytes are valid UTF-8 (the encoding a page is read in), quickly over ASCII.
bool isUtf8(const QByteArray &bytes);

} // namespace replace
