#include "core/filter/Tags.h"

#include "base/Cp1252.h"
#include "core/startup/Settings.h"

QString TagSetName;
int TaggedCount = 0;
QString TagKeyList;
QSet<QString> TagKeySet;
bool TagFilterOn = false;

void ResetTagState() {
    TagSetName.clear();
    TaggedCount = 0;
    TagKeyList.clear();
    TagKeySet.clear();
    TagFilterOn = false;
}

QString TagKey(const QString &title, const QString &format, const QString &style) {
    return '|' + title + '|' + format + '|' + style + '|';
}

QString TagSetSection(const QString &name) {
    return '$' + name;
}

QString TagPlaceholderKey() {
    return QString(ProgrammeSeparator);
}

void LoadTagSet() {
    TaggedCount = 0;
    TagKeyList.clear();
    TagKeySet.clear();
    if (TagSetName.isEmpty() || !IniFile) return;
    const QStringList keys = IniFile->ReadSection(TagSetSection(TagSetName));
    TaggedCount = int(keys.size());
    TagKeyList = QStringLiteral("|");
    for (const QString &k : keys) {
        TagKeyList += k;
        TagKeySet.insert(FoldUpper(k));
    }
}

bool IsTagged(const QString &key) {
    return TagKeySet.contains(FoldUpper(key));
}

QStringList TagSetNames() {
    QStringList names;
    if (!IniFile) return names;
    for (const QString &s : IniFile->ReadSections())
        if (s.startsWith('$')) names.append(s.mid(1));
    return names;
}

bool TagSetExists(const QString &name) {
    return IniFile && IniFile->SectionExists(TagSetSection(name));
}

QString TagSetNameFault(const QString &name) {
    if (name.contains(']') || name.contains('='))
        return QStringLiteral("A set name cannot contain \"]\" or \"=\".");
    return {};
}

void WriteTagPlaceholder(const QString &name) {
    IniFile->WriteString(TagSetSection(name), TagPlaceholderKey(), QString());
}

void AddTag(const QString &key) {
    if (TagSetName.isEmpty()) return;
    const QString section = TagSetSection(TagSetName);
    IniFile->DeleteKey(section, TagPlaceholderKey());
    IniFile->WriteString(section, key, QStringLiteral("1"));
    LoadTagSet();
}

void RemoveTag(const QString &key) {
    if (TagSetName.isEmpty()) return;
    IniFile->DeleteKey(TagSetSection(TagSetName), key);
    LoadTagSet();
}

void EraseTagSet(const QString &name) {
    IniFile->EraseSection(TagSetSection(name));
}
