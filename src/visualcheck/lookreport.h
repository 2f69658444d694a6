#pragma once

#include "visualcheck/lookcheck.h"

#include <QString>
#include <QStringList>

namespace visualcheck {

// The counts of a check, for its closing line.
struct LookTotals {
    int same = 0;
    int changed = 0;
    int added = 0; // pages without a baseline
    int stored = 0;
    int failed = 0;
    int problems = 0; // renders made as far as the page got

    void add(const LookResult &result);
    // Nothing changed, nothing new, nothing went wrong.
    bool clean() const;
    // "8 renders: 6 same, 1 changed, 1 new, 0 failed" (or "... stored" after an update).
    QString text() const;
};

// Before, after and difference pictures of every changed page in a folder, with an index.html
// that shows them side by side. An empty folder name writes nothing.
class LookReport
{
public:
    explicit LookReport(const QString &folder);
    bool add(const LookResult &result, QString *error);
    bool finish(QString *error);

private:
    QString m_folder;
    QStringList m_rows;
};

} // namespace visualcheck
