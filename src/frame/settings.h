#pragma once

#include "platform/inifile.h"

#include <QRect>
#include <QString>

#include <array>

namespace app {

struct ExternalApp {
    QString Location;
    QString Param;
    QString Descript;
    bool Exists = false; // derived after reading, never stored
};

// The values of prg.ini, held by the main window for the whole run.
struct Settings {
    // OPTIONS
    QString StyleName = QStringLiteral("THUMBS");
    QString PopUpStyleName = QStringLiteral("_default");
    QString BackupExt = QStringLiteral(".pbak");
    bool DoCreateBackUps = true;
    bool DoValidate = false;
    QString LastSearch;
    QString LastReplace;
    QString ALLOWED_EXTENSIONS;
    bool DoShowFileIcons = true;
    bool DoRecycleBin = true;
    bool DoShowHints = true;
    bool DoOpenOnSingleClick = true;
    int CACHE_MAX = 200;
    // POSITION_MAIN
    QRect mainBounds; // Left, Top, Width, Height
    // COLORS (0x00BBGGRR)
    int TextCol = 0;
    int TagCol = 16711680;
    int QuotedCol = 255;
    int CommentCol = 8421376;
    bool DoColorTags = true;
    // THUMBS
    int THUMB_BASEIDX = 3;
    int CustomWidth = 800;
    int CustomHeight = 600;
    int Scale = 100;
    int Shade = 10;
    int Border = 1;
    int BGCol = 16777215;
    int ShadeCol = 8421504;
    int BorderCol = 8388608;
    bool CropHori = false;
    bool CropVerti = false;
    // PATHS
    QString VIEW_PATH;
    QString SNAPSHOTPATH;
    QString COPYPATH;
    // EDITOR1 .. EDITOR6
    std::array<ExternalApp, 6> ExternalApps;

    // The editor's standard colours; an emphasis mode of the editor is never stored.
    void resetEditorColors();
};

// The filter text used when ALLOWED_EXTENSIONS is missing or blank.
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

} // namespace app
