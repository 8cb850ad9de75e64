#include "platform/print/LinePrinter.h"

#include "base/Log.h"
#include "base/Messages.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

namespace {
LinePrinter *g_printer = nullptr;
} // namespace

LinePrinter &CurrentLinePrinter() {
    static QtLinePrinter fallback;
    return g_printer ? *g_printer : fallback;
}

void SetLinePrinter(LinePrinter *printer) { g_printer = printer; }

void QtLinePrinter::print(const PrintJob &job) {
    QPrinter printer(QPrinter::HighResolution);
    if (!outputPdf.isEmpty()) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(outputPdf);
    } else if (QPrinterInfo::defaultPrinter().isNull()) {
        ShowMsg(QStringLiteral("No printer is available, so nothing was printed."));
        return;
    }
    printer.setDocName(job.title);
    QPainter painter;
    if (!painter.begin(&printer)) {
        ShowMsg(QStringLiteral("Unable to print ") + job.title);
        return;
    }
    QFont font = job.fontFamily.isEmpty() ? QFont() : QFont(job.fontFamily);
    font.setPointSize(job.pointSize > 0 ? job.pointSize : 12);
    painter.setFont(font);
    const QRect page = painter.viewport();
    const QFontMetrics metrics(painter.font());
    int y = 0;
    for (const QString &line : job.lines) {
        const QString shown = line.isEmpty() ? QStringLiteral(" ") : line;
        const QRect needed =
            metrics.boundingRect(QRect(0, 0, page.width(), page.height()), Qt::TextWordWrap, shown);
        const int height = qMax(needed.height(), metrics.lineSpacing());
        if (y > 0 && y + height > page.height()) {
            printer.newPage();
            y = 0;
        }
        painter.drawText(QRect(0, y, page.width(), height), Qt::TextWordWrap, shown);
        y += height;
    }
    painter.end();
    WriteLog(QStringLiteral("Printed ") + job.title);
}
