#include "viewer/viewerhost.h"

namespace viewer {

ViewerHost::~ViewerHost() = default;

void ViewerHost::showContextMenu(const QPoint &) { }

void ViewerHost::snapCurrentView() { }

} // namespace viewer
