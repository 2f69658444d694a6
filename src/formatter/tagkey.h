#pragma once

#include <QString>
#include <QStringView>

#include <array>

namespace formatter {

// "<" + optional "/" + the tag name in upper case + ">": the form in which tags are looked
// up. The name ends at the first character that is not an ASCII letter, a digit, "<" or
// "/"; a tag that ends before that gets no ">". Comments give "<!--", or "<!--~" for the
// comments the formatter writes itself.
QString TagKey(QStringView tag);

// As TagKey, but gives up once the key would be longer than maxLength, returning a
// longer text that matches no key of that length. Keeps scans of "<<<<..." linear.
QString TagKey(QStringView tag, qsizetype maxLength);

// The same into key, whose memory is reused from tag to tag.
void TagKeyInto(QStringView tag, qsizetype maxLength, QString &key);

// Closes a key whose name only the end of the tag's text ended, the tag's text running to the
// end of the source ("<S" of "x <s"): the line break after the result ends it on the next
// run, so it is taken as closed now ("<S>"). tagLength: the length of the text keyed.
void closeKeyAtEnd(QString &key, qsizetype tagLength);

// Whitespace, lone CRs included: what may stand between "<" and a tag's name.
inline bool isBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\n')
        || c == QLatin1Char('\r');
}

// Whether the "<" at position p of text begins a tag: after any blanks a letter, "/", "!"
// or "?" follows. Any other "<" ("1 < 2", "a <= b", "<3", a "<" at the end) is text.
bool canBeginTag(QStringView text, qsizetype p);

struct VerbatimTag {
    QStringView openingKey;
    QStringView closingText; // no ">", so closing tags with attributes are found too
};

// Blocks whose text is kept as it stands; the first matching entry counts.
// clang-format off
inline constexpr std::array<VerbatimTag, 7> VerbatimTagTable = {{
    {u"<!--", u"-->"},
    {u"<!--~", u"~-->"},
    {u"<PRE>", u"</PRE"},
    {u"<TD>", u"</TD"},
    {u"<SCRIPT>", u"</SCRIPT"},
    {u"<STYLE>", u"</STYLE"},
    {u"<TEXTAREA>", u"</TEXTAREA"},
}};

// The entry of VerbatimTagTable whose opening key is key, or -1.
inline qsizetype verbatimEntryOf(QStringView key)
{
    for (qsizetype i = 0; i < qsizetype(VerbatimTagTable.size()); ++i) {
        if (VerbatimTagTable.at(i).openingKey == key)
            return i;
    }
    return -1;
}

// Keys after which whitespace of the source does not become a space of the tag. The last,
// empty entry matches no key.
inline constexpr std::array<QStringView, 50> BlockTagList = {
    u"<TR>", u"</TR>", u"</TD>", u"</DD>", u"</LI>", u"<UL>", u"</UL>", u"<OL>", u"</OL>",
    u"<BLOCKQUOTE>", u"</BLOCKQUOTE>", u"<BODY>", u"</BODY>", u"<HEAD>", u"</HEAD>", u"<DIR>",
    u"</DIR>", u"<DL>", u"</DL>", u"</CAPTION>", u"</DT>", u"<FRAMESET>", u"</FRAMESET>",
    u"</H1>", u"</H2>", u"</H3>", u"</H4>", u"</H5>", u"</H6>", u"<MAP>", u"</MAP>", u"<MENU>",
    u"</MENU>", u"<NOFRAMES>", u"</NOFRAMES>", u"<SELECT>", u"<TABLE>", u"</TABLE>", u"</P>",
    u"<TEXTAREA>", u"</TEXTAREA>", u"</TH>", u"<TITLE>", u"</TITLE>", u"<HTML>", u"<META>",
    u"<OPTION>", u"<HR>", u"<TD>", u"",
};
// clang-format on

bool isBlockTag(QStringView key);

// Hashes views for maps keyed by views of texts that outlive the map, so that a lookup
// needs no copy of its key.
struct ViewHash {
    // FNV-1a: keys are a few characters long, where it beats a general hash.
    size_t operator()(QStringView text) const noexcept
    {
        size_t hash = 14695981039346656037ULL;
        for (const QChar c : text)
            hash = (hash ^ c.unicode()) * 1099511628211ULL;
        return hash;
    }
};

// Changes the letter case of the tag name that starts at position from: up to the first
// space, double quote or ">". tagCase 1 upper case (a-z), 2 lower case (A-Z and the
// capitals A, O, U with diaeresis), any other value no change. Attributes stay as they are.
void convertTagNameCase(QString &text, qsizetype from, int tagCase);

// One character of a tag name in the letter case of tagCase.
QChar tagNameCharacter(QChar c, int tagCase);

} // namespace formatter
