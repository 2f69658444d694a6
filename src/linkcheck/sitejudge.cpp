#include "linkcheck/sitejudge.h"

#include "linkcheck/pageparse.h"
#include "linkcheck/parallel.h"
#include "linkcheck/sitefiles.h"

#include <new>

namespace linkcheck {

LinkJudge::LinkJudge(RecordTable &records, const TargetTable &targets, bool fragments)
    : m_records(records)
    , m_targets(targets)
    , m_fragments(fragments)
{ }

const QSet<QString> *LinkJudge::anchorsOf(const QString &file) const
{
    if (const Record *page = m_records.find(file); page && page->alive && !page->sheet)
        return page->unreadable ? nullptr : &page->anchors;
    const auto other = m_otherAnchors.find(file);
    return other == m_otherAnchors.end() || !other->second ? nullptr : &*other->second;
}

bool LinkJudge::needsAnchors(const Link &link) const
{
    return m_fragments && !link.fragment.isEmpty() && link.target >= 0
        && m_targets[link.target].found.status == Found::Ok
        && isPageName(m_targets[link.target].found.file);
}

void LinkJudge::readOtherAnchors(const std::vector<int> &ids, int threads)
{
    std::vector<QString> files;
    for (const int id : ids)
        for (const Link &link : m_records[id].links) {
            if (!needsAnchors(link))
                continue;
            const QString &file = m_targets[link.target].found.file;
            if (!m_records.contains(file) && m_otherAnchors.try_emplace(file).second)
                files.push_back(file);
        }
    std::vector<std::optional<QSet<QString>>> read(files.size());
    parallelFor(int(files.size()), threads, [&](int i) {
        QByteArray bytes;
        QString why;
        try {
            if (readPage(files[size_t(i)], &bytes, &why))
                read[size_t(i)] = parseHtml(bytes).anchors;
        } catch (const std::bad_alloc &) {
            read[size_t(i)].reset(); // its anchors unknown: no link into it is judged
        }
    });
    for (size_t i = 0; i < files.size(); ++i)
        m_otherAnchors[files[i]] = std::move(read[i]);
}

std::optional<Problem> LinkJudge::problemOf(const Link &link) const
{
    switch (link.kind) {
    case LinkTarget::External:
        return std::nullopt;
    case LinkTarget::NoName:
        return Problem::NoSuchFile;
    case LinkTarget::Outside:
        return Problem::OutsideSite;
    case LinkTarget::Local:
        break;
    }
    const Found &found = m_targets[link.target].found;
    switch (found.status) {
    case Found::NoSuchFile:
        return Problem::NoSuchFile;
    case Found::CannotRead:
        return Problem::TargetUnreadable;
    case Found::CaseDiffers:
        return Problem::CaseDiffers;
    case Found::Ok:
        break;
    }
    if (!needsAnchors(link))
        return std::nullopt;
    const QSet<QString> *anchors = anchorsOf(found.file);
    if (anchors && !anchors->contains(link.fragment))
        return Problem::NoAnchor;
    return std::nullopt;
}

void LinkJudge::judge(const std::vector<int> &ids, int threads)
{
    readOtherAnchors(ids, threads);
    parallelFor(int(ids.size()), threads, [&](int i) {
        for (Link &link : m_records[ids[size_t(i)]].links)
            link.problem = problemOf(link);
    });
}

} // namespace linkcheck
