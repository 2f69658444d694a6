#include "visualcheck/lookreport.h"

#include "imaging/imagediff.h"
#include "platform/atomicfile.h"

#include <QDir>
#include <QFileInfo>

namespace visualcheck {

void LookTotals::add(const LookResult &result)
{
    switch (result.kind) {
    case LookKind::Same:
        ++same;
        break;
    case LookKind::Changed:
        ++changed;
        break;
    case LookKind::New:
        ++added;
        break;
    case LookKind::Stored:
        ++stored;
        break;
    case LookKind::Failed:
        ++failed;
        return;
    }
    if (!result.problem.isEmpty())
        ++problems;
}

bool LookTotals::clean() const
{
    return changed == 0 && added == 0 && failed == 0 && problems == 0;
}

QString LookTotals::text() const
{
    const int renders = same + changed + added + stored + failed;
    QString text = QStringLiteral("%1 %2: ").arg(renders).arg(renders == 1 ? QStringLiteral("render") : QStringLiteral("renders"));
    if (stored > 0)
        text += QStringLiteral("%1 stored, ").arg(stored);
    if (stored == 0)
        text += QStringLiteral("%1 same, %2 changed, %3 new, ").arg(same).arg(changed).arg(added);
    text += QStringLiteral("%1 failed").arg(failed);
    if (problems > 0)
        text += QStringLiteral(", %1 rendered as far as the page got").arg(problems);
    return text;
}

LookReport::LookReport(const QString &folder)
    : m_folder(folder)
{
}

bool LookReport::add(const LookResult &result, QString *error)
{
    if (m_folder.isEmpty() || result.kind != LookKind::Changed || result.after.isNull())
        return true;
    if (!QDir().mkpath(m_folder)) {
        *error = QStringLiteral("cannot create the folder %1").arg(m_folder);
        return false;
    }
    const QString stem = QStringLiteral("%1-%2.%3").arg(m_rows.size() + 1, 3, 10, QLatin1Char('0')).arg(QFileInfo(result.page).fileName()).arg(result.width);
    const QImage difference = imaging::differencePicture(result.before, result.after, result.diff);
    const QDir folder(m_folder);
    for (const auto &[suffix, picture] : { std::pair { QStringLiteral("-before.png"), &result.before },
             std::pair { QStringLiteral("-after.png"), &result.after },
             std::pair { QStringLiteral("-difference.png"), &difference } }) {
        if (!picture->save(folder.filePath(stem + suffix))) {
            *error = QStringLiteral("cannot write %1").arg(folder.filePath(stem + suffix));
            return false;
        }
    }
    m_rows << QStringLiteral("<tr><th colspan=3>%1</th></tr>\n<tr><td><img src=\"%2-before.png\"></td>"
                             "<td><img src=\"%2-after.png\"></td><td><img src=\"%2-difference.png\"></td></tr>")
                  .arg(lookLine(result).toHtmlEscaped(), stem.toHtmlEscaped());
    return true;
}

bool LookReport::finish(QString *error)
{
    if (m_folder.isEmpty() || !QDir().mkpath(m_folder))
        return m_folder.isEmpty();
    const QString page = QStringLiteral("<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>Visual check</title>\n"
                                        "<style>img { width: 100%; } td { vertical-align: top; width: 33%; }</style></head>\n"
                                        "<body><table>\n<tr><th>Before</th><th>After</th><th>Difference</th></tr>\n%1\n</table>%2</body></html>\n")
                             .arg(m_rows.join(QLatin1Char('\n')),
                                 m_rows.isEmpty() ? QStringLiteral("<p>No page changed.</p>") : QString());
    return platform::writeFileAtomically(QDir(m_folder).filePath(QStringLiteral("index.html")), page.toUtf8(), error);
}

} // namespace visualcheck
