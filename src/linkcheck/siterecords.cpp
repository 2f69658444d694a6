#include "linkcheck/siterecords.h"

#include "linkcheck/pageparse.h"
#include "linkcheck/sitefiles.h"

#include <new>

namespace linkcheck {

int RecordTable::add(const QString &path, const QString &shown, bool sheet)
{
    const auto known = m_idOf.find(path);
    if (known != m_idOf.end()) {
        Record &record = m_records[size_t(known->second)];
        if (record.alive)
            return -1;
        record = Record { path, shown, sheet };
        return known->second;
    }
    m_records.push_back(Record { path, shown, sheet });
    const int id = int(m_records.size() - 1);
    m_idOf.emplace(path, id);
    return id;
}

const Record *RecordTable::find(const QString &path) const
{
    const int id = idOf(path);
    return id < 0 ? nullptr : &m_records[size_t(id)];
}

int RecordTable::idOf(const QString &path) const
{
    const auto known = m_idOf.find(path);
    return known == m_idOf.end() ? -1 : known->second;
}

void readRecord(Record &record, const QString &root, const CheckOptions &options,
    std::vector<LinkTarget> *targets)
{
    record.links.clear();
    record.styleSheetLinks.clear();
    record.anchors.clear();
    record.html.clear();
    record.unreadable = false;
    record.why.clear();
    targets->clear();
    ParsedFile parsed;
    try {
        QByteArray bytes;
        if (!readPage(record.path, &bytes, &record.why)) {
            record.unreadable = true;
            return;
        }
        if (!options.links) {
            record.html = checkPage(bytes);
            return;
        }
        parsed = record.sheet ? parseCss(bytes)
            : options.html    ? parseHtmlChecked(bytes, &record.html)
                              : parseHtml(bytes);
    } catch (const std::bad_alloc &) {
        // One page too big for the memory left; the others are checked.
        parsed = {};
        record.unreadable = true;
        record.why = notEnoughMemoryText();
        return;
    }
    record.anchors = std::move(parsed.anchors);
    const Base base = pageBase(record.path, parsed.base, root);
    record.links.reserve(parsed.links.size());
    targets->reserve(parsed.links.size());
    for (FoundLink &found : parsed.links) {
        LinkTarget target = resolveLink(found.text, base, root);
        Link link;
        link.text = std::move(found.text);
        link.line = found.line;
        link.column = found.column;
        link.styleSheet = found.styleSheet;
        link.kind = target.kind;
        link.folder = target.folder;
        link.fragment = target.fragment;
        if (link.styleSheet)
            record.styleSheetLinks.push_back(int(record.links.size()));
        record.links.push_back(std::move(link));
        targets->push_back(std::move(target));
    }
}

} // namespace linkcheck
