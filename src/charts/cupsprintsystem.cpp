#include "charts/printsystem.h"

#include <QFile>
#include <QPrinter>

#include <cups/cups.h>

namespace orlu {

using namespace Qt::StringLiterals;

namespace {

bool serviceAnswers() {
    http_t *http =
        httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1, 5000, nullptr);
    if (!http)
        return false;
    httpClose(http);
    return true;
}

// The print service's own words on the last failure; when it cannot be reached at all they
// are a system text such as "No such file or directory", so that is said plainly instead.
QString lastCupsError() {
    const QString words = QString::fromUtf8(cupsLastErrorString());
    return serviceAnswers() ? words : u"打印服务没有运行"_s;
}

class CupsPrintSystem final : public PrintSystem {
public:
    QString queueOf(const QPrinter &printer) const override {
        return printer.outputFormat() == QPrinter::NativeFormat ? printer.printerName() : QString();
    }

    int submit(const QString &queue, const QString &title, const QString &document, int copies,
               QString *reason) override {
        cups_option_t *options = nullptr;
        const int count =
            cupsAddOption("copies", QByteArray::number(qMax(1, copies)).constData(), 0, &options);
        const int job = cupsPrintFile2(CUPS_HTTP_DEFAULT, queue.toUtf8().constData(),
                                       QFile::encodeName(document).constData(), title.toUtf8().constData(),
                                       count, options);
        cupsFreeOptions(count, options);
        if (job == 0 && reason)
            *reason = lastCupsError();
        return job;
    }

    PrintQueueState state(const QString &queue) override {
        PrintQueueState s;
        cups_dest_t *dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, queue.toUtf8().constData(), nullptr);
        if (!dest) {
            s.reason = lastCupsError();
            return s;
        }
        auto option = [dest](const char *name) {
            return QString::fromUtf8(cupsGetOption(name, dest->num_options, dest->options));
        };
        s.known = true;
        s.accepting = option("printer-is-accepting-jobs") != u"false"_s;
        s.paused = option("printer-state").toInt() == IPP_PSTATE_STOPPED;
        s.reason = option("printer-state-message");
        if (s.reason.isEmpty())
            s.reason = option("printer-state-reasons");
        cupsFreeDests(1, dest);
        return s;
    }

    bool running() override { return serviceAnswers(); }
};

} // namespace

std::unique_ptr<PrintSystem> systemPrintSystem() {
    return std::make_unique<CupsPrintSystem>();
}

} // namespace orlu
