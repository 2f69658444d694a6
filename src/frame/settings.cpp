#include "frame/settings.h"

#include "platform/pathrules.h"
#include "platform/shell.h"

#include <QFileInfo>

namespace app {

using platform::IniFile;

namespace {

const QString kOptions = QStringLiteral("OPTIONS");
const QString kPosition = QStringLiteral("POSITION_MAIN");
const QString kColors = QStringLiteral("COLORS");
const QString kThumbs = QStringLiteral("THUMBS");
const QString kPaths = QStringLiteral("PATHS");

QString editorSection(int index) { return QStringLiteral("EDITOR%1").arg(index + 1); }

QString defaultDescript(int index) { return QStringLiteral("External Application %1").arg(index + 1); }

} // namespace

void Settings::resetEditorColors()
{
    const Settings defaults;
    TextCol = defaults.TextCol;
    TagCol = defaults.TagCol;
    QuotedCol = defaults.QuotedCol;
    CommentCol = defaults.CommentCol;
}

QString builtInFilterText()
{
    return QStringLiteral(
        "All HTML file types + Pictures|*.htm;*.jpg;*.gif;*.asp;*.sht;*.dht;*.cfm;*.jht|"
        "All HTML file types|*.htm;*.asp;*.sht;*.dht;*.cfm;*.jht|HTM(L) only|*.htm|"
        "JPG and GIF only|*.jpg;*.gif|ASP only|*.asp|SSI only|*.sht|DHTML only|*.dht|"
        "Cold Fusion only|*.cfm");
}

bool isBlankFilterText(const QString &text)
{
    for (const QChar c : text)
        if (c != QLatin1Char(' ') && c != QLatin1Char('\t') && c != QLatin1Char('\r')
            && c != QLatin1Char('\n'))
            return false;
    return true;
}

Settings readSettings(const IniFile &ini, const QString &programFolder, const QSize &screenSize)
{
    Settings s;
    // 1. OPTIONS, first group
    s.ALLOWED_EXTENSIONS = ini.readString(kOptions, u"ALLOWED_EXTENSIONS", builtInFilterText());
    if (isBlankFilterText(s.ALLOWED_EXTENSIONS))
        s.ALLOWED_EXTENSIONS = builtInFilterText();
    s.StyleName = ini.readString(kOptions, u"StyleName", s.StyleName);
    s.PopUpStyleName = ini.readString(kOptions, u"PopUpStyleName", s.PopUpStyleName);
    s.BackupExt = ini.readString(kOptions, u"BackupExt", s.BackupExt).left(5);
    s.DoCreateBackUps = ini.readBool(kOptions, u"DoCreateBackUps", s.DoCreateBackUps);
    s.DoValidate = ini.readBool(kOptions, u"DoValidate", s.DoValidate);
    s.LastSearch = ini.readString(kOptions, u"LastSearch", s.LastSearch);
    s.LastReplace = ini.readString(kOptions, u"LastReplace", s.LastReplace);
    // 2. POSITION_MAIN
    const int top = ini.readInteger(kPosition, u"Top", 50);
    const int left = ini.readInteger(kPosition, u"Left", 50);
    const int width = ini.readInteger(kPosition, u"Width", screenSize.width() * 8 / 10);
    const int height = ini.readInteger(kPosition, u"Height", screenSize.height() * 8 / 10);
    s.mainBounds = QRect(left, top, width, height);
    // 3. COLORS
    s.TextCol = ini.readInteger(kColors, u"TextCol", s.TextCol);
    s.TagCol = ini.readInteger(kColors, u"TagCol", s.TagCol);
    s.QuotedCol = ini.readInteger(kColors, u"QuotedCol", s.QuotedCol);
    s.CommentCol = ini.readInteger(kColors, u"CommentCol", s.CommentCol);
    s.DoColorTags = ini.readBool(kColors, u"DoColorTags", s.DoColorTags);
    // 4. PATHS
    s.VIEW_PATH = ini.readString(kPaths, u"VIEW_PATH", programFolder);
    s.SNAPSHOTPATH = ini.readString(kPaths, u"SNAPSHOTPATH",
                                    platform::WithTrailingBackslash(programFolder + QStringLiteral("SNAPSHOTS")));
    s.COPYPATH = ini.readString(kPaths, u"COPYPATH", programFolder);
    // 5. THUMBS
    s.THUMB_BASEIDX = ini.readInteger(kThumbs, u"THUMB_BASEIDX", s.THUMB_BASEIDX);
    s.CustomWidth = ini.readInteger(kThumbs, u"CustomWidth", s.CustomWidth);
    s.CustomHeight = ini.readInteger(kThumbs, u"CustomHeight", s.CustomHeight);
    s.Scale = ini.readInteger(kThumbs, u"Scale", s.Scale);
    s.Shade = ini.readInteger(kThumbs, u"Shade", s.Shade);
    s.Border = ini.readInteger(kThumbs, u"Border", s.Border);
    s.BGCol = ini.readInteger(kThumbs, u"BGCol", s.BGCol);
    s.ShadeCol = ini.readInteger(kThumbs, u"ShadeCol", s.ShadeCol);
    s.BorderCol = ini.readInteger(kThumbs, u"BorderCol", s.BorderCol);
    s.CropHori = ini.readBool(kThumbs, u"CropHori", s.CropHori);
    s.CropVerti = ini.readBool(kThumbs, u"CropVerti", s.CropVerti);
    // 6. EDITOR1 .. EDITOR6
    for (int i = 0; i < int(s.ExternalApps.size()); ++i) {
        ExternalApp &app = s.ExternalApps[size_t(i)];
        const QString section = editorSection(i);
        app.Location = ini.readString(section, u"Location", QStringLiteral("(none)"));
        app.Param = ini.readString(section, u"Param", QString());
        app.Descript = ini.readString(section, u"Descript", defaultDescript(i));
    }
    // 7. OPTIONS, second group
    s.DoShowFileIcons = ini.readBool(kOptions, u"DoShowFileIcons", s.DoShowFileIcons);
    s.DoRecycleBin = ini.readBool(kOptions, u"DoRecycleBin", s.DoRecycleBin);
    s.DoShowHints = ini.readBool(kOptions, u"DoShowHints", s.DoShowHints);
    s.DoOpenOnSingleClick = ini.readBool(kOptions, u"DoOpenOnSingleClick", s.DoOpenOnSingleClick);
    s.CACHE_MAX = ini.readInteger(kOptions, u"CACHE_MAX", s.CACHE_MAX);
    // 8. Which external applications exist
    for (ExternalApp &app : s.ExternalApps)
        app.Exists = platform::launcherExists(app.Location);
    return s;
}

void writeSettings(IniFile &ini, Settings s)
{
    s.resetEditorColors();
    ini.writeString(kOptions, u"StyleName", s.StyleName);
    ini.writeString(kOptions, u"PopUpStyleName", s.PopUpStyleName);
    ini.writeString(kOptions, u"BackupExt", s.BackupExt);
    ini.writeBool(kOptions, u"DoCreateBackUps", s.DoCreateBackUps);
    ini.writeBool(kOptions, u"DoValidate", s.DoValidate);
    ini.writeString(kOptions, u"LastSearch", s.LastSearch);
    ini.writeString(kOptions, u"LastReplace", s.LastReplace);
    ini.writeInteger(kPosition, u"Top", s.mainBounds.top());
    ini.writeInteger(kPosition, u"Left", s.mainBounds.left());
    ini.writeInteger(kPosition, u"Width", s.mainBounds.width());
    ini.writeInteger(kPosition, u"Height", s.mainBounds.height());
    ini.writeInteger(kColors, u"TextCol", s.TextCol);
    ini.writeInteger(kColors, u"TagCol", s.TagCol);
    ini.writeInteger(kColors, u"QuotedCol", s.QuotedCol);
    ini.writeInteger(kColors, u"CommentCol", s.CommentCol);
    ini.writeBool(kColors, u"DoColorTags", s.DoColorTags);
    ini.writeInteger(kThumbs, u"THUMB_BASEIDX", s.THUMB_BASEIDX);
    ini.writeInteger(kThumbs, u"CustomWidth", s.CustomWidth);
    ini.writeInteger(kThumbs, u"CustomHeight", s.CustomHeight);
    ini.writeInteger(kThumbs, u"Scale", s.Scale);
    ini.writeInteger(kThumbs, u"Shade", s.Shade);
    ini.writeInteger(kThumbs, u"Border", s.Border);
    ini.writeInteger(kThumbs, u"BGCol", s.BGCol);
    ini.writeInteger(kThumbs, u"ShadeCol", s.ShadeCol);
    ini.writeInteger(kThumbs, u"BorderCol", s.BorderCol);
    ini.writeBool(kThumbs, u"CropHori", s.CropHori);
    ini.writeBool(kThumbs, u"CropVerti", s.CropVerti);
    ini.writeString(kPaths, u"VIEW_PATH", s.VIEW_PATH);
    ini.writeString(kPaths, u"SNAPSHOTPATH", s.SNAPSHOTPATH);
    ini.writeString(kPaths, u"COPYPATH", s.COPYPATH);
    ini.writeString(kOptions, u"ALLOWED_EXTENSIONS", s.ALLOWED_EXTENSIONS);
    for (int i = 0; i < int(s.ExternalApps.size()); ++i) {
        const ExternalApp &app = s.ExternalApps[size_t(i)];
        const QString section = editorSection(i);
        ini.writeString(section, u"Location", app.Location);
        ini.writeString(section, u"Param", app.Param);
        ini.writeString(section, u"Descript", app.Descript);
    }
    ini.writeBool(kOptions, u"DoShowFileIcons", s.DoShowFileIcons);
    ini.writeBool(kOptions, u"DoRecycleBin", s.DoRecycleBin);
    ini.writeBool(kOptions, u"DoShowHints", s.DoShowHints);
    ini.writeBool(kOptions, u"DoOpenOnSingleClick", s.DoOpenOnSingleClick);
    ini.writeInteger(kOptions, u"CACHE_MAX", s.CACHE_MAX);
}

Settings loadSettingsFile(const QString &dataFolder, const QSize &screenSize)
{
    platform::IniFile ini;
    ini.load(dataFolder + QStringLiteral("prg.ini"));
    return readSettings(ini, dataFolder, screenSize);
}

bool saveSettingsFile(const QString &dataFolder, const Settings &settings, QString *error)
{
    platform::IniFile ini;
    ini.load(dataFolder + QStringLiteral("prg.ini"));
    writeSettings(ini, settings);
    return ini.save(error);
}

} // namespace app
