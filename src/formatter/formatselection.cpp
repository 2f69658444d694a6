#include "formatter/formatselection.h"

#include "formatter/compress.h"
#include "formatter/layout.h"
#include "formatter/tokenizer.h"

namespace formatter {

namespace {

QString joinWithCrLf(const QStringList &lines)
{
    qsizetype size = 0;
    for (const QString &line : lines)
        size += line.size() + 2;
    QString text;
    text.reserve(size);
    for (const QString &line : lines) {
        text += line;
        text += QStringLiteral("\r\n");
    }
    return text;
}

QStringList runMode(Style &style, QStringView text, FormatMode mode, const RunContext &context)
{
    QString source = text.toString();
    source.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    if (mode == FormatMode::Trim)
        return TrimSource(source, style.trimTags, context.hooks);
    const TokenLists tokens = TokenizeSource(source, style.options, style.rules, context.hooks);
    source = QString(); // the tokens hold what is needed from here on
    switch (mode) {
    case FormatMode::Compress:
        return CompressTokens(tokens, style.options, context);
    case FormatMode::Format:
        return FormatTokens(tokens, style.options, style.rules, context);
    default:
        return QStringList();
    }
}

QString run(Style &style, QStringView text, FormatMode mode, bool selectionMode,
            const QString &selectionIndent, const FormatHooks &hooks)
{
    RunContext context;
    context.selectionMode = selectionMode;
    context.selectionIndent = selectionIndent.left(kMaxIndentWidth);
    context.styleName = style.name.isEmpty() ? style.options.styleName : style.name;
    context.hooks = hooks;
    return joinWithCrLf(runMode(style, text, mode, context));
}

} // namespace

QString SelectionIndent(QStringView line)
{
    qsizetype n = 0;
    while (n < line.size() && n < kMaxIndentWidth
           && (line.at(n) == QLatin1Char(' ') || line.at(n) == QLatin1Char('\t')))
        ++n;
    return line.first(n).toString();
}

QString FormatSelection(Style &style, QStringView selectedText, const QString &selectionIndent,
                        FormatMode mode, const FormatHooks &hooks)
{
    return run(style, selectedText, mode, true, selectionIndent, hooks);
}

QString FormatDocument(Style &style, QStringView text, FormatMode mode, const FormatHooks &hooks)
{
    return run(style, text, mode, false, QString(), hooks);
}

} // namespace formatter
