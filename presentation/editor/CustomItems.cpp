#include "presentation/editor/CustomItems.h"

#include "base/FastStrings.h"
#include "base/Messages.h"
#include "platform/ini/IniFile.h"

#include <stdexcept>

namespace {
const QString Section = QStringLiteral("Custom");
} // namespace

TCustomItems::TCustomItems(TIniFile &ini) : ini(ini) {}

const QList<QPair<QString, QString>> &TCustomItems::Defaults() {
    // clang-format off
    static const QList<QPair<QString, QString>> items = {
        {QStringLiteral("1 & 3 improper"),
         QStringLiteral(R"([tab]|{\rtf1\ansi\ansicpg1252\deff0\deflang2057{\fonttbl{\f0\fnil\fcharset0 Arial;}}{\colortbl ;\red255\green255\blue255;\red1\green0\blue0;}\viewkind4\uc1\pard\b\fs24  \cf1\highlight2  1 & 3 improper \cf0\highlight0\b0\f1\par })")},
        {QStringLiteral("2 & 4 improper"),
         QStringLiteral(R"([tab]|{\rtf1\ansi\ansicpg1252\deff0\deflang2057{\fonttbl{\f0\fnil\fcharset0 Arial;}}{\colortbl ;\red255\green255\blue255;\red1\green0\blue0;}\viewkind4\uc1\pard\cf1\b\fs24  \highlight2  2 & 4 improper \b0\f1\par })")},
        {QStringLiteral("Twos improper"),
         QStringLiteral(R"([tab]|{\rtf1\ansi\ansicpg1252\deff0\deflang2057{\fonttbl{\f0\fnil\fcharset0 Arial;}}{\colortbl ;\red255\green255\blue255;\red1\green0\blue0;}\viewkind4\uc1\pard\cf1\b\fs24  \highlight2  Twos improper \b0\f1\par })")},
        {QStringLiteral("Improper"),
         QStringLiteral(R"([tab]|{\rtf1\ansi\ansicpg1252\deff0\deflang2057{\fonttbl{\f0\fnil\fcharset0 Arial;}}{\colortbl ;\red255\green255\blue255;\red1\green0\blue0;}\viewkind4\uc1\pard\cf1\b\fs24  \highlight2  Improper \b0\f1\par })")},
        {QStringLiteral("Proper"),
         QStringLiteral(R"(improper|{\rtf1\ansi\ansicpg1252\deff0\deflang2057{\fonttbl{\f0\fnil\fcharset0 Arial;}}{\colortbl ;\red1\green0\blue0;\red255\green255\blue255;}\viewkind4\uc1\pard\b\fs24  \cf2\highlight1  Proper \b0\f1\par })")},
        {QStringLiteral("Becket"),
         QStringLiteral(R"(duple|{\rtf1\ansi\ansicpg1252\deff0\deflang2057{\fonttbl{\f0\fnil\fcharset0 Arial;}}{\colortbl ;\red255\green255\blue255;\red1\green0\blue0;}\viewkind4\uc1\pard\cf1\b\fs24  \highlight2  Becket \b0\f1\par })")},
        {QStringLiteral("Becket, single progression"),
         QStringLiteral(R"(duple|{\rtf1\ansi\ansicpg1252\deff0\deflang2057{\fonttbl{\f0\fnil\fcharset0 Arial;}}{\colortbl ;\red255\green255\blue255;\red1\green0\blue0;}\viewkind4\uc1\pard\cf1\b\fs24  \highlight2  Becket, single prog. \b0\f1\par })")},
        {QStringLiteral("Double progression"),
         QStringLiteral(R"(|{\rtf1\ansi\ansicpg1252\deff0\deflang2057{\fonttbl{\f0\fnil\fcharset0 Arial;}}{\colortbl ;\red255\green255\blue255;\red1\green0\blue0;}\viewkind4\uc1\pard\fs24                                   \cf1\highlight2\b  Double progression \b0\cf2\highlight1  \cf0\highlight0\f1\par \par })")},
        {QStringLiteral("Brindlecote 3-figure template"),
         QStringLiteral(R"(|{\rtf1\ansi\ansicpg1252\deff0\deflang2057{\fonttbl{\f0\fnil\fcharset0 Arial;}}\viewkind4\uc1\pard\b\fs24 First Figure\b0 :\par \par \b A1\b0 :\tab Up a double and back.  Set and turn single.\par \par \b A2\b0 :\tab All that again.\par \par \b B1\b0 :\tab\par \par \b B2\b0 :\tab\par \par \b Second Figure\b0 :\par \par \b A1\b0 :\tab Side right shoulder to right.  Set and turn single.\par \par \b A2\b0 :\tab The same left.\par \par \b B1\b0 :\tab\par \par \b B2\b0 :\tab\par \par \b Third Figure\b0 :\par \par \b A1\b0 :\tab Arm right.  Set and turn single.\par \par \b A2\b0 :\tab The same left.\par \par \b B1\b0 :\tab\par \par \b B2\b0 :\tab\par \f1\par })")},
    };
    // clang-format on
    return items;
}

const QStringList &TCustomItems::Load() {
    // One write for all nine; a section holding only comments keeps them.
    if (ini.ReadSection(Section).isEmpty()) ini.ReplaceSection(Section, Defaults());
    CustomItems = ini.ReadSection(Section);
    return CustomItems;
}

void TCustomItems::GetCustomItem(int index) {
    if (index < 0 || index >= CustomItems.size())
        throw std::out_of_range("TCustomItems::GetCustomItem: no item " + std::to_string(index));
    const QString value = ini.ReadString(Section, CustomItems.at(index), QString());
    const qsizetype bar = MustPos(QStringLiteral("|"), value) - 1;
    CustomOld = value.left(bar);
    CustomRtf = value.mid(bar + 1);
}

QString TCustomItems::SearchText() const {
    return ReplaceText(CustomOld, QStringLiteral("[tab]"), QStringLiteral("\t"));
}

qsizetype TCustomItems::FindIn(const QString &instructions) const {
    const QString sought = SearchText();
    if (sought.isEmpty()) return -1;
    return instructions.indexOf(sought, 1, Qt::CaseSensitive);
}

bool TCustomItems::Save(const QString &title, const QString &oldText, const QString &rtf) {
    if (title.isEmpty()) return false;
    // The first "|" divides the two parts: one more would move the split
    // into the text to replace and spoil the stored RTF.
    if (oldText.contains('|')) {
        ShowMsg(QStringLiteral("The text to replace may not hold \"|\".\rThe item \"") + title +
                QStringLiteral("\" was not saved."));
        return false;
    }
    QString value = oldText + '|' + rtf;
    value.remove(QStringLiteral("\r\n"));
    try {
        // Refuses, before writing anything, a title holding "=" or a line
        // break or starting with "[" or ";", and fails whole on a bad write.
        ini.WriteString(Section, title, value);
    } catch (const std::runtime_error &e) {
        ShowMsg(QString::fromStdString(e.what()) + QStringLiteral("\rThe item \"") + title +
                QStringLiteral("\" was not saved."));
        return false;
    }
    Load();
    return true;
}

bool TCustomItems::Delete(const QString &title) {
    if (title.isEmpty()) return false;
    if (!YesNo(title + QStringLiteral("\rDelete custom item?"))) return false;
    ini.DeleteKey(Section, title);
    Load();
    return true;
}
