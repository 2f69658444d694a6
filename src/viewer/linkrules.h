#pragma once

#include "platform/pathrules.h"

#include <QString>

namespace viewer {

// Where a clicked link leads: the file it names relative to the folder of the frame that holds
// it, or nothing for a link to an anchor of the same document.
struct LinkTarget {
    bool anchorOnly = false;
    // The link's text up to its first "#", appended to the frame's folder with every "/"
    // in the native separator. Empty when the frame shows no file.
    QString path;
};

LinkTarget linkTargetPath(const QString &frameFile, const QString &url,
    platform::PathStyle style = platform::nativePathStyle());

// The text for a covered link: "URL: " + url, and "    (Target: " + target + ")" when a
// target frame is named; empty when both are empty.
QString coveredLinkText(const QString &target, const QString &url);

} // namespace viewer
