#include "ui/Printing.h"
#include "cmdfile/System.h"

#include <QFontDatabase>
#include <algorithm>
#include <QFontMetrics>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

namespace vocabrella::ui {

QStringList installedPrinters() { return QPrinterInfo::availablePrinterNames(); }

QString defaultPrinter() { return QPrinterInfo::defaultPrinterName(); }

QString printLines(const QStringList& lines, const PrintTarget& target) {
    QPrinter printer(QPrinter::HighResolution);
    if (target.printer.isEmpty()) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(os::pathText(target.pdfFile)));
    } else {
        printer.setPrinterName(target.printer);
    }
    QPainter painter;
    if (!painter.begin(&printer)) return target.printer.isEmpty() ? QString::fromStdString(os::pathText(target.pdfFile)) : target.printer;
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSize(10);
    painter.setFont(font);
    const QFontMetrics metrics(painter.font(), painter.device());
    const QRect page = painter.viewport();
    const int width = page.width();
    int y = 0;
    for (const QString& line : lines) {
        // A line that does not fit is broken where the page ends, and goes on below.
        const QRect needed = metrics.boundingRect(QRect(0, 0, width, page.height()), Qt::TextWrapAnywhere, line);
        const int height = std::max(metrics.lineSpacing(), needed.height());
        if (y > 0 && y + height > page.height()) {
            printer.newPage();
            y = 0;
        }
        painter.drawText(QRect(0, y, width, height), Qt::TextWrapAnywhere, line);
        y += height;
    }
    painter.end();
    return {};
}

} // namespace vocabrella::ui
