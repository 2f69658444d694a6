#include "console.h"

namespace batch {

ConsoleDialogs::ConsoleDialogs(QIODevice &err, const QString &prefix, bool force)
    : m_err(err)
    , m_prefix(prefix)
    , m_force(force)
{
    platform::setDialogs(this);
}

ConsoleDialogs::~ConsoleDialogs()
{
    platform::setDialogs(nullptr);
}

void ConsoleDialogs::report(const QString &text)
{
    ++problems;
    writeLine(m_err, m_prefix + text.simplified());
}

platform::Answer ConsoleDialogs::AskYesNoCancel(const QString &text)
{
    if (m_force)
        return platform::Answer::Yes;
    const QString file = text.section(QLatin1Char('\n'), 0, 0).section(QStringLiteral(": "), 1);
    report(file + QStringLiteral(" exists, not overwritten (--force overwrites)"));
    return platform::Answer::No;
}

} // namespace batch
