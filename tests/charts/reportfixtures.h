#pragma once

#include "analysis/analysis.h"
#include "analysis/textblocks.h"
#include "charts/analysisreport.h"
#include "charts/recordingsurface.h"
#include "core/currentmeasurement.h"

#include <QMap>

#include <algorithm>
#include <utility>

// Inputs of the printed report for tests, on a 600 dpi recording.
namespace orlu::testing {

inline constexpr PageGeometry Page600{600, 4900, 6800};

// Reference texts from a map; every text a test asks for names its key and column.
class NamedTexts final : public ReferenceTexts {
public:
    QString text(int key, TextColumn column) const override {
        const auto it = overrides.find({key, column});
        if (it != overrides.end())
            return it.value();
        return columnName(column) + u'-' + QString::number(key);
    }
    QByteArray picture(int) const override { return {}; }
    QMap<std::pair<int, TextColumn>, QString> overrides;
};

// A measurement of 24 plain readings and everything the report reads besides.
struct ReportFixture {
    explicit ReportFixture(const std::array<double, 24> &readings,
                           const QString &options = QString(20, u'1')) {
        measurement.setAllValues(readings);
        measurement.measuredAt = 46000.5;
        measurement.subject.number = QStringLiteral("A-17");
        measurement.subject.name = QStringLiteral("王小明");
        measurement.subject.birthDate = 30000;
        result = analyse(measurement.corrected, measurement.subject.male);
        input.options = parsePrintOptions(options);
        input.result = &result;
        input.measurement = &measurement;
        input.texts = &texts;
        input.reportTitle = QStringLiteral("测试报表");
        input.organisation = QStringLiteral("机构");
        input.department = QStringLiteral("部门");
        input.today = QDate(2026, 12, 9);
    }
    ReportFixture(const ReportFixture &) = delete;

    RecordingSurface produce(std::function<bool()> aborted = {}) {
        RecordingSurface rec(Page600.dpi);
        outcome = produceAnalysisReport(rec, Page600, input, std::move(aborted));
        return rec;
    }

    CurrentMeasurement measurement;
    AnalysisResult result;
    NamedTexts texts;
    AnalysisReportInput input;
    ReportOutcome outcome = ReportOutcome::Finished;
};

// A varied measurement with abnormal meridians of both kinds.
inline std::array<double, 24> variedReadings() {
    return {42, 55, 61, 38, 47, 50, 44, 58, 66, 35, 49, 52, 30, 72, 45, 51, 40, 60, 33, 75, 48, 55, 41, 62};
}

inline QList<DrawOp> textOps(const RecordingSurface &rec) {
    return rec.ops(DrawOp::Kind::Text);
}

inline const DrawOp *textStartingWith(const RecordingSurface &rec, const QString &prefix) {
    const QList<DrawOp> &ops = rec.ops();
    const auto it = std::find_if(ops.begin(), ops.end(), [&](const DrawOp &op) {
        return op.kind == DrawOp::Kind::Text && op.text.startsWith(prefix);
    });
    return it == ops.end() ? nullptr : &*it;
}

} // namespace orlu::testing
