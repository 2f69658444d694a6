#include "formatter/formatselection.h"

#include "formatter/compress.h"
#include "formatter/layout.h"
#include "formatter/tagkey.h"
#include "formatter/tokenizer.h"

namespace formatter {

namespace {

bool isCrLf(QStringView text, qsizetype i)
{
    return text.at(i) == QLatin1Char('\r') && i + 1 < text.size()
        && text.at(i + 1) == QLatin1Char('\n');
}

// Every CR LF pair becomes one LF; a lone CR stays.
void joinCrLfInPlace(QString &text)
{
    if (!text.contains(QLatin1Char('\r')))
        return;
    QChar *data = text.data();
    qsizetype out = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (!isCrLf(text, i))
            data[out++] = data[i];
    }
    text.truncate(out);
}

// Nothing is laid out, but the tokenizer still runs.
struct IgnoredTokens final : TokenSink {
    void tokenLine(QStringView) override { }
    void verbatimBlock(const BlockText &) override { }
};

// text: CR LF pairs already joined.
void run(Style &style, QStringView text, FormatMode mode,
    const std::optional<QString> &selectionIndent, ResultWriter &out, const FormatHooks &hooks)
{
    RunContext context;
    context.selectionMode = selectionIndent.has_value();
    if (selectionIndent)
        context.selectionIndent = selectionIndent->left(kMaxIndentWidth);
    context.styleName = style.name.isEmpty() ? style.options.styleName : style.name;
    context.hooks = hooks;
    switch (mode) {
    case FormatMode::Trim:
        TrimSource(text, style.trimTags, hooks, out);
        break;
    case FormatMode::Compress:
        CompressTokens(text, style.options, style.rules, context, out);
        break;
    case FormatMode::Format:
        FormatTokens(text, style.options, style.rules, context, out);
        break;
    default: {
        IgnoredTokens ignored;
        TokenizeSource(text, style.options, style.rules, hooks, ignored);
    }
    }
    out.finish();
}

// The verbatim block other than a cell that the "<" at p opens, if any.
const VerbatimTag *verbatimBlockAt(QStringView text, qsizetype p)
{
    if (!canBeginTag(text, p))
        return nullptr;
    qsizetype name = p + 1;
    while (name < text.size() && isBlank(text.at(name)))
        ++name;
    // The longest opening key is short; a few characters more decide it.
    const QString tag
        = QLatin1Char('<') + text.sliced(name, qMin<qsizetype>(16, text.size() - name));
    const qsizetype entry = verbatimEntryOf(TagKey(tag));
    if (entry < 0 || VerbatimTagTable.at(entry).openingKey == u"<TD>")
        return nullptr;
    return &VerbatimTagTable.at(entry);
}

// Where the first character of a selection that a run lays out stands, or -1: blanks go,
// and comments, PRE, SCRIPT, STYLE and TEXTAREA blocks come back at their own columns.
qsizetype firstLaidOutCharacter(QStringView text)
{
    qsizetype p = 0;
    while (p < text.size()) {
        if (isBlank(text.at(p))) {
            ++p;
            continue;
        }
        const VerbatimTag *block
            = text.at(p) == QLatin1Char('<') ? verbatimBlockAt(text, p) : nullptr;
        if (!block)
            return p;
        const qsizetype closing = text.indexOf(block->closingText, p + 1, Qt::CaseInsensitive);
        if (closing < 0)
            return -1;
        const qsizetype gt
            = text.indexOf(QLatin1Char('>'), closing + block->closingText.size() - 1);
        if (gt < 0)
            return -1;
        p = gt + 1;
    }
    return -1;
}

QString runToText(Style &style, QStringView text, FormatMode mode,
    const std::optional<QString> &selectionIndent, const FormatHooks &hooks)
{
    QString source = text.toString();
    joinCrLfInPlace(source);
    ResultWriter out;
    out.reserve(source.size() + source.size() / 4 + 64);
    run(style, source, mode, selectionIndent, out, hooks);
    return out.takeText();
}

} // namespace

QString SelectionIndent(QStringView selectedText)
{
    const qsizetype first = firstLaidOutCharacter(selectedText);
    if (first < 0)
        return QString();
    const qsizetype lineStart = selectedText.first(first).lastIndexOf(QLatin1Char('\n')) + 1;
    qsizetype n = lineStart;
    while (n < first && n - lineStart < kMaxIndentWidth
        && (selectedText.at(n) == QLatin1Char(' ') || selectedText.at(n) == QLatin1Char('\t')))
        ++n;
    return selectedText.sliced(lineStart, n - lineStart).toString();
}

QString FormatSelection(Style &style, QStringView selectedText, const QString &selectionIndent,
    FormatMode mode, const FormatHooks &hooks)
{
    return runToText(style, selectedText, mode, selectionIndent, hooks);
}

QString FormatDocument(Style &style, QStringView text, FormatMode mode, const FormatHooks &hooks)
{
    return runToText(style, text, mode, std::nullopt, hooks);
}

void FormatText(Style &style, QString &&text, FormatMode mode,
    const std::optional<QString> &selectionIndent, ResultWriter &out, const FormatHooks &hooks)
{
    QString source = std::move(text);
    joinCrLfInPlace(source);
    run(style, source, mode, selectionIndent, out, hooks);
}

} // namespace formatter
