// Printing the report through a printer: the progress window, aborting, failures.
#include "reportfixtures.h"

#include "charts/ui/printprogresswindow.h"
#include "charts/ui/reportprintjob.h"
#include "support/scriptedprompter.h"
#include "support/virtualtime.h"
#include "support/controls.h"
#include "support/printjobs.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QPrinter>
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
        QCOMPARE(printAnalysisReportJob(pdf.printer, f.input, prompter, time, nullptr),
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
        QCOMPARE(printAnalysisReportJob(pdf.printer, f.input, prompter, time, nullptr),
                 PrintJobResult::Aborted);
        QVERIFY(pumps >= 3);
        QVERIFY(!QFile::exists(pdf.printer.outputFileName()));
        QVERIFY(prompter.asked().isEmpty());
        QVERIFY(!test::runningProgressWindow());
    }

    void failuresAreToldAndNothingCountsAsPrinted_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("message");
        QTest::newRow("no printer chosen") << QString() << u"没有可用的打印机"_s;
        QTest::newRow("file cannot be written")
            << u"/nonexistent-folder/report.pdf"_s << u"/nonexistent-folder/report.pdf 无法写入"_s;
    }
    void failuresAreToldAndNothingCountsAsPrinted() {
        QFETCH(QString, file);
        QFETCH(QString, message);
        ReportFixture f(variedReadings());
        QPrinter printer;
        test::printToPdf(printer, file, printer.resolution());
        test::ScriptedPrompter prompter;
        test::VirtualTime time;
        QCOMPARE(printAnalysisReportJob(printer, f.input, prompter, time, nullptr), PrintJobResult::Failed);
        QCOMPARE(prompter.asked().size(), 1);
        QCOMPARE(prompter.asked().first().type, int(NoteError));
        QVERIFY2(prompter.asked().first().text.contains(message), qPrintable(prompter.asked().first().text));
    }
};

QTEST_MAIN(TestReportPrintJob)
#include "test_reportprintjob.moc"
