// Platforms without a per-process data limit: the script heap cap alone bounds a page.
#include "engine/renderermemory.h"

namespace engine {

bool capRendererData(qint64)
{
    return false;
}

qint64 processDataBytes(qint64)
{
    return -1;
}

} // namespace engine
