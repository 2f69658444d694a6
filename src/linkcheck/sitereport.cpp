#include "linkcheck/sitereport.h"

#include "platform/filenames.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QUrl>

#include <algorithm>

namespace linkcheck {

namespace {

// The written link with the names that differ in case spelled as on disk.
QString caseSuggestion(const QString &written, const QString &spelled)
{
    const qsizetype end = [&] {
        const qsizetype query = written.indexOf(u'?');
        const qsizetype hash = written.indexOf(u'#');
        if (query < 0 || (hash >= 0 && hash < query))
            return hash < 0 ? written.size() : hash;
        return query;
    }();
    QStringList parts = written.left(end).split(u'/');
    const QStringList real = spelled.split(u'/', Qt::SkipEmptyParts);
    qsizetype r = real.size() - 1;
    for (qsizetype w = parts.size() - 1; w >= 0 && r >= 0; --w) {
        const QString &part = parts.at(w);
        if (part.isEmpty())
            continue;
        if (part == u"." || part == u"..")
            break;
        const QString name
            = platform::decodeFileName(QByteArray::fromPercentEncoding(part.toUtf8()));
        const QString &disk = real.at(r--);
        if (name != disk && name.compare(disk, Qt::CaseInsensitive) == 0)
            parts[w]
                = part.contains(u'%') ? QString::fromLatin1(QUrl::toPercentEncoding(disk)) : disk;
    }
    return parts.join(u'/') + written.mid(end);
}

} // namespace

BrokenLink unreadableEntry(const QString &shown, const QString &why)
{
    BrokenLink entry;
    entry.page = shown;
    entry.line = 1;
    entry.column = 1;
    entry.problem = Problem::CannotRead;
    entry.why = why;
    return entry;
}

ReportWriter::ReportWriter(const TargetTable &targets, const SiteScope &scope)
    : m_targets(targets)
    , m_scope(scope)
{ }

void ReportWriter::addRecord(const Record &record, std::vector<BrokenLink> *into)
{
    if (record.unreadable) {
        into->push_back(unreadableEntry(record.shown, record.why));
        return;
    }
    for (const Link &link : record.links)
        if (link.problem)
            into->push_back(broken(record, link));
}

BrokenLink ReportWriter::broken(const Record &record, const Link &link)
{
    BrokenLink entry;
    entry.page = record.shown;
    entry.line = link.line;
    entry.column = link.column;
    entry.link = link.text;
    entry.problem = *link.problem;
    if (link.target >= 0 && entry.problem != Problem::OutsideSite) {
        const Found &found = m_targets[link.target].found;
        auto known = m_shown.find(link.target);
        if (known == m_shown.end())
            known = m_shown.emplace(link.target, m_scope.shownPath(found.file)).first;
        entry.target = known->second;
        if (entry.problem == Problem::CaseDiffers)
            entry.suggestion = caseSuggestion(link.text, found.spelled);
    }
    if (entry.problem == Problem::NoAnchor)
        entry.anchor = link.fragment;
    return entry;
}

void sortReport(std::vector<BrokenLink> &links)
{
    std::sort(links.begin(), links.end(), [](const BrokenLink &a, const BrokenLink &b) {
        if (a.page != b.page)
            return a.page < b.page;
        if (a.line != b.line)
            return a.line < b.line;
        if (a.column != b.column)
            return a.column < b.column;
        return a.link < b.link;
    });
}

void sortHtmlReport(std::vector<PageProblem> &problems)
{
    std::stable_sort(
        problems.begin(), problems.end(), [](const PageProblem &a, const PageProblem &b) {
            if (a.page != b.page)
                return a.page < b.page;
            if (a.problem.line != b.problem.line)
                return a.problem.line < b.problem.line;
            return a.problem.column < b.problem.column;
        });
}

QString reasonText(const BrokenLink &link)
{
    switch (link.problem) {
    case Problem::NoSuchFile:
        return QStringLiteral("no such file");
    case Problem::NoAnchor:
        return QStringLiteral("no anchor \"%1\" in %2").arg(link.anchor, link.target);
    case Problem::CaseDiffers:
        return QStringLiteral("case differs: \"%1\"").arg(link.suggestion);
    case Problem::OutsideSite:
        return QStringLiteral("outside the site");
    case Problem::CannotRead:
        if (!link.why.isEmpty())
            return QStringLiteral("cannot read: ") + link.why;
        break;
    case Problem::TargetUnreadable:
        break;
    }
    return QStringLiteral("cannot read");
}

QString escapeControls(const QString &text)
{
    const auto needsEscape = [](QChar c) {
        const char16_t u = c.unicode();
        return u < 0x20 || (u >= 0x7F && u <= 0x9F) || u == 0x2028 || u == 0x2029;
    };
    if (std::none_of(text.begin(), text.end(), needsEscape))
        return text;
    static const char hex[] = "0123456789ABCDEF";
    QString escaped;
    escaped.reserve(text.size() + 8);
    for (const QChar c : text) {
        if (!needsEscape(c)) {
            escaped += c;
            continue;
        }
        switch (c.unicode()) {
        case u'\n':
            escaped += QLatin1String("\\n");
            break;
        case u'\t':
            escaped += QLatin1String("\\t");
            break;
        case u'\r':
            escaped += QLatin1String("\\r");
            break;
        case 0x2028:
        case 0x2029:
            escaped += QStringLiteral("\\u%1").arg(int(c.unicode()), 4, 16, QLatin1Char('0'));
            break;
        default:
            escaped += QLatin1String("\\x") + QLatin1Char(hex[c.unicode() >> 4])
                + QLatin1Char(hex[c.unicode() & 15]);
        }
    }
    return escaped;
}

QString gnuLine(const BrokenLink &link)
{
    const QString place
        = QStringLiteral("%1:%2:%3: ").arg(link.page).arg(link.line).arg(link.column);
    if (link.problem == Problem::CannotRead)
        return escapeControls(place + reasonText(link));
    return escapeControls(
        place + QStringLiteral("broken link \"%1\": %2").arg(link.link, reasonText(link)));
}

QByteArray jsonReport(const std::vector<BrokenLink> &links)
{
    // Fields in the order people read them, which QJsonObject would sort away.
    const auto text = [](const QString &value) {
        const QByteArray array = QJsonDocument(QJsonArray { value }).toJson(QJsonDocument::Compact);
        return array.mid(1, array.size() - 2);
    };
    QByteArray json = "[";
    for (size_t i = 0; i < links.size(); ++i) {
        const BrokenLink &link = links[i];
        json += (i == 0 ? "\n  {" : ",\n  {") + QByteArray("\"page\":") + text(link.page)
            + ",\"line\":" + QByteArray::number(link.line)
            + ",\"column\":" + QByteArray::number(link.column) + ",\"link\":" + text(link.link)
            + ",\"reason\":" + text(reasonText(link)) + ",\"target\":" + text(link.target)
            + ",\"suggestion\":" + text(link.suggestion) + "}";
    }
    json += links.empty() ? "]\n" : "\n]\n";
    return json;
}

} // namespace linkcheck
