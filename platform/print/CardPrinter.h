#pragma once
// The printer of instruction cards, replaceable so that tests print to PDF:
// the print dialog gives a paged device for one job, the set-up dialog
// changes the page.

#include <memory>

class QPagedPaintDevice;
class QWidget;

class CardPrinter {
public:
    virtual ~CardPrinter() = default;
    // Asks for the printer; null when the user cancels. The device lives
    // until the next call.
    virtual QPagedPaintDevice *choose(QWidget *parent, bool portrait) = 0;
    virtual void setup(QWidget *parent) = 0;
};

// The printer in use: the one installed, else the system's through Qt.
CardPrinter &CurrentCardPrinter();
// Installs a printer (not owned); null restores the system's.
void SetCardPrinter(CardPrinter *printer);
