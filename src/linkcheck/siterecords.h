#pragma once

#include "linkcheck/linkresolve.h"
#include "linkcheck/sitecheck.h"

#include <QSet>
#include <QString>

#include <optional>
#include <unordered_map>
#include <vector>

namespace linkcheck {

// A link as read from a page or style sheet, and what the check found of it.
struct Link {
    QString text;
    int line = 0;
    int column = 0;
    int target = -1; // in the table of targets, for local links
    QString fragment;
    LinkTarget::Kind kind = LinkTarget::External;
    bool folder = false;
    bool styleSheet = false;
    std::optional<Problem> problem;
};

// A page or style sheet that was read, with what the check found in it.
struct Record {
    QString path; // absolute and clean
    QString shown;
    bool sheet = false;
    bool alive = true;
    bool unreadable = false;
    QString why; // when unreadable
    std::vector<Link> links;
    std::vector<int> styleSheetLinks; // in `links`
    QSet<QString> anchors;
    std::vector<HtmlProblem> html; // CheckOptions::html
};

// The pages and style sheets read, each once by its path; one that went from disk stays in
// the table, not alive, and comes back under the same number.
class RecordTable
{
public:
    // The new record's number, or -1 when one of the path is alive already.
    int add(const QString &path, const QString &shown, bool sheet);
    // The record of a path, alive or not; null when none.
    const Record *find(const QString &path) const;
    int idOf(const QString &path) const; // -1 when none
    bool contains(const QString &path) const { return m_idOf.count(path) != 0; }

    Record &operator[](int id) { return m_records[size_t(id)]; }
    const Record &operator[](int id) const { return m_records[size_t(id)]; }
    int size() const { return int(m_records.size()); }
    std::vector<Record> &all() { return m_records; }
    const std::vector<Record> &all() const { return m_records; }

private:
    std::vector<Record> m_records;
    std::unordered_map<QString, int> m_idOf;
};

// The record's file read again, its links resolved as far as text goes (against `root`) and
// its HTML checked as the options ask; `targets` gets each link's target as resolved (for the
// local ones, their place in the table of targets).
void readRecord(Record &record, const QString &root, const CheckOptions &options,
    std::vector<LinkTarget> *targets);

} // namespace linkcheck
