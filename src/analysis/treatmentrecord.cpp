#include "analysis/treatmentrecord.h"

#include "core/currentmeasurement.h"
#include "records/measurementrepository.h"

namespace orlu {

using namespace Qt::StringLiterals;

QString keepTreatmentRecord(CurrentMeasurement &measurement, const QStringList &lines,
                            const QStringList &shown, MeasurementRepository &measurements) {
    measurement.memo = lines;
    if (measurement.recordKey <= 0)
        return {};
    QString error;
    const QString kept = u"处置记录无法写入数据库，本次修改只保留在目前的测量数据中。\n"_s;
    switch (measurements.writeMemo(measurement.recordKey, lines, &error, &shown)) {
    case MeasurementRepository::MemoWrite::Written:
        return {};
    case MeasurementRepository::MemoWrite::NoRecord:
        return kept + u"该笔经络能量数据已不存在，可能已被其他工作站删除。"_s;
    case MeasurementRepository::MemoWrite::Changed:
    case MeasurementRepository::MemoWrite::Failed:
        break;
    }
    return kept + error;
}

} // namespace orlu
