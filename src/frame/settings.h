#pragma once

#include "platform/atomicfile.h"
#include "platform/inifile.h"

#include <QRect>
#include <QString>

#include <array>

namespace app {

struct ExternalApp {
    QString location;
    QString parameters;
    QString description;
    bool exists = false; // derived after reading, never stored
};

// The values of prg.ini, held by the main window for the whole run.
struct Settings {
    // OPTIONS
    QString styleName = QStringLiteral("THUMBS");
    QString popUpStyleName = QStringLiteral("_default");
    QString backupExtension = QStringLiteral(".pbak");
    bool createBackUps = true;
    bool validate = false;
    QString siteCheckRulesOff; // the HTML check's rules switched off, comma-separated
    QString lastSearch;
    QString lastReplace;
    QString allowedExtensions;
    bool showFileIcons = true;
    bool useRecycleBin = true;
    bool showHints = true;
    bool openOnSingleClick = true;
    // The internal browser reloads what it shows when the files change on disk.
    bool followDiskChanges = true;
    int cacheMax = 200;
    // Thumbnails of pages that change on disk are remade in the background.
    bool keepThumbsFresh = true;
    // POSITION_MAIN
    QRect mainBounds; // Left, Top, Width, Height
    // COLORS (0x00BBGGRR)
    int textColor = 0;
    int tagColor = 16711680;
    int quotedColor = 255;
    int commentColor = 8421376;
    bool colorTags = true;
    // THUMBS
    int thumbBaseIndex = 3;
    int customWidth = 800;
    int customHeight = 600;
    int scale = 100;
    int shade = 10;
    int border = 1;
    int backgroundColor = 16777215;
    int shadeColor = 8421504;
    int borderColor = 8388608;
    bool cropHorizontal = false;
    bool cropVertical = false;
    // PATHS
    QString viewPath;
    QString snapshotPath;
    QString copyPath;
    // EDITOR1 .. EDITOR6
    std::array<ExternalApp, 6> externalApps;

    // The editor's standard colours; an emphasis mode of the editor is never stored.
    void resetEditorColors();
};

// The filter text used when allowedExtensions is missing or blank.
QString builtInFilterText();

// True for a text made only of blanks, tabs, carriage returns and line feeds.
bool isBlankFilterText(const QString &text);

// Reads every key in the order of the settings file's rules; defaults depend on the
// program folder (with its trailing separator) and the screen size.
Settings readSettings(
    const platform::IniFile &ini, const QString &programFolder, const QSize &screenSize);

// Writes every key in the order of the settings file's rules (colours reset first).
void writeSettings(platform::IniFile &ini, Settings settings);

// prg.ini of the data folder (with its trailing separator), read and written with the keys
// of other programs kept; false after a failed write, with its message in error.
Settings loadSettingsFile(const QString &dataFolder, const QSize &screenSize);
bool saveSettingsFile(const QString &dataFolder, const Settings &settings, QString *error);
// Deletes the stale temporary files of prg.ini writes cut off by a kill (prg.ini.XXXXXX).
platform::LeftoverSweep removeSettingsLeftovers(const QString &dataFolder);

} // namespace app
