#pragma once

#include <QString>
#include <QStringList>

#include <filesystem>

namespace vocabrella::ui {

// Where printed lines go: an installed printer by name, or (when none is installed) a PDF file.
struct PrintTarget {
    QString printer;
    std::filesystem::path pdfFile; // used when printer is empty
};

// The installed printers' names, and the system's default one (empty when there is none).
QStringList installedPrinters();
QString defaultPrinter();

// Prints each line as one printed line in a fixed-pitch font (a line too long for the page
// goes on in the next), starting a new page when one is full, and ends the job. Returns the
// reason when the printer could not be started, else an empty text.
QString printLines(const QStringList& lines, const PrintTarget& target);

} // namespace vocabrella::ui
