#include "linkcheck/sitecheck.h"

namespace linkcheck {

struct SiteCheck::State {
    CheckOptions options;
};

QString reasonText(const BrokenLink &)
{
    return {};
}

SiteCheck::SiteCheck(CheckOptions options)
    : m_state(std::make_unique<State>(State { std::move(options) }))
{ }

SiteCheck::~SiteCheck() = default;

bool SiteCheck::check(const QStringList &, const std::function<bool(int, int)> &)
{
    return true;
}

void SiteCheck::update(const QString &) { }

std::vector<BrokenLink> SiteCheck::report() const
{
    return {};
}

CheckTotals SiteCheck::totals() const
{
    return {};
}

QStringList SiteCheck::files() const
{
    return {};
}

QString gnuLine(const BrokenLink &)
{
    return {};
}

QByteArray jsonReport(const std::vector<BrokenLink> &)
{
    return "[]\n";
}

} // namespace linkcheck
