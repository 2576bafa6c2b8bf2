#include "dataexport/fhirexport.h"

#include "analysis/analysis.h"
#include "analysis/analysisjson.h"
#include "core/channels.h"
#include "core/daycount.h"
#include "core/version.h"
#include "dataexport/exportrow.h"
#include "dataexport/exporttext.h"
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

namespace {

constexpr char Ucum[] = "http://unitsofmeasure.org";

// A code of this program's code system with what it means.
struct Concept {
    std::string code;
    std::string display;
};

// Observation components in the order they are written: the 24 plain readings, the 24
// corrected values, body energy, the four ratios, the five verdicts.
constexpr int ReadingComponents = 2 * ChannelCount;
constexpr int BodyEnergyComponent = ReadingComponents;
constexpr int FirstRatioComponent = BodyEnergyComponent + 1;
constexpr int FirstVerdictComponent = FirstRatioComponent + 4;
constexpr int ComponentCount = FirstVerdictComponent + StateItemCount;

constexpr std::array<StateItem, StateItemCount> VerdictItems{StateItem::BodyEnergy, StateItem::Spirit,
                                                             StateItem::Musculoskeletal,
                                                             StateItem::Metabolism, StateItem::Autonomic};
constexpr std::array<const char *, StateItemCount> ItemCodes{"body-energy", "spirit", "musculoskeletal",
                                                             "metabolism", "autonomic"};
constexpr std::array<const char *, StateItemCount> ItemNames{
    "body energy", "spirit ratio", "musculoskeletal ratio", "metabolism ratio", "autonomic balance ratio"};

std::string channelCode(int c) {
    return std::string(meridian(meridianOfChannel(c)).code) + (sideOfChannel(c) == Side::Left ? "-L" : "-R");
}

std::string channelDisplay(int c) {
    return meridian(meridianOfChannel(c)).englishName.toStdString() +
           (sideOfChannel(c) == Side::Left ? ", left" : ", right");
}

const Concept MeasurementConcept{"meridian-energy",
                                 "Meridian energy measurement: skin current at 24 source points"};
const Concept HighPotential{"potential-high", "Measured at high potential"};
const Concept StandardPotential{"potential-standard", "Measured at standard potential"};

// The component codes by their position.
const std::vector<Concept> &componentConcepts() {
    static const std::vector<Concept> concepts = [] {
        std::vector<Concept> list;
        for (int c = 1; c <= ChannelCount; ++c)
            list.push_back({"reading-" + channelCode(c), "Plain reading, " + channelDisplay(c)});
        for (int c = 1; c <= ChannelCount; ++c)
            list.push_back({"corrected-" + channelCode(c), "Corrected value, " + channelDisplay(c)});
        list.push_back({"body-energy", "Body energy (mean corrected value)"});
        for (std::size_t i = 1; i < ItemCodes.size(); ++i)
            list.push_back({std::string("ratio-") + ItemCodes[i], std::string("Ratio: ") + ItemNames[i]});
        for (std::size_t i = 0; i < ItemCodes.size(); ++i)
            list.push_back(
                {std::string("verdict-") + ItemCodes[i], std::string("Verdict on the ") + ItemNames[i]});
        return list;
    }();
    return concepts;
}

void appendText(Line &out, const std::string &text) {
    out.append(text.data(), text.size());
}

void appendJsonText(Line &out, const QString &text) {
    appendUtf8(out, jsonString(text));
}

void appendCoding(Line &out, const char *system, const std::string &code) {
    out += "{\"coding\":[{\"system\":\"";
    out += system;
    out += "\",\"code\":\"";
    appendText(out, code);
    out += "\"}]}";
}

void appendUrn(Line &out, const QUuid &id) {
    char text[48] = "urn:uuid:";
    const QByteArray uuid = id.toByteArray(QUuid::WithoutBraces);
    std::memcpy(text + 9, uuid.constData(), 36);
    out.append(text, 45);
}

// The offset from UTC of a zone at a local moment, as FHIR writes it ("+08:00"). Looked up
// once an hour of measuring time and zone: the zone rules change at most on the hour.
void appendOffset(Line &out, const QString &zone, const QDate &date, const QTime &time) {
    thread_local qint64 hourKey = std::numeric_limits<qint64>::min();
    thread_local QString hourZone;
    thread_local char text[16];
    const qint64 key = date.toJulianDay() * 24 + time.hour();
    if (key != hourKey || zone != hourZone) {
        const int offset =
            QDateTime(date, QTime(time.hour(), 0), QTimeZone(zone.toLatin1())).offsetFromUtc() / 60;
        std::snprintf(text, sizeof text, "%c%02d:%02d", offset < 0 ? '-' : '+', std::abs(offset) / 60,
                      std::abs(offset) % 60);
        hourKey = key;
        hourZone = zone;
    }
    out.append(text, 6);
}

// A component that carries no value says why.
void appendAbsent(Line &out, const char *reason) {
    out += "\"dataAbsentReason\":{\"coding\":[{\"system\":\"http://terminology.hl7.org/CodeSystem/"
           "data-absent-reason\",\"code\":\"";
    out += reason;
    out += "\"}]}";
}

void appendQuantity(Line &out, std::optional<double> value, const char *unit, const char *absentReason) {
    if (!value || !std::isfinite(*value)) {
        appendAbsent(out, value ? "not-a-number" : absentReason);
        return;
    }
    out += "\"valueQuantity\":{\"value\":";
    appendNumber(out, *value);
    if (*unit) {
        out += ",\"unit\":\"";
        out += unit;
        out += '"';
    }
    out += ",\"system\":\"";
    out += Ucum;
    out += "\",\"code\":\"";
    out += *unit ? unit : "1";
    out += "\"}";
}

// Where the register's subjects and measurements come from, which tells them from those
// of every other register.
struct RegisterOrigin {
    QUuid identity;
    QString timeZone; // of the measurements stored without one
};

class FhirWriter : public ExportWriter {
public:
    FhirWriter(const Pseudonymiser *pseudonymiser, const RegisterOrigin &origin)
        : m_pseudonymiser(pseudonymiser)
        , m_origin(origin)
        , m_register(origin.identity.toByteArray(QUuid::WithoutBraces).toStdString()) {
        for (const Concept &c : componentConcepts()) {
            Line prefix;
            prefix += "\"code\":";
            appendCoding(prefix, FhirCodeSystemUrl, c.code);
            prefix += ',';
            m_componentPrefixes.emplace_back(prefix.data(), prefix.size());
        }
        Line device;
        appendUrn(device, idOf("device/probe"));
        m_deviceUrn.assign(device.data(), device.size());
    }

    QByteArray header() const override {
        Line out;
        out += "{\"resourceType\":\"Bundle\",\"type\":\"collection\",\"timestamp\":\"";
        appendUtf8(out, QDateTime::currentDateTimeUtc().toString(Qt::ISODate));
        out += "\",\"entry\":[\n";
        appendCodeSystem(out);
        out += ",\n{\"fullUrl\":\"";
        appendText(out, m_deviceUrn);
        out += "\",\"resource\":{\"resourceType\":\"Device\",\"manufacturer\":\"Quorix\",\"deviceName\":[{"
               "\"name\":"
               "\"O.R.L.U. meridian energy probe\",\"type\":\"manufacturer-name\"}],\"type\":{\"text\":\"USB "
               "skin "
               "current probe\"}}}";
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
        out +=
            "\",\"name\":\"OrluMeasurement\",\"title\":\"O.R.L.U. meridian energy measurement\","
            "\"status\":\"active\",\"publisher\":\"Quorix\",\"caseSensitive\":true,\"content\":\"complete\","
            "\"concept\":[";
        auto addConcept = [&](const Concept &c, bool first) {
            if (!first)
                out += ',';
            out += "{\"code\":\"";
            appendText(out, c.code);
            out += "\",\"display\":\"";
            appendText(out, c.display);
            out += "\"}";
        };
        addConcept(MeasurementConcept, true);
        addConcept(HighPotential, false);
        addConcept(StandardPotential, false);
        for (const Concept &c : componentConcepts())
            addConcept(c, false);
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
        out += "\"}],\"status\":\"final\",\"category\":[{"
               "\"coding\":"
               "[{\"system\":\"http://terminology.hl7.org/CodeSystem/"
               "observation-category\",\"code\":\"exam\"}]}],"
               "\"code\":";
        appendCoding(out, FhirCodeSystemUrl, MeasurementConcept.code);
        out += ",\"subject\":{\"reference\":\"";
        appendText(out, patientUrn);
        out += "\"},\"effectiveDateTime\":\"";
        appendIsoDateTime(out, r.measuredOn, r.measuredAt);
        const QString &zone = row.measurement.origin.timeZone;
        appendOffset(out, zone.isEmpty() ? m_origin.timeZone : zone, r.measuredOn, r.measuredAt);
        out += "\",\"device\":{\"reference\":\"";
        appendText(out, m_deviceUrn);
        out += "\"},\"method\":";
        appendCoding(out, FhirCodeSystemUrl, r.highPotential ? HighPotential.code : StandardPotential.code);
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
            appendQuantity(out, v != 0.0 ? std::optional(v) : std::nullopt, "uA", "not-performed");
        } else if (i == BodyEnergyComponent) {
            appendQuantity(out,
                           r.unmeasuredPoints < ChannelCount ? std::optional(r.bodyEnergy) : std::nullopt,
                           "uA", "not-performed");
        } else if (i < FirstVerdictComponent) {
            appendQuantity(out, r.ratios[static_cast<std::size_t>(i - FirstRatioComponent)], "",
                           "not-applicable");
        } else {
            const auto item = static_cast<std::size_t>(i - FirstVerdictComponent);
            const std::optional<int> code = r.verdicts[item];
            const QString text = code ? verdictText(VerdictItems[item], *code) : QString();
            if (text.isEmpty()) {
                appendAbsent(out, "not-applicable");
                return;
            }
            out += "\"valueCodeableConcept\":{\"text\":";
            appendJsonText(out, text);
            out += '}';
        }
    }

    const Pseudonymiser *m_pseudonymiser;
    RegisterOrigin m_origin;
    std::string m_register;
    std::vector<std::string> m_componentPrefixes;
    std::string m_deviceUrn;
};

std::optional<RegisterOrigin> originOf(const RecordStore &records, ExportOutcome &outcome) {
    const std::optional<QUuid> identity = records.identity();
    if (identity)
        return RegisterOrigin{*identity, records.timeZone()};
    outcome.status = ExportOutcome::Status::Failed;
    outcome.error = u"登记表还没有自己的标识 (由旧版程序建立，且本程序尚未以可写方式打开过)，"
                    "无法导出可与其他登记表区分的 FHIR 数据。"_s;
    return std::nullopt;
}

} // namespace

ExportOutcome exportFhirBundle(const RecordStore &records, const MeasurementFilter &filter,
                               const Pseudonymiser *pseudonymiser, QIODevice &out, ExportObserver *observer) {
    ExportOutcome refused;
    const std::optional<RegisterOrigin> origin = originOf(records, refused);
    return origin ? streamMeasurements(records, filter, FhirWriter(pseudonymiser, *origin), out, observer)
                  : refused;
}

ExportOutcome exportFhirBundleToFile(const RecordStore &records, const MeasurementFilter &filter,
                                     const Pseudonymiser *pseudonymiser, const QString &path,
                                     ExportObserver *observer) {
    ExportOutcome refused;
    const std::optional<RegisterOrigin> origin = originOf(records, refused);
    return origin
               ? streamMeasurementsToFile(records, filter, FhirWriter(pseudonymiser, *origin), path, observer)
               : refused;
}

} // namespace orlu
