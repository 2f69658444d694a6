#include "formatter/formatselection.h"

#include "formatter/compress.h"
#include "formatter/layout.h"
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
    const auto isBlank = [](QChar c) {
        return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\r');
    };
    qsizetype lineStart = 0;
    for (qsizetype i = 0; i < selectedText.size(); ++i) {
        const QChar c = selectedText.at(i);
        if (c == QLatin1Char('\n')) {
            lineStart = i + 1;
        } else if (!isBlank(c)) {
            qsizetype n = lineStart;
            while (
                n < i && n - lineStart < kMaxIndentWidth && selectedText.at(n) != QLatin1Char('\r'))
                ++n;
            return selectedText.sliced(lineStart, n - lineStart).toString();
        }
    }
    return QString();
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
