#pragma once
// The card printer of the editor's tests: every print goes to a PDF file
// at 300 dots an inch on A4 without margins, in the orientation asked for.

#include "platform/print/CardPrinter.h"

#include <QPageLayout>
#include <QPdfWriter>
#include <memory>

class PdfCardPrinter : public CardPrinter {
public:
    explicit PdfCardPrinter(const QString &file) : file(file) {}
    QPagedPaintDevice *choose(QWidget *, bool portrait) override {
        ++chosen;
        writer = std::make_unique<QPdfWriter>(file);
        writer->setResolution(300);
        writer->setPageLayout(QPageLayout(QPageSize(QPageSize::A4), portrait ? QPageLayout::Portrait : QPageLayout::Landscape,
                                          QMarginsF()));
        return writer.get();
    }
    void setup(QWidget *) override {}
    QString file;
    int chosen = 0; // print dialogs answered
    std::unique_ptr<QPdfWriter> writer;
};
