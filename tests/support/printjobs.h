#pragma once

#include "charts/ui/printprogresswindow.h"

#include <QApplication>
#include <QPrinter>
#include <QString>

namespace orlu::test {

// The progress window of a running print job, found among the top-level widgets; null when none shows.
inline PrintProgressWindow *runningProgressWindow() {
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (auto *window = qobject_cast<PrintProgressWindow *>(w); window && window->isVisible())
            return window;
    }
    return nullptr;
}

// Sends what the printer prints into a PDF file (none chosen: an empty name).
inline void printToPdf(QPrinter &printer, const QString &file, int resolution) {
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(file);
    printer.setResolution(resolution);
}

} // namespace orlu::test
