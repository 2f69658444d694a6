// The renderer's data limit and size through the process's resource limit and /proc.
#include "engine/renderermemory.h"

#include <QByteArray>
#include <QFile>

#include <algorithm>

#include <sys/resource.h>
#include <sys/types.h>

namespace engine {

bool capRendererData(qint64 pid)
{
    if (pid <= 0)
        return false;
    // Counts every private writable mapping, so buffers that are reserved but not yet touched
    // count too; the engine's address-space reservations are not writable and do not.
    const rlim_t bytes = rlim_t(kRendererDataMb) * 1024 * 1024;
    rlimit limit {};
    if (prlimit(pid_t(pid), RLIMIT_DATA, nullptr, &limit) != 0)
        return false;
    const rlimit capped { std::min(bytes, limit.rlim_cur), std::min(bytes, limit.rlim_max) };
    return prlimit(pid_t(pid), RLIMIT_DATA, &capped, nullptr) == 0;
}

qint64 processDataBytes(qint64 pid)
{
    if (pid <= 0)
        return -1;
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    // "VmData:    95220 kB"
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmData:")) {
            bool ok = false;
            const qint64 kb = line.mid(7).trimmed().split(' ').value(0).toLongLong(&ok);
            return ok ? kb * 1024 : -1;
        }
    }
    return -1;
}

} // namespace engine
