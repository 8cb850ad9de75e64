#include "presentation/CardSettings.h"

#include "base/Log.h"
#include "base/Messages.h"
#include "core/startup/Settings.h"
#include "platform/ini/IniFile.h"

QString CardsDFont = QStringLiteral("Arial");
int CardsDSize = 12;
QString CardsDSizeText = QStringLiteral("12");
QString CardsHalfPoints = QStringLiteral("24");
int CardsParaGap = 100;
int CardsLSpace = 230;
bool CardsHalfLines = false;
QList<int> TabStops = {727};
int TabCount = 1;
QString HangingIndentPrefix = QStringLiteral("\\fi-727\\li727");

std::function<void()> ApplySaveInstructionsHook;
std::function<void()> ApplyRelayoutHook;
std::function<void()> HalfLinesUntickHook;

namespace {

const QString Cards = QStringLiteral("Cards");

// A whole decimal number, blanks around it allowed.
std::optional<int> wholeNumber(const QString &text) {
    bool ok = false;
    const int n = text.trimmed().toInt(&ok, 10);
    if (!ok) return std::nullopt;
    return n;
}

bool atLeast(const QString &text, int least) {
    const std::optional<int> n = wholeNumber(text);
    return n && *n >= least;
}

} // namespace

const QList<CardsKey> &CardsKeys() {
    static const QList<CardsKey> keys = {
        {"DFont", "Arial"}, {"DSize", "12"}, {"TabList", ""}, {"ParaGap", "100"}, {"LSpace", "230"},
        {"HalfLines", "0"}, {"GapTop", ""},  {"GapLeft", ""}, {"DWidth", ""},     {"DHeight", ""},
        {"VGap", ""},       {"HGap", ""},    {"Down", ""},    {"Across", ""},     {"Portrait", "1"},
        {"Colour", "0"},
    };
    return keys;
}

const QStringList &CardEditNames() {
    static const QStringList names = {"GapTop", "GapLeft", "DWidth", "DHeight", "VGap", "HGap", "Down", "Across"};
    return names;
}

const QList<StandardLayout> &StandardLayouts() {
    static const QList<StandardLayout> layouts = {
        {"L1", "Avery 5388  (Three 3\" x 5\" cards)", {"1300", "2300", "6700", "3710", "610", "30", "3", "1"}, true},
        {"L2", "Geographica/Decadry (Four A6 cards)", {"0", "200", "7200", "5200", "500", "1200", "2", "2"}, false},
        {"L3", "Single 4\" x 6\" cards", {"420", "420", "8040", "5360", "0", "0", "1", "1"}, true},
        {"L4", "Single A4 page", {"380", "420", "15100", "10550", "0", "0", "1", "1"}, true},
    };
    return layouts;
}

bool ParseTabList(const QString &text, QList<int> &stops) {
    QList<int> out;
    QString rest = text;
    while (!rest.isEmpty()) {
        const qsizetype slash = rest.indexOf(u'/');
        const QString piece = slash < 0 ? rest : rest.left(slash);
        rest = slash < 0 ? QString() : rest.mid(slash + 1);
        const std::optional<int> n = wholeNumber(piece);
        if (!n || *n < 0 || out.size() >= MaxTabStops) return false;
        out.append(*n);
    }
    stops = out;
    return true;
}

QList<int> ReadTabList(const QString &text, bool *changed) {
    QList<int> out;
    bool dropped = false;
    const QStringList pieces = text.split(u'/');
    for (int i = 0; i < pieces.size(); ++i) {
        if (i > 0 && i == pieces.size() - 1 && pieces[i].isEmpty()) break; // a final "/" ends the list
        const std::optional<int> n = wholeNumber(pieces[i]);
        if (!n || *n < 0 || out.size() >= MaxTabStops) {
            dropped = true;
            continue;
        }
        out.append(*n);
    }
    if (out.isEmpty()) {
        out = {727};
        dropped = true;
    }
    if (changed) *changed = dropped;
    return out;
}

void StdClick(CardSetValues &v, int n) {
    if (n < 1 || n > StandardLayouts().size()) return;
    const StandardLayout &l = StandardLayouts()[n - 1];
    v.tabList = StandardTabList;
    v.card = l.values;
    v.portrait = l.portrait;
    v.layout = n;
}

int MatchingLayout(const CardSetValues &v) {
    for (int i = 0; i < StandardLayouts().size(); ++i)
        if (StandardLayouts()[i].values == v.card) return i + 1;
    return 0;
}

void MyChange(CardSetValues &v) {
    v.layout = MatchingLayout(v);
    if (v.layout > 0) StdClick(v, v.layout);
}

void HalfLinesClick(CardSetValues &v) { v.paraGap = v.halfLines ? QStringLiteral("0") : QStringLiteral("100"); }

CardSetValues LoadSet(TIniFile &ini) {
    CardSetValues v;
    v.fontName = CardsDFont;
    v.fontSize = CardsDSizeText;
    v.tabList = ini.ReadString(Cards, QStringLiteral("TabList"), QString());
    if (v.tabList.isEmpty()) v.tabList = QStringLiteral("727");
    // A list that Apply would refuse (edited outside) is read leniently,
    // and said so once.
    QList<int> strict;
    if (!ParseTabList(v.tabList, strict)) {
        QStringList kept;
        for (int t : ReadTabList(v.tabList)) kept << QString::number(t);
        WriteLog(QStringLiteral("TabList \"%1\" read as \"%2\"").arg(v.tabList, kept.join(u'/')));
    }
    CardsParaGap = ini.ReadInteger(Cards, QStringLiteral("ParaGap"), 100);
    v.paraGap = QString::number(CardsParaGap);
    CardsLSpace = ini.ReadInteger(Cards, QStringLiteral("LSpace"), 230);
    v.lSpace = QString::number(CardsLSpace);
    v.halfLines = ini.ReadBool(Cards, QStringLiteral("HalfLines"), false);
    CardsHalfLines = v.halfLines;
    for (int i = 0; i < CardEditNames().size(); ++i) v.card[i] = ini.ReadString(Cards, CardEditNames()[i], QString());
    v.portrait = ini.ReadBool(Cards, QStringLiteral("Portrait"), true);
    // A matching layout is only marked here: its tabs and orientation would
    // overwrite the ones just read.
    v.layout = MatchingLayout(v);
    if (v.card[2].isEmpty()) StdClick(v, 1);
    TabStops = ReadTabList(v.tabList);
    TabCount = int(TabStops.size());
    return v;
}

void SetTab1() { HangingIndentPrefix = HangingIndentPrefixFor(TabCount > 0 ? TabStops[0] : 727); }

bool CardSetValuesValid(const CardSetValues &v) {
    if (!atLeast(v.fontSize, 1) || !atLeast(v.paraGap, 0) || !atLeast(v.lSpace, 0)) return false;
    // GapTop, GapLeft, DWidth, DHeight, VGap, HGap, Down, Across
    static const int least[] = {0, 0, 1, 1, 0, 0, 1, 1};
    for (int i = 0; i < 8; ++i)
        if (!atLeast(v.card.value(i), least[i])) return false;
    QList<int> stops;
    return ParseTabList(v.tabList, stops);
}

bool CheckHalfLines(TIniFile &ini, int size) {
    CardsDSize = size;
    CardsDSizeText = QString::number(size);
    CardsHalfPoints = QString::number(size * 2);
    if (size == 12 || !(CardsHalfLines || ini.ReadBool(Cards, QStringLiteral("HalfLines"), false))) return false;
    ShowMsg(QStringLiteral("You are not using 12-point so I've switched off\rhalf-lines in the Internal Editor.\r"
                           "Please contact me if you would like to use half-lines."));
    CardsHalfLines = false;
    if (HalfLinesUntickHook) HalfLinesUntickHook();
    ini.WriteBool(Cards, QStringLiteral("HalfLines"), false);
    return true;
}

bool ApplySettings(TIniFile &ini, CardSetValues &v) {
    if (!CardSetValuesValid(v)) {
        OKHelpCancel(QStringLiteral("All the values (except font name) must be whole numbers."), 60200);
        return false;
    }
    const int size = *wholeNumber(v.fontSize);
    CardsDFont = v.fontName;
    CardsHalfLines = v.halfLines; // the box is the setting being applied
    if (CheckHalfLines(ini, size)) v.halfLines = false;
    ini.WriteString(Cards, QStringLiteral("DFont"), v.fontName);
    ini.WriteInteger(Cards, QStringLiteral("DSize"), size);
    ini.WriteString(Cards, QStringLiteral("TabList"), v.tabList);
    ini.WriteInteger(Cards, QStringLiteral("ParaGap"), *wholeNumber(v.paraGap));
    ini.WriteInteger(Cards, QStringLiteral("LSpace"), *wholeNumber(v.lSpace));
    ini.WriteBool(Cards, QStringLiteral("HalfLines"), v.halfLines);
    for (int i = 0; i < CardEditNames().size(); ++i) ini.WriteInteger(Cards, CardEditNames()[i], *wholeNumber(v.card[i]));
    ini.WriteBool(Cards, QStringLiteral("Portrait"), v.portrait);
    CardsParaGap = *wholeNumber(v.paraGap);
    CardsLSpace = *wholeNumber(v.lSpace);
    v = LoadSet(ini);
    SetTab1();
    if (ApplySaveInstructionsHook) ApplySaveInstructionsHook();
    if (ApplyRelayoutHook) ApplyRelayoutHook();
    return true;
}

CardSetValues CardSettingsAtStartup(TIniFile &ini) {
    CardsDFont = ini.ReadString(Cards, QStringLiteral("DFont"), QStringLiteral("Arial"));
    CheckHalfLines(ini, ini.ReadInteger(Cards, QStringLiteral("DSize"), 12));
    CardSetValues v = LoadSet(ini);
    SetTab1();
    return v;
}

QString SetRtfFontSize(const QString &rtf) {
    return SetRtfFontSize(rtf, OptionChecked(QStringLiteral("UsePrimary")), CardsDFont, CardsHalfPoints);
}

CardLayout CurrentCardLayout() {
    CardLayout l;
    l.lineSpacing = QString::number(CardsLSpace);
    l.paraGap = QString::number(CardsParaGap);
    l.tabStops = TabStops.mid(0, TabCount);
    l.hangingIndentPrefix = HangingIndentPrefix;
    l.halfLines = CardsHalfLines;
    return l;
}

void ResetCardSettings() {
    CardsDFont = QStringLiteral("Arial");
    CardsDSize = 12;
    CardsDSizeText = QStringLiteral("12");
    CardsHalfPoints = QStringLiteral("24");
    CardsParaGap = 100;
    CardsLSpace = 230;
    CardsHalfLines = false;
    TabStops = {727};
    TabCount = 1;
    HangingIndentPrefix = QStringLiteral("\\fi-727\\li727");
    ApplySaveInstructionsHook = nullptr;
    ApplyRelayoutHook = nullptr;
    HalfLinesUntickHook = nullptr;
}

bool CheckHalfLines(int size) {
    if (!IniFile) {
        CardsDSize = size;
        CardsDSizeText = QString::number(size);
        CardsHalfPoints = QString::number(size * 2);
        return false;
    }
    return CheckHalfLines(*IniFile, size);
}

void SetPrimaryFont(TIniFile &ini, const QString &family, int size) {
    CardsDFont = family;
    CheckHalfLines(ini, size);
    ini.WriteString(Cards, QStringLiteral("DFont"), CardsDFont);
    ini.WriteInteger(Cards, QStringLiteral("DSize"), CardsDSize);
}

bool SetCardsTwips(TIniFile &ini, const QString &key, const QString &answer) {
    const std::optional<int> n = wholeNumber(answer);
    if (!n) {
        ShowMsg(QLatin1Char('\'') + answer + QStringLiteral("' is not a valid integer value"));
        return false;
    }
    // A negative value would give "\sl--230", no RTF word at all.
    if (*n < 0) {
        ShowMsg(QLatin1Char('\'') + answer + QStringLiteral("' is below 0: the value must be 0 or more"));
        return false;
    }
    ini.WriteInteger(Cards, key, *n);
    (key == QLatin1String("LSpace") ? CardsLSpace : CardsParaGap) = *n;
    return true;
}
