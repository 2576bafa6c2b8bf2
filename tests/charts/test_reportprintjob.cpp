// Printing the reports through a printer: the progress window, aborting, failures.
#include "reportfixtures.h"

#include "charts/printsystem.h"
#include "charts/ui/printprogresswindow.h"
#include "charts/ui/reportprintjob.h"
#include "compare/comparisonreport.h"
#include "support/scriptedprompter.h"
#include "support/virtualtime.h"
#include "support/controls.h"
#include "support/printjobs.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>
#include <QTest>

using namespace orlu;
using namespace orlu::testing;
using namespace Qt::StringLiterals;

namespace {

struct PdfPrinter {
    PdfPrinter() { test::printToPdf(printer, dir.filePath(u"report.pdf"_s), 300); }
    QTemporaryDir dir;
    QPrinter printer;
};

} // namespace

class TestReportPrintJob : public QObject {
    Q_OBJECT
    test::FakePrintSystem queues;

private slots:
    void progressWindowOffersTheAbort() {
        PrintProgressWindow window;
        QCOMPARE(window.windowTitle(), u"打印"_s);
        QCOMPARE(window.size(), QSize(284, 104));
        QVERIFY(test::control<QLabel>(&window, u"printerPicture"_s));
        QCOMPARE(test::control<QLabel>(&window, u"progressLabel"_s)->text(), u"分析数据打印中...."_s);
        auto *abort = test::control<QPushButton>(&window, u"abortButton"_s);
        QVERIFY(abort);
        QCOMPARE(abort->text(), u"中断打印"_s);
        window.start();
        QVERIFY(window.isVisible());
        QVERIFY(!window.isAborted());
        abort->click();
        QVERIFY(window.isAborted());
        QVERIFY(!window.isVisible());
        window.start(); // a new job starts afresh
        QVERIFY(!window.isAborted());
    }

    // The preview opens large enough to read a whole page: most of the screen's height.
    void previewShowsAWholePage() {
        ReportFixture f(variedReadings());
        PdfPrinter pdf;
        QSize opened;
        QTimer::singleShot(0, [&] {
            if (QWidget *preview = QApplication::activeModalWidget()) {
                opened = preview->size();
                preview->close();
            }
        });
        previewAnalysisReport(pdf.printer, f.input, nullptr);
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        QVERIFY2(opened.height() >= screen.height() * 8 / 10,
                 qPrintable(u"%1 x %2"_s.arg(opened.width()).arg(opened.height())));
        QVERIFY(opened.width() < opened.height());
    }

    void completeReportGoesToTheFile() {
        ReportFixture f(variedReadings());
        PdfPrinter pdf;
        test::ScriptedPrompter prompter;
        test::VirtualTime time;
        QCOMPARE(printAnalysisReportJob(pdf.printer, queues, f.input, prompter, time, nullptr).result,
                 PrintJobResult::Printed);
        QVERIFY(prompter.asked().isEmpty());
        QFile file(pdf.printer.outputFileName());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.read(5) == "%PDF-");
        QVERIFY(file.size() > 20000);
        QVERIFY(pdf.printer.docName().isEmpty()); // the job title is cleared again
    }

    void abortDiscardsTheJob() {
        ReportFixture f(variedReadings());
        PdfPrinter pdf;
        test::ScriptedPrompter prompter;
        test::VirtualTime time;
        int pumps = 0;
        // The operator presses "中断打印" while the first sections are produced.
        time.setOnPump([&](quint32) {
            if (++pumps == 3) {
                PrintProgressWindow *window = test::runningProgressWindow();
                QVERIFY(window);
                test::control<QPushButton>(window, u"abortButton"_s)->click();
            }
        });
        QCOMPARE(printAnalysisReportJob(pdf.printer, queues, f.input, prompter, time, nullptr).result,
                 PrintJobResult::Aborted);
        QVERIFY(pumps >= 3);
        QVERIFY(!QFile::exists(pdf.printer.outputFileName()));
        QVERIFY(prompter.asked().isEmpty());
        QVERIFY(!test::runningProgressWindow());
    }

    // Every report goes through the same job runner: the analysis and the comparison report.
    void failuresAreToldAndNothingCountsAsPrinted_data() {
        QTest::addColumn<bool>("comparison");
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("service");
        QTest::addColumn<QString>("message");
        for (const bool comparison : {false, true}) {
            const char *report = comparison ? "comparison" : "analysis";
            QTest::addRow("%s report, no printer chosen", report)
                << comparison << QString() << true << u"没有可用的打印机"_s;
            QTest::addRow("%s report, print service stopped", report)
                << comparison << QString() << false << u"打印服务没有运行"_s;
            QTest::addRow("%s report, file cannot be written", report)
                << comparison << u"/nonexistent-folder/report.pdf"_s << true
                << u"/nonexistent-folder/report.pdf 无法写入，%1没有打印。"_s.arg(comparison ? u"比对报表"_s
                                                                                             : u"分析报表"_s);
        }
    }
    void failuresAreToldAndNothingCountsAsPrinted() {
        QFETCH(bool, comparison);
        QFETCH(QString, file);
        QFETCH(bool, service);
        QFETCH(QString, message);
        ReportFixture f(variedReadings());
        ComparisonPrintout printout;
        printout.kind = ComparisonKind::TwoRecord;
        QPrinter printer;
        test::printToPdf(printer, file, printer.resolution());
        queues.serviceRunning = service;
        test::ScriptedPrompter prompter;
        test::VirtualTime time;
        const PrintJobOutcome outcome =
            comparison
                ? printReportJob(printer, queues, comparisonReportJob(printout, {}), prompter, time, nullptr)
                : printAnalysisReportJob(printer, queues, f.input, prompter, time, nullptr);
        queues.serviceRunning = true;
        QCOMPARE(outcome.result, PrintJobResult::Failed);
        QCOMPARE(prompter.asked().size(), 1);
        QCOMPARE(prompter.asked().first().type, MessageType::NoteError);
        QVERIFY2(prompter.asked().first().text.contains(message), qPrintable(prompter.asked().first().text));
    }

    void queueOutcomesAreTold_data() {
        QTest::addColumn<QString>("refusal");
        QTest::addColumn<bool>("paused");
        QTest::addColumn<int>("abortAtPump"); // 0: never
        QTest::addColumn<QString>("status");
        QTest::addColumn<QString>("message");
        QTest::newRow("taken") << QString() << false << 0 << u"已送至打印机 Office"_s << QString();
        QTest::newRow("taken into a paused queue")
            << QString() << true << 0 << u"已送至打印机 Office，但打印队列已暂停"_s << QString();
        QTest::newRow("refused") << u"The printer or class is not accepting jobs."_s << false << 0
                                 << QString()
                                 << u"打印机 Office 没有接受打印工作：The printer or class is not accepting "
                                    "jobs.，分析报表没有打印。"_s;
        QTest::newRow("print service stopped") << u"Bad file descriptor"_s << false << 0 << QString()
                                               << u"打印机 Office 没有接受打印工作：Bad file descriptor"_s;
        // "中断打印" still counts after the last section, until the queue has the job.
        QTest::newRow("aborted after the pages") << QString() << false << -1 << QString() << QString();
    }
    void queueOutcomesAreTold() {
        QFETCH(QString, refusal);
        QFETCH(bool, paused);
        QFETCH(int, abortAtPump);
        QFETCH(QString, status);
        QFETCH(QString, message);
        ReportFixture f(variedReadings());
        QPrinter printer;
        test::printToPdf(printer, QString(), 300); // no file: the print system's queue
        queues.queue = u"Office"_s;
        queues.refusal = refusal;
        queues.paused = paused;
        queues.documents.clear();
        test::ScriptedPrompter prompter;
        test::VirtualTime time;
        int pumps = 0;
        int total = 0;
        time.setOnPump([&](quint32) { ++total; });
        if (abortAtPump < 0) {
            // The pumps producing the report take: abort on the one after them.
            printAnalysisReportJob(printer, queues, f.input, prompter, time, nullptr);
            const int producing = total;
            queues.documents.clear();
            time.setOnPump([&](quint32) {
                if (++pumps == producing)
                    test::control<QPushButton>(test::runningProgressWindow(), u"abortButton"_s)->click();
            });
        }
        const PrintJobOutcome outcome =
            printAnalysisReportJob(printer, queues, f.input, prompter, time, nullptr);
        QCOMPARE(outcome.status, status);
        if (abortAtPump < 0) {
            QCOMPARE(outcome.result, PrintJobResult::Aborted);
            QVERIFY(queues.documents.isEmpty());
            return;
        }
        QCOMPARE(outcome.result, message.isEmpty() ? PrintJobResult::Printed : PrintJobResult::Failed);
        if (message.isEmpty()) {
            QVERIFY(prompter.asked().isEmpty());
            QCOMPARE(queues.documents.size(), 1);
            QVERIFY(queues.documents.first().startsWith("%PDF-"));
            QVERIFY(queues.documents.first().size() > 20000);
        } else {
            QCOMPARE(prompter.asked().size(), 1);
            QCOMPARE(prompter.asked().first().type, MessageType::NoteError);
            QVERIFY2(prompter.asked().first().text.contains(message),
                     qPrintable(prompter.asked().first().text));
        }
    }

    // The same against a real queue of the print service (scripts/test-print-queue), when one runs.
    void realQueueOutcomesAreTold_data() {
        QTest::addColumn<QStringList>("queueCommands");
        QTest::addColumn<QString>("status");
        QTest::addColumn<QString>("message");
        QTest::newRow("taken") << QStringList{u"cupsaccept"_s, u"cupsenable"_s} << u"已送至打印机 %1"_s
                               << QString();
        QTest::newRow("paused") << QStringList{u"cupsaccept"_s, u"cupsdisable"_s}
                                << u"已送至打印机 %1，但打印队列已暂停"_s << QString();
        QTest::newRow("refusing") << QStringList{u"cupsreject"_s, u"cupsenable"_s} << QString()
                                  << u"打印机 %1 没有接受打印工作："_s;
    }
    void realQueueOutcomesAreTold() {
        QFETCH(QStringList, queueCommands);
        QFETCH(QString, status);
        QFETCH(QString, message);
        const QString queue = qEnvironmentVariable("ORLU_TEST_PRINT_QUEUE");
        if (queue.isEmpty())
            QSKIP("no print queue to test with (ORLU_TEST_PRINT_QUEUE is not set)");
        for (const QString &command : queueCommands)
            QCOMPARE(QProcess::execute(command, {queue}), 0);
        QPrinter printer;
        printer.setPrinterName(queue);
        QCOMPARE(printer.outputFormat(), QPrinter::NativeFormat);
        const std::unique_ptr<PrintSystem> system = systemPrintSystem();
        ReportFixture f(variedReadings());
        test::ScriptedPrompter prompter;
        test::VirtualTime time;
        const PrintJobOutcome outcome =
            printAnalysisReportJob(printer, *system, f.input, prompter, time, nullptr);
        QCOMPARE(outcome.status, status.isEmpty() ? QString() : status.arg(queue));
        QCOMPARE(prompter.asked().size(), message.isEmpty() ? 0 : 1);
        if (!message.isEmpty()) {
            QCOMPARE(prompter.asked().first().type, MessageType::NoteError);
            QVERIFY2(prompter.asked().first().text.startsWith(message.arg(queue)),
                     qPrintable(prompter.asked().first().text));
        }
        QProcess::execute(u"cupsaccept"_s, {queue});
        QProcess::execute(u"cupsenable"_s, {queue});
    }
};

QTEST_MAIN(TestReportPrintJob)
#include "test_reportprintjob.moc"
