#include "stylefixture.h"

#include "formatter/formatselection.h"

#include <gtest/gtest.h>

using namespace formatter;

namespace {

// The editor's "Format" on a selection, with fresh counters as after a start.
QString formatSelected(const QString &text, FormatMode mode)
{
    Style style = shippedStyle();
    const qsizetype lf = text.indexOf(QLatin1Char('\n'));
    const QStringView firstLine = QStringView(text).first(lf < 0 ? text.size() : lf);
    return FormatSelection(style, text, SelectionIndent(firstLine), mode);
}

// Formats each selection, then the result again, and gives the cases that changed.
QStringList unstable(const QList<const char16_t *> &selections, FormatMode mode)
{
    QStringList changed;
    for (const char16_t *selection : selections) {
        const QString once = formatSelected(QString::fromUtf16(selection), mode);
        if (formatSelected(once, mode) != once)
            changed << QString::fromUtf16(selection);
    }
    return changed;
}

} // namespace

// A selection may end anywhere, inside a tag or an open cell too: formatting the result a
// second time changes nothing.
TEST(SelectionEnds, FormattingAgainChangesNothing)
{
    const QList<const char16_t *> selections = {
        u"a <",
        u"<td>x",
        u"<p>one <b>two",
        u"a <!--",
        u"<table><tr><td>a</td><td>",
        u"x <a href=\"y",
        u"<pre> a\n  b",
        u"x <s",
        u"<td><i>",
        u"<td><img src=x>",
        u"x <td",
        u"a <b",
    };
    EXPECT_EQ(unstable(selections, FormatMode::Format), QStringList());
    EXPECT_EQ(unstable(selections, FormatMode::Compress), QStringList());
    EXPECT_EQ(unstable(selections, FormatMode::Trim), QStringList());
}

