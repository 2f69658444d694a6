#include "sitefiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

QStringList gnuLines(const std::vector<linkcheck::BrokenLink> &links, const QString &folder)
{
    QStringList lines;
    for (const linkcheck::BrokenLink &link : links)
        lines.append(linkcheck::gnuLine(link).replace(folder + QLatin1Char('/'), QString()));
    return lines;
}

QStringList checkFolder(const QString &folder, linkcheck::CheckOptions options)
{
    linkcheck::SiteCheck check(options);
    check.check({ folder });
    return gnuLines(check.report(), folder);
}

namespace {

// Root's capabilities that pass by permissions, in the effective set of the calling thread.
bool setOverrides(bool on)
{
    __user_cap_header_struct header { _LINUX_CAPABILITY_VERSION_3, 0 };
    __user_cap_data_struct data[_LINUX_CAPABILITY_U32S_3] {};
    if (::syscall(SYS_capget, &header, data) != 0)
        return false;
    constexpr quint32 overrides = (1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH);
    if (on)
        data[0].effective |= overrides & data[0].permitted;
    else
        data[0].effective &= ~overrides;
    return ::syscall(SYS_capset, &header, data) == 0;
}

} // namespace

PermissionsHeld::PermissionsHeld()
{
    if (::geteuid() == 0) {
        m_setAside = setOverrides(false);
        EXPECT_TRUE(m_setAside) << "root's permission overrides could not be set aside";
    }
}

PermissionsHeld::~PermissionsHeld()
{
    if (m_setAside)
        setOverrides(true);
}
