#pragma once

#include <QString>

#include <memory>

class QPrinter;

// The system's print queues, as far as a print job needs them: handing a finished
// document to a queue and asking the queue's state. Tests put a double in its place.
namespace orlu {

struct PrintQueueState {
    bool known = false;    // the queue exists and answered
    bool accepting = true; // takes new jobs
    bool paused = false;   // holds its jobs (stopped by the administrator or by a fault)
    QString reason;        // the queue's own words on why, when it gave any
};

class PrintSystem {
public:
    virtual ~PrintSystem() = default;
    // The queue the printer set-up chose for `printer`; empty when it prints to a file or has none.
    virtual QString queueOf(const QPrinter &printer) const = 0;
    // Hands the PDF file `document` to `queue` as one job. Returns the job's number, or 0
    // when the queue did not take it; `reason` then says why in the print system's words.
    virtual int submit(const QString &queue, const QString &title, const QString &document, int copies,
                       QString *reason) = 0;
    virtual PrintQueueState state(const QString &queue) = 0;
    // Whether the print service answers at all.
    virtual bool running() = 0;
};

// The print system of this computer.
std::unique_ptr<PrintSystem> systemPrintSystem();

} // namespace orlu
