// The comparison reports through the report job runner: a complete job reaches the
// file, an aborted one leaves nothing (failures: test_reportprintjob).
// With ORLU_PRINTOUT_DIR set, both print-outs are kept there as PDF for a look.
#include "charts/ui/printprogresswindow.h"
#include "charts/ui/reportprintjob.h"
#include "compare/comparisonchanges.h"
#include "compare/comparisoncurves.h"
#include "compare/comparisonreport.h"
#include "support/scriptedprompter.h"
#include "support/virtualtime.h"
#include "support/controls.h"
#include "support/printjobs.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPrinter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace orlu;
using namespace Qt::StringLiterals;

namespace {

std::array<double, 24> wave(double base, double swing) {
    std::array<double, 24> v{};
    for (int i = 0; i < 24; ++i)
        v[static_cast<size_t>(i)] = base + swing * ((i * 7) % 11 - 5) / 5.0;
    return v;
}

ComparisonRecord record(const QString &number, const QString &name, double base, bool high) {
    ComparisonRecord r;
    r.subjectNumber = number;
    r.subjectName = name;
    r.measuredAt = 46000.4375;
    r.highPotential = high;
    r.corrected = wave(base, 25);
    r.average = base;
    return r;
}

PrintedRecord printedOf(const ComparisonRecord &r) {
    return {r.subjectNumber, r.subjectName, r.average, r.highPotential, r.measuredAt, {}};
}

ComparisonPrintout twoRecordPrintout() {
    const ComparisonRecord first = record(u"A-17"_s, u"王小明"_s, 60, false);
    const ComparisonRecord second = record(u"B-03"_s, u"李美华"_s, 95, true);
    ComparisonPrintout p;
    p.kind = ComparisonKind::TwoRecord;
    p.records = {printedOf(first), printedOf(second)};
    p.notes = comparisonChanges(first, second, ScatterModel()).paperLines();
    p.chart = twoRecordChart(first, second, BandChoice::Comparison, ChartMedium::Paper);
    return p;
}

ComparisonPrintout multiRecordPrintout() {
    QList<ComparisonEntry> entries;
    for (int k = 1; k <= 6; ++k)
        entries.append(ComparisonEntry::fromReadings(k, u"C-%1"_s.arg(k), u"受测者%1"_s.arg(k), 46000.5 + k,
                                                     k % 2 == 0, wave(30 + 15 * k, 20)));
    return multiRecordPrintout(entries, 3);
}

const ComparisonReportHeader Header{u"仁和中医诊所"_s, u"经络检测科"_s,
                                    QDateTime(QDate(2026, 12, 9), QTime(10, 45))};

} // namespace

class TestComparisonPrintJob : public QObject {
    Q_OBJECT
    test::FakePrintSystem queues;

private slots:
    void completeReportReachesTheFile_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("title");
        QTest::newRow("two records") << int(ComparisonKind::TwoRecord) << u"O.R.L.U 能量比对数据."_s;
        QTest::newRow("six records") << int(ComparisonKind::MultiRecord) << u"O.R.L.U 多重能量比对数据."_s;
    }
    void completeReportReachesTheFile() {
        QFETCH(int, kind);
        QFETCH(QString, title);
        const ComparisonPrintout printout =
            ComparisonKind(kind) == ComparisonKind::TwoRecord ? twoRecordPrintout() : multiRecordPrintout();
        const ReportJob job = comparisonReportJob(printout, Header);
        QCOMPARE(job.title, title);

        QTemporaryDir dir;
        const QString keep = qEnvironmentVariable("ORLU_PRINTOUT_DIR");
        const QString file =
            keep.isEmpty() ? dir.filePath(u"report.pdf"_s)
                           : QDir(keep).filePath(QString::fromLatin1(QTest::currentDataTag()) + u".pdf"_s);
        QPrinter printer;
        test::printToPdf(printer, file, 600);
        test::ScriptedPrompter prompter;
        test::VirtualTime time;
        QCOMPARE(printReportJob(printer, queues, job, prompter, time, nullptr).result,
                 PrintJobResult::Printed);
        QVERIFY(prompter.asked().isEmpty());
        QFile pdf(file);
        QVERIFY(pdf.open(QIODevice::ReadOnly));
        QVERIFY(pdf.read(5) == "%PDF-");
        QVERIFY(printer.docName().isEmpty());
    }

    void abortDiscardsTheJob() {
        QTemporaryDir dir;
        QPrinter printer;
        test::printToPdf(printer, dir.filePath(u"report.pdf"_s), 600);
        test::ScriptedPrompter prompter;
        test::VirtualTime time;
        time.setOnPump([&](quint32) {
            if (PrintProgressWindow *window = test::runningProgressWindow())
                test::control<QPushButton>(window, u"abortButton"_s)->click();
        });
        QCOMPARE(printReportJob(printer, queues, comparisonReportJob(multiRecordPrintout(), Header), prompter,
                                time, nullptr)
                     .result,
                 PrintJobResult::Aborted);
        QVERIFY(!QFile::exists(printer.outputFileName()));
        QVERIFY(prompter.asked().isEmpty());
    }
};

QTEST_MAIN(TestComparisonPrintJob)
#include "test_comparisonprintjob.moc"
