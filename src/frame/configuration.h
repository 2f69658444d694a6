#pragma once

#include <QString>

namespace app {
struct Settings;
}

namespace frame {

// The settings of the run, and where the program keeps its stores.
class Configuration
{
public:
    virtual ~Configuration() = default;
    virtual app::Settings &settings() = 0;
    // Where prg.ini, THUMBS and FILELISTS live: the program folder, or the user's data
    // folder when the program folder cannot be written (a system-wide install).
    virtual QString dataFolder() const = 0;
};

} // namespace frame
