#include "dataexport/fhirexport.h"

#include "analysis/analysis.h"
#include "analysis/analysisjson.h"
#include "core/channels.h"
#include "core/daycount.h"
#include "core/version.h"
#include "dataexport/exportrow.h"
#include "dataexport/exporttext.h"
#include "dataexport/fhirconcepts.h"
#include "dataexport/fhirdevices.h"
#include "dataexport/fhirjson.h"
#include "dataexport/pseudonymiser.h"
#include "records/recordstore.h"

#include <QDateTime>
#include <QTimeZone>
#include <QUuid>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>

namespace orlu {

using namespace Qt::StringLiterals;
using namespace exporttext;
using namespace fhir;

namespace {

constexpr char Ucum[] = "http://unitsofmeasure.org";

// A component that carries no value says why.
void appendAbsent(Line &out, Absence why) {
    out += "\"dataAbsentReason\":";
    appendConcept(out, AbsentReasonSystem, absentReason(why));
}

// A quantity's UCUM code and the unit as a reader sees it.
struct Unit {
    const char *code;
    const char *display;
};
constexpr Unit Microampere{"uA", "\xce\xbc"
                                 "A"};
constexpr Unit Ratio{"1", "\xe6\xaf\x94\xe5\x80\xbc"}; // 比值

void appendQuantity(Line &out, std::optional<double> value, const Unit &unit, Absence absence) {
    if (!value || !std::isfinite(*value)) {
        appendAbsent(out, value ? Absence::NotANumber : absence);
        return;
    }
    out += "\"valueQuantity\":{\"value\":";
    appendNumber(out, *value);
    out += ",\"unit\":\"";
    out += unit.display;
    out += "\",\"system\":\"";
    out += Ucum;
    out += "\",\"code\":\"";
    out += unit.code;
    out += "\"}";
}

// How the verdict on the item of that position places a value against its normal band,
// with the verdict's words.
void appendInterpretation(Line &out, std::size_t item, std::optional<int> code) {
    const Concept *verdict = code ? verdictConcept(item, *code) : nullptr;
    if (!verdict)
        return;
    out += ",\"interpretation\":[";
    appendConcept(out, InterpretationSystem, interpretationOf(*code), verdict->display);
    out += ']';
}

// Where the register's subjects and measurements come from, which tells them from those
// of every other register.
struct RegisterOrigin {
    QUuid identity;
    QString timeZone; // of the measurements stored without one
    QList<MeasurementOrigin> probes;
    std::optional<CalibrationEntry> seatCalibration;
};

class FhirWriter : public ExportWriter {
public:
    FhirWriter(const Pseudonymiser *pseudonymiser, const RegisterOrigin &origin)
        : m_pseudonymiser(pseudonymiser)
        , m_origin(origin)
        , m_register(origin.identity.toByteArray(QUuid::WithoutBraces).toStdString())
        , m_devices(origin.identity, origin.probes, origin.seatCalibration, origin.timeZone) {
        for (const Concept &c : componentConcepts()) {
            Line prefix;
            // The observation's code carries the text; each of a million observations' 58
            // components repeating its display as text would add half again to the bundle.
            prefix += "\"code\":";
            appendCoding(prefix, FhirCodeSystemUrl, c);
            prefix += ',';
            m_componentPrefixes.emplace_back(prefix.data(), prefix.size());
        }
    }

    QByteArray header() const override {
        Line out;
        out += "{\"resourceType\":\"Bundle\",\"type\":\"collection\",\"timestamp\":\"";
        appendUtf8(out, QDateTime::currentDateTimeUtc().toString(Qt::ISODate));
        out += "\",\"entry\":[\n";
        appendCodeSystem(out);
        appendText(out, m_devices.entries());
        return QByteArray(out.data(), static_cast<qsizetype>(out.size()));
    }

    void appendRows(QByteArray &out, const std::vector<SubjectMeasurement> &rows,
                    const QString &previousSubject) const override {
        // An observation takes about 12 KB: one allocation for the batch, not a doubling copy after copy.
        out.reserve(out.size() + static_cast<qsizetype>(rows.size()) * 12 * 1024);
        thread_local Line line;
        const QString *previous = &previousSubject;
        for (const SubjectMeasurement &row : rows) {
            line.clear();
            const ExportRecord record = exportRecordOf(row, m_pseudonymiser);
            Line patient;
            appendUrn(patient, idOf("patient/" + patientKey(row, record).toUtf8()));
            const std::string patientUrn(patient.data(), patient.size());
            if (previous->isEmpty() || previous->compare(row.subject.number, Qt::CaseInsensitive) != 0)
                appendPatient(line, patientUrn, row.subject, record);
            appendObservation(line, patientUrn, row, record);
            out.append(line.data(), static_cast<qsizetype>(line.size()));
            previous = &row.subject.number;
        }
    }

    QByteArray footer() const override { return "\n]}\n"; }

private:
    // Names derived from a stable text give the same resource the same id in every export
    // of the register, and an id no other register gives.
    QUuid idOf(const QByteArray &name) const { return QUuid::createUuidV5(m_origin.identity, name); }

    // An identifier system of this register: the system's base and the register's identity.
    void appendSystem(Line &out, const char *base) const {
        out += base;
        out += '/';
        appendText(out, m_register);
    }

    // The pseudonym alone identifies a pseudonymised subject, so nothing else may lead to it.
    QString patientKey(const SubjectMeasurement &row, const ExportRecord &record) const {
        return m_pseudonymiser ? record.subject : row.subject.number.toUpper();
    }

    void appendCodeSystem(Line &out) const {
        out += "{\"fullUrl\":\"";
        appendUrn(out, idOf("codesystem"));
        out += "\",\"resource\":{\"resourceType\":\"CodeSystem\",\"url\":\"";
        out += FhirCodeSystemUrl;
        out += "\",\"version\":\"";
        out += programVersion();
        out += "\",\"language\":\"zh-CN\",\"name\":\"OrluMeasurement\",\"title\":\"O.R.L.U. meridian energy "
               "measurement\",\"status\":\"active\",\"publisher\":\"Quorix\",\"caseSensitive\":true,"
               "\"content\":\"complete\",\"concept\":[";
        bool first = true;
        for (const Concept &c : codeSystemConcepts()) {
            out += first ? "{\"code\":\"" : ",{\"code\":\"";
            first = false;
            appendText(out, c.code);
            out += "\",\"display\":\"";
            appendText(out, c.display);
            out += "\"}";
        }
        out += "]}}";
    }

    void appendPatient(Line &out, const std::string &urn, const Subject &s,
                       const ExportRecord &record) const {
        out += ",\n{\"fullUrl\":\"";
        appendText(out, urn);
        out += "\",\"resource\":{\"resourceType\":\"Patient\",\"identifier\":[{\"system\":\"";
        appendSystem(out, m_pseudonymiser ? FhirPseudonymSystem : FhirSubjectNumberSystem);
        out += "\",\"value\":";
        appendJsonText(out, record.subject);
        out += '}';
        out += ']';
        if (!m_pseudonymiser) {
            if (!s.name.trimmed().isEmpty()) {
                out += ",\"name\":[{\"text\":";
                appendJsonText(out, s.name.trimmed());
                out += "}]";
            }
            out += s.male ? ",\"gender\":\"male\"" : ",\"gender\":\"female\"";
            if (birthDateGiven(s.birthDate)) {
                out += ",\"birthDate\":\"";
                appendUtf8(out, dateOfDayCount(s.birthDate).toString(Qt::ISODate));
                out += '"';
            }
        }
        out += "}}";
    }

    void appendObservation(Line &out, const std::string &patientUrn, const SubjectMeasurement &row,
                           const ExportRecord &r) const {
        out += ",\n{\"fullUrl\":\"";
        appendUrn(out, idOf("observation/" + patientKey(row, r).toUtf8() + '/' +
                            QByteArray::number(row.measurement.key)));
        out += "\",\"resource\":{\"resourceType\":\"Observation\",\"identifier\":[{\"system\":\"";
        appendSystem(out, FhirMeasurementSystem);
        out += "\",\"value\":\"";
        appendText(out, std::to_string(row.measurement.key));
        out += "\"}],\"status\":\"final\",\"category\":[";
        appendConcept(out, CategorySystem, examCategory());
        out += "],\"code\":";
        appendConcept(out, FhirCodeSystemUrl, measurementConcept());
        out += ",\"subject\":{\"reference\":\"";
        appendText(out, patientUrn);
        out += "\"},\"effectiveDateTime\":\"";
        appendIsoDateTime(out, r.measuredOn, r.measuredAt);
        const QString &zone = row.measurement.origin.timeZone;
        appendOffset(out, zone.isEmpty() ? m_origin.timeZone : zone, r.measuredOn, r.measuredAt);
        out += "\",\"device\":{\"reference\":\"";
        appendText(out, m_devices.urnOf(row.measurement.origin.probeSerial));
        out += "\"},\"method\":";
        appendConcept(out, FhirCodeSystemUrl, potentialConcept(r.highPotential));
        // An incomplete measurement says so where a reader of the observation looks first.
        QStringList notes;
        if (r.unmeasuredPoints > 0)
            notes << u"未完成: %1 点未测量"_s.arg(r.unmeasuredPoints);
        if (r.memo && !r.memo->trimmed().isEmpty())
            notes << *r.memo;
        for (qsizetype n = 0; n < notes.size(); ++n) {
            out += n == 0 ? ",\"note\":[{\"text\":" : ",{\"text\":";
            appendJsonText(out, notes[n]);
            out += '}';
        }
        if (!notes.isEmpty())
            out += ']';
        out += ",\"component\":[";
        for (int i = 0; i < ComponentCount; ++i) {
            if (i > 0)
                out += ',';
            out += '{';
            if (i < ChannelCount)
                appendReadingQuality(out, r.quality[static_cast<std::size_t>(i)]);
            appendText(out, m_componentPrefixes[static_cast<std::size_t>(i)]);
            appendComponentValue(out, i, r);
            out += '}';
        }
        out += "]}}";
    }

    // The verdict on a plain reading, where the measuring run assessed it.
    static void appendReadingQuality(Line &out, const QString &verdict) {
        if (verdict.isEmpty())
            return;
        out += "\"extension\":[{\"url\":\"";
        out += FhirReadingQualityUrl;
        out += "\",\"valueCode\":\"";
        appendUtf8(out, verdict);
        out += "\"}],";
    }

    static void appendComponentValue(Line &out, int i, const ExportRecord &r) {
        if (i < ReadingComponents) {
            // A channel left out of the run reads 0.
            const double v = i < ChannelCount ? r.plain[static_cast<std::size_t>(i)]
                                              : r.corrected[static_cast<std::size_t>(i - ChannelCount)];
            appendQuantity(out, v != 0.0 ? std::optional(v) : std::nullopt, Microampere,
                           Absence::NotPerformed);
        } else if (i == BodyEnergyComponent) {
            appendQuantity(out,
                           r.unmeasuredPoints < ChannelCount ? std::optional(r.bodyEnergy) : std::nullopt,
                           Microampere, Absence::NotPerformed);
            appendInterpretation(out, 0, r.verdicts[0]);
        } else if (i < FirstVerdictComponent) {
            const auto ratio = static_cast<std::size_t>(i - FirstRatioComponent);
            appendQuantity(out, r.ratios[ratio], Ratio, Absence::NotApplicable);
            appendInterpretation(out, ratio + 1, r.verdicts[ratio + 1]);
        } else {
            const auto item = static_cast<std::size_t>(i - FirstVerdictComponent);
            const std::optional<int> code = r.verdicts[item];
            const Concept *verdict = code ? verdictConcept(item, *code) : nullptr;
            if (!verdict) {
                appendAbsent(out, Absence::NotApplicable);
                return;
            }
            out += "\"valueCodeableConcept\":";
            appendConcept(out, FhirCodeSystemUrl, *verdict);
        }
    }

    const Pseudonymiser *m_pseudonymiser;
    RegisterOrigin m_origin;
    std::string m_register;
    std::vector<std::string> m_componentPrefixes;
    FhirDevices m_devices;
};

std::optional<RegisterOrigin> originOf(const RecordStore &records,
                                       const std::optional<CalibrationEntry> &seatCalibration,
                                       ExportOutcome &outcome) {
    const std::optional<QUuid> identity = records.identity();
    if (identity)
        return RegisterOrigin{*identity, records.timeZone(), records.probesSeen(), seatCalibration};
    outcome.status = ExportOutcome::Status::Failed;
    outcome.error = u"登记表还没有自己的标识 (由旧版程序建立，且本程序尚未以可写方式打开过)，"
                    "无法导出可与其他登记表区分的 FHIR 数据。"_s;
    return std::nullopt;
}

} // namespace

ExportOutcome exportFhirBundle(const RecordStore &records, const MeasurementFilter &filter,
                               const Pseudonymiser *pseudonymiser, QIODevice &out, ExportObserver *observer,
                               const std::optional<CalibrationEntry> &seatCalibration) {
    ExportOutcome refused;
    const std::optional<RegisterOrigin> origin = originOf(records, seatCalibration, refused);
    return origin ? streamMeasurements(records, filter, FhirWriter(pseudonymiser, *origin), out, observer)
                  : refused;
}

ExportOutcome exportFhirBundleToFile(const RecordStore &records, const MeasurementFilter &filter,
                                     const Pseudonymiser *pseudonymiser, const QString &path,
                                     ExportObserver *observer,
                                     const std::optional<CalibrationEntry> &seatCalibration) {
    ExportOutcome refused;
    const std::optional<RegisterOrigin> origin = originOf(records, seatCalibration, refused);
    return origin
               ? streamMeasurementsToFile(records, filter, FhirWriter(pseudonymiser, *origin), path, observer)
               : refused;
}

} // namespace orlu
