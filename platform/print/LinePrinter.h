#pragma once
// Printing of plain lines of text (a run's list, a report) through one
// replaceable printer, so that tests never reach a real printer.

#include <QString>
#include <QStringList>

struct PrintJob {
    QString title;       // the document name the print queue shows
    QStringList lines;   // printed one under the other, long ones wrapped
    QString fontFamily;  // empty: the system's default font
    int pointSize = 12;
};

class LinePrinter {
public:
    virtual ~LinePrinter() = default;
    virtual void print(const PrintJob &job) = 0;
};

// The printer in use: the one installed, else the system's default printer.
LinePrinter &CurrentLinePrinter();
// Installs a printer (not owned); null restores the default.
void SetLinePrinter(LinePrinter *printer);

// The default: the system's default printer through Qt. With no printer it
// says so; when outputPdf is set it writes that PDF file instead.
class QtLinePrinter : public LinePrinter {
public:
    QString outputPdf;
    void print(const PrintJob &job) override;
};
