#include "formatter/style.h"

#include "platform/inifile.h"

#include <QDir>

namespace formatter {

namespace {

const QString kStyleFolderName = QStringLiteral("THUMBS");

// Style files hold plain decimal integers; anything else gives the default.
int readDecimal(
    const platform::IniFile &ini, QStringView section, QStringView key, int defaultValue)
{
    if (!ini.hasKey(section, key))
        return defaultValue;
    bool ok = false;
    const int value = ini.readString(section, key, QString()).toInt(&ok, 10);
    return ok ? value : defaultValue;
}

bool readFlag(const platform::IniFile &ini, QStringView section, QStringView key, bool defaultValue)
{
    return readDecimal(ini, section, key, defaultValue ? 1 : 0) != 0;
}

QString readText(const platform::IniFile &ini, QStringView section, QStringView key,
    const QString &defaultValue, qsizetype maxLength = -1)
{
    const QString value = ini.readString(section, key, defaultValue);
    return maxLength >= 0 ? value.left(maxLength) : value;
}

void readOptions(StyleOptions &options, const QString &path)
{
    platform::IniFile ini;
    ini.load(path);
    const QStringView s = u"OPTIONS";
    const StyleOptions defaults;
    options.styleName = readText(ini, s, u"StyleName", defaults.styleName);
    options.styleDescription = readText(ini, s, u"StyleDescription", defaults.styleDescription);
    options.lineSize = readDecimal(ini, s, u"LineSize", defaults.lineSize);
    options.spacing = readDecimal(ini, s, u"Spacing", defaults.spacing);
    options.doDisableComments = readFlag(ini, s, u"DoDisableComments", defaults.doDisableComments);
    options.doPurgeComments = readFlag(ini, s, u"DoPurgeComments", defaults.doPurgeComments);
    options.breakExcluder = readText(ini, s, u"BreakExcluder", defaults.breakExcluder);
    options.tagCase = readDecimal(ini, s, u"TagCase", defaults.tagCase);
    options.userInfo = readText(ini, s, u"UserInfo", defaults.userInfo);
    options.doIncludeUser = readFlag(ini, s, u"DoIncludeUser", defaults.doIncludeUser);
    options.doIncludeVersion = readFlag(ini, s, u"DoIncludeVersion", defaults.doIncludeVersion);
    options.doIncludeDate = readFlag(ini, s, u"DoIncludeDate", defaults.doIncludeDate);
    options.doIncludeTime = readFlag(ini, s, u"DoIncludeTime", defaults.doIncludeTime);
    options.doIncludeStyle = readFlag(ini, s, u"DoIncludeStyle", defaults.doIncludeStyle);
    options.useWhileCompress = readFlag(ini, s, u"UseWhileCompress", options.useWhileCompress);
    options.useWhileFormat = readFlag(ini, s, u"UseWhileFormat", options.useWhileFormat);
}

void readTagRules(TagRuleTable &table, const QString &path)
{
    platform::IniFile ini;
    ini.load(path);
    const QStringList sections = ini.sectionNames();
    const qsizetype count = qMin(sections.size(), TagRuleTable::kCapacity);
    table.rules.clear();
    table.rules.reserve(count);
    for (qsizetype k = 0; k < count; ++k) {
        const QString &s = sections.at(k);
        RecTAGInfo rule = DefaultTagRule();
        rule.name = s.left(RecTAGInfo::kMaxNameLength);
        rule.tagOpen = readText(ini, s, u"TagOpen", QString(), RecTAGInfo::kMaxTagKeyLength);
        rule.tagClose = readText(ini, s, u"TagClose", QString(), RecTAGInfo::kMaxTagKeyLength);
        rule.isSelfIndent = readDecimal(ini, s, u"isSelfIndent", 0);
        rule.isContentIndent = readDecimal(ini, s, u"isContentIndent", 0);
        rule.crlfLeading = readDecimal(ini, s, u"CRLFLeading", 0);
        rule.crlfFollowed = readDecimal(ini, s, u"CRLFFollowed", 0);
        rule.doGenerateSComment = readFlag(ini, s, u"DoGenerateSComment", false);
        rule.doGenerateEComment = readFlag(ini, s, u"DoGenerateEComment", false);
        rule.startComment
            = readText(ini, s, u"StartComment", QString(), RecTAGInfo::kMaxCommentTextLength);
        rule.endComment
            = readText(ini, s, u"EndComment", QString(), RecTAGInfo::kMaxCommentTextLength);
        rule.commentLength = readDecimal(ini, s, u"CommentLength", 40);
        // A rule without the key has no fill; the "*" holds only for the default rule.
        rule.commentSymbol
            = readText(ini, s, u"CommentSymbol", QString(), RecTAGInfo::kMaxSymbolLength);
        rule.treatAsText = readFlag(ini, s, u"TreatAsText", false);
        rule.enableCounter = readFlag(ini, s, u"EnableCounter", false);
        rule.cindent = readFlag(ini, s, u"Cindent", true);
        rule.index = static_cast<int>(k + 1);
        // An own-line tag always starts and ends a line.
        if (!rule.treatAsText) {
            if (rule.crlfLeading == 0)
                rule.crlfLeading = 1;
            if (rule.crlfFollowed == 0)
                rule.crlfFollowed = 1;
        }
        table.rules.append(rule);
    }
}

} // namespace

void LoadStyle(
    Style &style, const QString &programFolder, [[maybe_unused]] const QString &styleName)
{
    // Whatever style the settings name, the one shipped style folder is loaded.
    const QString folder
        = QDir(programFolder).filePath(QStringLiteral("STYLES/") + kStyleFolderName)
        + QLatin1Char('/');
    readOptions(style.options, folder + QStringLiteral("options.ini"));
    style.options.styleName = kStyleFolderName;
    readTagRules(style.rules, folder + QStringLiteral("tag.ini"));
    style.folder = folder;
    style.name = kStyleFolderName;
}

void LoadTrimTags(Style &style, const QString &folder)
{
    style.trimTags.clear();
    platform::IniFile ini;
    ini.load(QDir(folder).filePath(QStringLiteral("trim.ini")));
    const QStringView section = u"TRIMTAGS";
    for (const QString &key : ini.keyNames(section))
        style.trimTags.append({ readDecimal(ini, section, key, 0), key });
}

void LoadProgramStyle(Style &style, const QString &programFolder, const QString &styleName)
{
    style.options.lineSize = 80;
    style.options.spacing = 2;
    LoadStyle(style, programFolder, styleName);
    LoadTrimTags(style, programFolder);
    ResetTagCounters(style.rules);
}

} // namespace formatter
