#pragma once

class QBoxLayout;
class QLayout;
class QWidget;

// The box of a layout that holds a widget, searched through nested layouts;
// nullptr when no box below `layout` holds it.
QBoxLayout *LayoutHolding(QLayout *layout, QWidget *w);
