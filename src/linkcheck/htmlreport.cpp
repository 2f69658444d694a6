#include "linkcheck/htmlreport.h"

#include "platform/inifile.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QUrl>

#include <algorithm>

namespace linkcheck {

namespace {

QString fromView(std::string_view text)
{
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

QString severity(const HtmlProblem &problem)
{
    return problem.warning ? QStringLiteral("warning") : QStringLiteral("error");
}

// A page as a URI reference: relative pages stay relative to where the command ran.
QString pageUri(const QString &page)
{
    if (QDir::isAbsolutePath(page))
        return QString::fromLatin1(QUrl::fromLocalFile(page).toEncoded());
    return QString::fromLatin1(QUrl::toPercentEncoding(page, "/"));
}

QJsonObject sarifResult(const PageProblem &one)
{
    const QJsonObject region { { QStringLiteral("startLine"), one.problem.line },
        { QStringLiteral("startColumn"), one.problem.column } };
    const QJsonObject location { { QStringLiteral("physicalLocation"),
        QJsonObject { { QStringLiteral("artifactLocation"),
                          QJsonObject { { QStringLiteral("uri"), pageUri(one.page) } } },
            { QStringLiteral("region"), region } } } };
    return { { QStringLiteral("ruleId"), fromView(one.problem.rule) },
        { QStringLiteral("level"), severity(one.problem) },
        { QStringLiteral("message"),
            QJsonObject { { QStringLiteral("text"), QString::fromStdString(one.problem.message) } } },
        { QStringLiteral("locations"), QJsonArray { location } } };
}

QJsonArray sarifRules()
{
    QJsonArray rules;
    for (const std::string_view id : htmlRuleIds())
        rules.append(QJsonObject { { QStringLiteral("id"), fromView(id) },
            { QStringLiteral("shortDescription"),
                QJsonObject { { QStringLiteral("text"), fromView(htmlRuleDescription(id)) } } },
            { QStringLiteral("defaultConfiguration"),
                QJsonObject { { QStringLiteral("level"),
                    id == "heading-level" ? QStringLiteral("warning") : QStringLiteral("error") } } } });
    return rules;
}

} // namespace

QSet<QString> rulesOffInSite(const QString &root)
{
    platform::IniFile file;
    QSet<QString> off;
    if (!file.load(QDir(root).filePath(QLatin1String(kSiteCheckFile))))
        return off;
    for (const QString &key : file.keyNames(u"rules"))
        if (file.readString(u"rules", key, QString()).compare(u"off", Qt::CaseInsensitive) == 0)
            off.insert(key.trimmed().toLower());
    return off;
}

std::vector<PageProblem> selectedProblems(
    std::vector<PageProblem> problems, const QSet<QString> &off, bool warnings)
{
    problems.erase(std::remove_if(problems.begin(), problems.end(),
                       [&](const PageProblem &one) {
                           return (!warnings && one.problem.warning)
                               || off.contains(fromView(one.problem.rule));
                       }),
        problems.end());
    return problems;
}

QString gnuLine(const PageProblem &one)
{
    return escapeControls(QStringLiteral("%1:%2:%3: %4: %5 [%6]")
                              .arg(one.page)
                              .arg(one.problem.line)
                              .arg(one.problem.column)
                              .arg(severity(one.problem), QString::fromStdString(one.problem.message),
                                  fromView(one.problem.rule)));
}

QByteArray jsonReport(const std::vector<PageProblem> &problems)
{
    QByteArray json = "[";
    for (size_t i = 0; i < problems.size(); ++i) {
        const PageProblem &one = problems[i];
        const QJsonObject object { { QStringLiteral("page"), one.page },
            { QStringLiteral("line"), one.problem.line },
            { QStringLiteral("column"), one.problem.column },
            { QStringLiteral("severity"), severity(one.problem) },
            { QStringLiteral("rule"), fromView(one.problem.rule) },
            { QStringLiteral("message"), QString::fromStdString(one.problem.message) } };
        json += (i == 0 ? "\n  " : ",\n  ") + QJsonDocument(object).toJson(QJsonDocument::Compact);
    }
    json += problems.empty() ? "]\n" : "\n]\n";
    return json;
}

QByteArray sarifReport(const std::vector<PageProblem> &problems)
{
    QJsonArray results;
    for (const PageProblem &one : problems)
        results.append(sarifResult(one));
    const QJsonObject driver { { QStringLiteral("name"), QStringLiteral("folioscope-batch check-html") },
        { QStringLiteral("rules"), sarifRules() } };
    const QJsonObject run { { QStringLiteral("tool"), QJsonObject { { QStringLiteral("driver"), driver } } },
        { QStringLiteral("results"), results } };
    const QJsonObject log { { QStringLiteral("$schema"),
                                QStringLiteral("https://json.schemastore.org/sarif-2.1.0.json") },
        { QStringLiteral("version"), QStringLiteral("2.1.0") },
        { QStringLiteral("runs"), QJsonArray { run } } };
    return QJsonDocument(log).toJson(QJsonDocument::Indented);
}

} // namespace linkcheck
