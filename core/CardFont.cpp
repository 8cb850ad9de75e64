#include "core/CardFont.h"

QString CardsDFont = QStringLiteral("Arial");
int CardsDSize = 12;
QString CardsDSizeText = QStringLiteral("12");
QString CardsHalfPoints = QStringLiteral("24");

void CheckHalfLines(int size) {
    CardsDSize = size;
    CardsDSizeText = QString::number(size);
    CardsHalfPoints = QString::number(size * 2);
}

void ResetCardFont() {
    CardsDFont = QStringLiteral("Arial");
    CheckHalfLines(12);
}
