#include "platform/print/CardPrinter.h"

#include <QPageLayout>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>

namespace {

class QtCardPrinter : public CardPrinter {
public:
    QPagedPaintDevice *choose(QWidget *parent, bool portrait) override {
        QPrintDialog dialog(&printer, parent);
        if (dialog.exec() != QDialog::Accepted) return nullptr;
        printer.setPageOrientation(portrait ? QPageLayout::Portrait : QPageLayout::Landscape);
        return &printer;
    }
    void setup(QWidget *parent) override {
        QPageSetupDialog dialog(&printer, parent);
        dialog.exec();
    }

private:
    QPrinter printer{QPrinter::HighResolution};
};

CardPrinter *Installed = nullptr;

} // namespace

CardPrinter &CurrentCardPrinter() {
    static QtCardPrinter system;
    return Installed ? *Installed : system;
}

void SetCardPrinter(CardPrinter *printer) { Installed = printer; }
