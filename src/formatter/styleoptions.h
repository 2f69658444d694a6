#pragma once

#include <QString>

namespace formatter {

// The layout options of options.ini, section OPTIONS. The initialisers are the values a
// missing key gives.
struct StyleOptions {
    QString styleName = QStringLiteral("default");
    QString styleDescription = QStringLiteral("(Please enter your style decription here)");
    int lineSize = 80;
    int spacing = 4;
    bool doDisableComments = false;
    bool doPurgeComments = true;
    // Exactly one double quote: never wrap inside a quoted value; anything else: never
    // inside a tag.
    QString breakExcluder = QStringLiteral("\"");
    // 1 upper case, 2 lower case, anything else unchanged.
    int tagCase = 1;
    QString userInfo = QStringLiteral("Unknown User");
    bool doIncludeUser = true;
    bool doIncludeVersion = true;
    bool doIncludeDate = true;
    bool doIncludeTime = true;
    bool doIncludeStyle = true;
    // These two keep the value held before a load when options.ini lacks them.
    bool useWhileCompress = false;
    bool useWhileFormat = false;
};

} // namespace formatter
