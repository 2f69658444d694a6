#pragma once

#include "formatter/styleoptions.h"
#include "formatter/tagrule.h"

#include <QList>
#include <QString>

namespace formatter {

// One key of trim.ini section TRIMTAGS with its integer value.
struct TrimTag {
    int value = 0;
    QString key;

    // The list entry as the value in decimal followed by the key, such as "1<B>".
    QString entry() const { return QString::number(value) + key; }
};

using TrimTagList = QList<TrimTag>;

// Everything the formatter reads from the style files, loaded once at start.
struct Style {
    StyleOptions options;
    TagRuleTable rules;
    TrimTagList trimTags;
    QString folder; // program folder + "STYLES/THUMBS/" once loaded
    QString name; // "THUMBS" once loaded
};

// Reads options.ini and tag.ini of programFolder/STYLES/THUMBS/. Every style name gives
// that one folder. Missing files and keys give defaults; nothing is reported. Callers set
// lineSize 80 and spacing 2 before the first load, as the program does at start.
void LoadStyle(Style &style, const QString &programFolder, const QString &styleName);

// Reads trim.ini of the given folder into style.trimTags, which is emptied first.
void LoadTrimTags(Style &style, const QString &folder);

// The style as the program loads it at start: line size 80 and spacing 2 first, then the
// style files, the trim table of the program folder and fresh tag counters.
void LoadProgramStyle(Style &style, const QString &programFolder, const QString &styleName);

} // namespace formatter
