#include "frame/settings.h"

#include "platform/pathrules.h"
#include "platform/shell.h"

#include <QFileInfo>

namespace frame {

using platform::IniFile;

namespace {

const QString kOptions = QStringLiteral("OPTIONS");
const QString kPosition = QStringLiteral("POSITION_MAIN");
const QString kColors = QStringLiteral("COLORS");
const QString kThumbs = QStringLiteral("THUMBS");
const QString kPaths = QStringLiteral("PATHS");
const QString kSettingsFile = QStringLiteral("prg.ini");

QString editorSection(int index) { return QStringLiteral("EDITOR%1").arg(index + 1); }

QString defaultDescript(int index) { return QStringLiteral("External Application %1").arg(index + 1); }

} // namespace

void Settings::resetEditorColors()
{
    const Settings defaults;
    textColor = defaults.textColor;
    tagColor = defaults.tagColor;
    quotedColor = defaults.quotedColor;
    commentColor = defaults.commentColor;
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

namespace {

// OPTIONS, first group, and the place of the main window.
void readOptionsAndPlace(const IniFile &ini, const QSize &screenSize, Settings &s)
{
    s.allowedExtensions = ini.readString(kOptions, u"ALLOWED_EXTENSIONS", builtInFilterText());
    if (isBlankFilterText(s.allowedExtensions))
        s.allowedExtensions = builtInFilterText();
    s.styleName = ini.readString(kOptions, u"StyleName", s.styleName);
    s.popUpStyleName = ini.readString(kOptions, u"PopUpStyleName", s.popUpStyleName);
    s.backupExtension = ini.readString(kOptions, u"BackupExt", s.backupExtension).left(5);
    s.createBackUps = ini.readBool(kOptions, u"DoCreateBackUps", s.createBackUps);
    s.validate = ini.readBool(kOptions, u"DoValidate", s.validate);
    s.siteCheckRulesOff = ini.readString(kOptions, u"SiteCheckRulesOff", s.siteCheckRulesOff);
    s.lastSearch = ini.readString(kOptions, u"LastSearch", s.lastSearch);
    s.lastReplace = ini.readString(kOptions, u"LastReplace", s.lastReplace);
    const int top = ini.readInteger(kPosition, u"Top", 50);
    const int left = ini.readInteger(kPosition, u"Left", 50);
    const int width = ini.readInteger(kPosition, u"Width", screenSize.width() * 8 / 10);
    const int height = ini.readInteger(kPosition, u"Height", screenSize.height() * 8 / 10);
    s.mainBounds = QRect(left, top, width, height);
}

// COLORS and PATHS.
void readColorsAndPaths(const IniFile &ini, const QString &programFolder, Settings &s)
{
    s.textColor = ini.readInteger(kColors, u"TextCol", s.textColor);
    s.tagColor = ini.readInteger(kColors, u"TagCol", s.tagColor);
    s.quotedColor = ini.readInteger(kColors, u"QuotedCol", s.quotedColor);
    s.commentColor = ini.readInteger(kColors, u"CommentCol", s.commentColor);
    s.colorTags = ini.readBool(kColors, u"DoColorTags", s.colorTags);
    s.viewPath = ini.readString(kPaths, u"VIEW_PATH", programFolder);
    s.snapshotPath = ini.readString(kPaths, u"SNAPSHOTPATH",
        platform::WithTrailingBackslash(programFolder + QStringLiteral("SNAPSHOTS")));
    s.copyPath = ini.readString(kPaths, u"COPYPATH", programFolder);
}

void readThumbs(const IniFile &ini, Settings &s)
{
    s.thumbBaseIndex = ini.readInteger(kThumbs, u"THUMB_BASEIDX", s.thumbBaseIndex);
    s.customWidth = ini.readInteger(kThumbs, u"CustomWidth", s.customWidth);
    s.customHeight = ini.readInteger(kThumbs, u"CustomHeight", s.customHeight);
    s.scale = ini.readInteger(kThumbs, u"Scale", s.scale);
    s.shade = ini.readInteger(kThumbs, u"Shade", s.shade);
    s.border = ini.readInteger(kThumbs, u"Border", s.border);
    s.backgroundColor = ini.readInteger(kThumbs, u"BGCol", s.backgroundColor);
    s.shadeColor = ini.readInteger(kThumbs, u"ShadeCol", s.shadeColor);
    s.borderColor = ini.readInteger(kThumbs, u"BorderCol", s.borderColor);
    s.cropHorizontal = ini.readBool(kThumbs, u"CropHori", s.cropHorizontal);
    s.cropVertical = ini.readBool(kThumbs, u"CropVerti", s.cropVertical);
}

// EDITOR1 .. EDITOR6, OPTIONS' second group, and which external applications exist.
void readEditorsAndOptions(const IniFile &ini, Settings &s)
{
    for (int i = 0; i < int(s.externalApps.size()); ++i) {
        ExternalApp &app = s.externalApps[size_t(i)];
        const QString section = editorSection(i);
        app.location = ini.readString(section, u"Location", QStringLiteral("(none)"));
        app.parameters = ini.readString(section, u"Param", QString());
        app.description = ini.readString(section, u"Descript", defaultDescript(i));
    }
    s.showFileIcons = ini.readBool(kOptions, u"DoShowFileIcons", s.showFileIcons);
    s.useRecycleBin = ini.readBool(kOptions, u"DoRecycleBin", s.useRecycleBin);
    s.showHints = ini.readBool(kOptions, u"DoShowHints", s.showHints);
    s.openOnSingleClick = ini.readBool(kOptions, u"DoOpenOnSingleClick", s.openOnSingleClick);
    s.followDiskChanges = ini.readBool(kOptions, u"DoFollowDiskChanges", s.followDiskChanges);
    s.cacheMax = ini.readInteger(kOptions, u"CACHE_MAX", s.cacheMax);
    s.keepThumbsFresh = ini.readBool(kOptions, u"DoKeepThumbsFresh", s.keepThumbsFresh);
    for (ExternalApp &app : s.externalApps)
        app.exists = platform::launcherExists(app.location);
}

} // namespace

Settings readSettings(const IniFile &ini, const QString &programFolder, const QSize &screenSize)
{
    Settings s;
    readOptionsAndPlace(ini, screenSize, s);
    readColorsAndPaths(ini, programFolder, s);
    readThumbs(ini, s);
    readEditorsAndOptions(ini, s);
    return s;
}

void writeSettings(IniFile &ini, Settings s)
{
    s.resetEditorColors();
    ini.writeString(kOptions, u"StyleName", s.styleName);
    ini.writeString(kOptions, u"PopUpStyleName", s.popUpStyleName);
    ini.writeString(kOptions, u"BackupExt", s.backupExtension);
    ini.writeBool(kOptions, u"DoCreateBackUps", s.createBackUps);
    ini.writeBool(kOptions, u"DoValidate", s.validate);
    // Written once a rule was switched off: older files stay as they were.
    if (!s.siteCheckRulesOff.isEmpty() || ini.hasKey(kOptions, u"SiteCheckRulesOff"))
        ini.writeString(kOptions, u"SiteCheckRulesOff", s.siteCheckRulesOff);
    ini.writeString(kOptions, u"LastSearch", s.lastSearch);
    ini.writeString(kOptions, u"LastReplace", s.lastReplace);
    ini.writeInteger(kPosition, u"Top", s.mainBounds.top());
    ini.writeInteger(kPosition, u"Left", s.mainBounds.left());
    ini.writeInteger(kPosition, u"Width", s.mainBounds.width());
    ini.writeInteger(kPosition, u"Height", s.mainBounds.height());
    ini.writeInteger(kColors, u"TextCol", s.textColor);
    ini.writeInteger(kColors, u"TagCol", s.tagColor);
    ini.writeInteger(kColors, u"QuotedCol", s.quotedColor);
    ini.writeInteger(kColors, u"CommentCol", s.commentColor);
    ini.writeBool(kColors, u"DoColorTags", s.colorTags);
    ini.writeInteger(kThumbs, u"THUMB_BASEIDX", s.thumbBaseIndex);
    ini.writeInteger(kThumbs, u"CustomWidth", s.customWidth);
    ini.writeInteger(kThumbs, u"CustomHeight", s.customHeight);
    ini.writeInteger(kThumbs, u"Scale", s.scale);
    ini.writeInteger(kThumbs, u"Shade", s.shade);
    ini.writeInteger(kThumbs, u"Border", s.border);
    ini.writeInteger(kThumbs, u"BGCol", s.backgroundColor);
    ini.writeInteger(kThumbs, u"ShadeCol", s.shadeColor);
    ini.writeInteger(kThumbs, u"BorderCol", s.borderColor);
    ini.writeBool(kThumbs, u"CropHori", s.cropHorizontal);
    ini.writeBool(kThumbs, u"CropVerti", s.cropVertical);
    ini.writeString(kPaths, u"VIEW_PATH", s.viewPath);
    ini.writeString(kPaths, u"SNAPSHOTPATH", s.snapshotPath);
    ini.writeString(kPaths, u"COPYPATH", s.copyPath);
    ini.writeString(kOptions, u"ALLOWED_EXTENSIONS", s.allowedExtensions);
    for (int i = 0; i < int(s.externalApps.size()); ++i) {
        const ExternalApp &app = s.externalApps[size_t(i)];
        const QString section = editorSection(i);
        ini.writeString(section, u"Location", app.location);
        ini.writeString(section, u"Param", app.parameters);
        ini.writeString(section, u"Descript", app.description);
    }
    ini.writeBool(kOptions, u"DoShowFileIcons", s.showFileIcons);
    ini.writeBool(kOptions, u"DoRecycleBin", s.useRecycleBin);
    ini.writeBool(kOptions, u"DoShowHints", s.showHints);
    ini.writeBool(kOptions, u"DoOpenOnSingleClick", s.openOnSingleClick);
    ini.writeBool(kOptions, u"DoFollowDiskChanges", s.followDiskChanges);
    ini.writeBool(kOptions, u"DoKeepThumbsFresh", s.keepThumbsFresh);
    ini.writeInteger(kOptions, u"CACHE_MAX", s.cacheMax);
}

Settings loadSettingsFile(const QString &dataFolder, const QSize &screenSize)
{
    platform::IniFile ini;
    ini.load(dataFolder + kSettingsFile);
    return readSettings(ini, dataFolder, screenSize);
}

bool saveSettingsFile(const QString &dataFolder, const Settings &settings, QString *error)
{
    platform::IniFile ini;
    ini.load(dataFolder + kSettingsFile);
    writeSettings(ini, settings);
    return ini.save(error);
}

platform::LeftoverSweep removeSettingsLeftovers(const QString &dataFolder)
{
    return platform::removeAtomicWriterLeftovers(
        dataFolder, [](QStringView target) { return target == kSettingsFile; }, false);
}

} // namespace frame
