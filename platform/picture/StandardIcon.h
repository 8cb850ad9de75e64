#pragma once
// The style's standard pictures for buttons, read from the style only when
// first painted or measured: a window full of buttons is built without
// decoding pictures for pages nobody has looked at yet.

#include <QIcon>
#include <QStyle>

QIcon LazyStandardIcon(QStyle::StandardPixmap which, const QWidget *owner);
