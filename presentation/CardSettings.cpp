#include "presentation/CardSettings.h"

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
}
