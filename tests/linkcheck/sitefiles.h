#pragma once

#include "linkcheck/sitecheck.h"
#include "support/testfiles.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

// Writes `bytes` to `path`, making the folders it needs.
inline void writeFile(const QString &path)
{
    writeFile(path, "x");
}

// The report of a fresh check of `folder`, one GNU line each, with `folder` + "/" left out.
QStringList checkFolder(const QString &folder, linkcheck::CheckOptions options = {});

QStringList gnuLines(const std::vector<linkcheck::BrokenLink> &links, const QString &folder);

// While it lives, the calling thread and the threads it starts meet the file permissions as
// any user does, run as root too (which reads everything otherwise): root's overriding
// capabilities are set aside, not given up.
class PermissionsHeld
{
public:
    PermissionsHeld();
    ~PermissionsHeld();
    PermissionsHeld(const PermissionsHeld &) = delete;
    PermissionsHeld &operator=(const PermissionsHeld &) = delete;

private:
    bool m_setAside = false;
};
