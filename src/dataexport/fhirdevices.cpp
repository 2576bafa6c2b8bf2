#include "dataexport/fhirdevices.h"

#include "core/daycount.h"
#include "dataexport/fhirexport.h"
#include "dataexport/fhirjson.h"

namespace orlu {

using namespace fhir;
using exporttext::Line;

namespace {

std::string urnOfName(const QUuid &space, const QByteArray &name) {
    Line urn;
    appendUrn(urn, QUuid::createUuidV5(space, name));
    return std::string(urn.data(), urn.size());
}

void appendSensitivity(Line &out, double sensitivity) {
    out += ",\"property\":[{\"type\":";
    appendConcept(out, FhirCodeSystemUrl, sensitivityConcept());
    out += ",\"valueQuantity\":[{\"value\":";
    exporttext::appendNumber(out, sensitivity);
    out += ",\"unit\":\"";
    exporttext::appendUtf8(out, QStringLiteral(u"读数单位/μA"));
    out += "\",\"system\":\"http://unitsofmeasure.org\",\"code\":\"{reading}/uA\"}]}]";
}

// A probe's Device; none for the measurements without a probe.
void appendDevice(Line &out, const std::string &urn, const MeasurementOrigin *probe,
                  const std::optional<CalibrationEntry> &calibration) {
    out += ",\n{\"fullUrl\":\"";
    appendText(out, urn);
    out += "\",\"resource\":{\"resourceType\":\"Device\"";
    if (probe) {
        out += ",\"identifier\":[{\"system\":\"";
        out += FhirProbeSerialSystem;
        out += "\",\"value\":";
        appendJsonText(out, probe->probeSerial);
        out += "}]";
    }
    out += ",\"manufacturer\":\"Quorix\",\"deviceName\":[{\"name\":\"O.R.L.U. meridian energy probe\","
           "\"type\":\"manufacturer-name\"}";
    if (!probe)
        out += ",{\"name\":\"unknown probe\",\"type\":\"user-friendly-name\"}";
    out += ']';
    if (probe) {
        out += ",\"serialNumber\":";
        appendJsonText(out, probe->probeSerial);
        if (!probe->probeHardware.isEmpty()) {
            out += ",\"version\":[{\"value\":";
            appendJsonText(out, probe->probeHardware);
            out += "}]";
        }
    }
    out += ",\"type\":{\"text\":\"USB skin current probe\"}";
    if (calibration)
        appendSensitivity(out, calibration->sensitivity);
    out += "}}";
}

void appendCalibrationMetric(Line &out, const std::string &urn, const std::string &deviceUrn,
                             const CalibrationEntry &calibration, const QString &zone) {
    out += ",\n{\"fullUrl\":\"";
    appendText(out, urn);
    out += "\",\"resource\":{\"resourceType\":\"DeviceMetric\",\"type\":";
    appendConcept(out, FhirCodeSystemUrl, skinCurrentConcept());
    out += ",\"unit\":{\"coding\":[{\"system\":\"http://unitsofmeasure.org\",\"code\":\"uA\",\"display\":"
           "\"\xce\xbc"
           "A\"}],\"text\":\"\xce\xbc"
           "A\"},\"source\":{\"reference\":\"";
    appendText(out, deviceUrn);
    out += "\"},\"category\":\"measurement\",\"calibration\":[{\"type\":\"gain\",\"state\":\"calibrated\","
           "\"time\":\"";
    const CalendarTime at = calendarTimeOfDayCount(calibration.at);
    exporttext::appendIsoDateTime(out, at.date, at.time);
    appendOffset(out, zone, at.date, at.time);
    out += "\"}]}}";
}

} // namespace

FhirDevices::FhirDevices(const QUuid &registerIdentity, const QList<MeasurementOrigin> &probes,
                         const std::optional<CalibrationEntry> &calibration, const QString &zone)
    : m_unknownUrn(urnOfName(registerIdentity, "device/unknown")) {
    Line out;
    // The seat's probe is the one that measured last; before probes were recorded, the unknown one.
    appendDevice(out, m_unknownUrn, nullptr, probes.isEmpty() ? calibration : std::nullopt);
    for (qsizetype i = 0; i < probes.size(); ++i) {
        const MeasurementOrigin &probe = probes[i];
        const std::string urn = urnOfName(registerIdentity, "device/" + probe.probeSerial.toUtf8());
        appendDevice(out, urn, &probe, i == probes.size() - 1 ? calibration : std::nullopt);
        m_urns.emplace_back(probe.probeSerial, urn);
    }
    if (calibration) {
        const std::string &device = probes.isEmpty() ? m_unknownUrn : m_urns.back().second;
        appendCalibrationMetric(out,
                                urnOfName(registerIdentity, "devicemetric/" + QByteArray(device.c_str())),
                                device, *calibration, zone);
    }
    m_entries.assign(out.data(), out.size());
}

const std::string &FhirDevices::urnOf(const QString &serial) const {
    if (!serial.isEmpty()) {
        for (const auto &[known, urn] : m_urns) {
            if (known == serial)
                return urn;
        }
    }
    return m_unknownUrn;
}

} // namespace orlu
