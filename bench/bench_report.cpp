// Time to produce the whole printed analysis report (every section, all eight
// charts, detailed, colour) for a measurement with many abnormal meridians and
// the shipped reference texts: to an A4 PDF file (full_report_pdf_ms) and to the
// recording surface (full_report_ops_ms). Median of several rounds.
#include "analysis/analysis.h"
#include "analysis/referencetextbuilder.h"
#include "analysis/referencetextsource.h"
#include "analysis/textblocks.h"
#include "charts/recordingsurface.h"
#include "charts/reportprinting.h"
#include "core/currentmeasurement.h"

#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace orlu;
using namespace Qt::StringLiterals;

namespace {

class SourceTexts final : public ReferenceTexts {
public:
    explicit SourceTexts(const QList<ReferenceRecord> &records) {
        for (const ReferenceRecord &r : records)
            m_records.insert(r.key, r.texts);
    }
    QString text(int key, TextColumn column) const override { return m_records.value(key).value(column); }
    QByteArray picture(int) const override { return {}; }

private:
    QMap<int, QMap<TextColumn, QString>> m_records;
};

template <typename Run> double medianMs(int rounds, Run run) {
    run(); // fonts and glyph caches warm, as in a running program
    std::vector<double> times;
    for (int i = 0; i < rounds; ++i) {
        QElapsedTimer timer;
        timer.start();
        run();
        times.push_back(static_cast<double>(timer.nsecsElapsed()) / 1.0e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

} // namespace

int main(int argc, char *argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);

    QList<ReferenceRecord> records;
    QString error;
    QFile source(shippedReferenceTextSource());
    if (!source.open(QIODevice::ReadOnly) ||
        !parseReferenceTextSource(QString::fromUtf8(source.readAll()), &records, &error)) {
        std::fprintf(stderr, "reference texts: %s\n", qPrintable(error));
        return 1;
    }
    const SourceTexts texts(records);

    CurrentMeasurement measurement;
    measurement.setAllValues(
        {95, 30, 20, 88, 15, 70, 40, 35, 110, 25, 60, 12, 75, 10, 65, 30, 100, 18, 22, 90, 14, 55, 80, 33});
    measurement.measuredAt = 46000.4;
    measurement.subject.number = u"B-001"_s;
    measurement.subject.name = u"测试者"_s;
    measurement.subject.birthDate = 28000;
    measurement.memo = {u"头痛三日，睡眠不佳。"_s, u"针刺合谷、太冲，嘱清淡饮食。"_s};
    const AnalysisResult result = analyse(measurement.corrected, true);

    AnalysisReportInput input;
    input.options = parsePrintOptions(QString(20, u'1'));
    input.options.set(PrintOption::SmallType, false);
    input.result = &result;
    input.measurement = &measurement;
    input.texts = &texts;
    input.treatmentRecord = measurement.memo.join(u'\n');
    for (int i = 1; i <= 6; ++i)
        input.courses.append(
            {u"疗程 %1"_s.arg(i), u"疗程说明第一行。\n疗程说明第二行，较长的一段文字用来测试折行。"_s});
    input.reportTitle = u"经络能量分析报表"_s;
    input.organisation = u"诊所"_s;
    input.department = u"门诊部"_s;
    input.today = QDate(2026, 12, 9);

    QTemporaryDir dir;
    const QString pdf = dir.filePath(u"report.pdf"_s);
    const double pdfMs = medianMs(7, [&] {
        if (!writeAnalysisReportPdf(pdf, input, &error))
            std::fprintf(stderr, "pdf: %s\n", qPrintable(error));
    });
    int pages = 0;
    const double opsMs = medianMs(15, [&] {
        const PageGeometry geometry = pdfPageGeometry(ReportPdfDpi);
        RecordingSurface recording(geometry.dpi);
        produceAnalysisReport(recording, geometry, input);
        pages = static_cast<int>(recording.ops(DrawOp::Kind::Page).size());
    });
    std::printf("full_report_pdf_ms: %.1f ms\n", pdfMs);
    std::printf("full_report_ops_ms: %.1f ms\n", opsMs);
    std::printf("full_report_pages: %d pages\n", pages);
    return 0;
}
