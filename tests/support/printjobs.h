#pragma once

#include "charts/printsystem.h"
#include "charts/ui/printprogresswindow.h"

#include <QApplication>
#include <QFile>
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
    printer.setPrinterName(QString()); // not the computer's default printer
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(file);
    printer.setResolution(resolution);
}

// A print system whose one queue refuses, pauses or takes jobs as a test sets it.
class FakePrintSystem final : public PrintSystem {
public:
    QString queue;               // the queue a printer prints on; empty: none
    QString refusal;             // non-empty: the queue refuses jobs with this reason
    bool paused = false;         // the queue holds what it takes
    bool serviceRunning = true;  // false: the print service does not answer
    QList<QByteArray> documents; // what each taken job handed over

    QString queueOf(const QPrinter &) const override { return queue; }
    int submit(const QString &, const QString &, const QString &document, int, QString *reason) override {
        if (!refusal.isEmpty()) {
            *reason = refusal;
            return 0;
        }
        QFile f(document);
        documents.append(f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray());
        return int(documents.size());
    }
    PrintQueueState state(const QString &) override { return {true, refusal.isEmpty(), paused, {}}; }
    bool running() override { return serviceRunning; }
};

} // namespace orlu::test
