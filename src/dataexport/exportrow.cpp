#include "dataexport/exportrow.h"

#include "analysis/analysis.h"
#include "analysis/analysisjson.h"
#include "core/daycount.h"
#include "quality/readingcaveats.h"
#include "dataexport/exporttext.h"
#include "dataexport/pseudonymiser.h"
#include "quality/verdicts.h"

namespace orlu {

using namespace Qt::StringLiterals;
using namespace exporttext;

namespace {

// The member names of `orlu-cli analyse` under "ratios" and "verdicts".
constexpr std::array<const char *, 4> RatioNames{"spirit", "musculoskeletal", "metabolism", "autonomic"};
constexpr std::array<const char *, 5> VerdictNames{"bodyEnergy", "spirit", "musculoskeletal", "metabolism",
                                                   "autonomic"};
constexpr std::array<StateItem, 4> RatioItems{StateItem::Spirit, StateItem::Musculoskeletal,
                                              StateItem::Metabolism, StateItem::Autonomic};

constexpr std::array<const char *, 24> QualityNames{
    "quality1",  "quality2",  "quality3",  "quality4",  "quality5",  "quality6",  "quality7",  "quality8",
    "quality9",  "quality10", "quality11", "quality12", "quality13", "quality14", "quality15", "quality16",
    "quality17", "quality18", "quality19", "quality20", "quality21", "quality22", "quality23", "quality24"};

// RFC 4180: a field with a comma, a quote or a line break is quoted, quotes doubled.
void appendCsvText(Line &out, const QString &text) {
    const QByteArray utf8 = text.toUtf8();
    if (utf8.contains(',') || utf8.contains('"') || utf8.contains('\n') || utf8.contains('\r')) {
        QByteArray quoted = utf8;
        quoted.replace("\"", "\"\"");
        out += '"';
        out.append(quoted.constData(), static_cast<std::size_t>(quoted.size()));
        out += '"';
    } else {
        out.append(utf8.constData(), static_cast<std::size_t>(utf8.size()));
    }
}

class CsvRow {
public:
    explicit CsvRow(Line &out)
        : m_out(out) {}
    void sep() {
        if (m_first)
            m_first = false;
        else
            m_out += ',';
    }
    void text(const QString &s) {
        sep();
        appendCsvText(m_out, s);
    }
    void raw(const char *s) {
        sep();
        m_out += s;
    }
    void dateTime(const QDate &d, const QTime &t) {
        sep();
        appendIsoDateTime(m_out, d, t);
    }
    template <typename T> void number(const std::optional<T> &v) {
        sep();
        if (v)
            appendNumber(m_out, *v);
    }
    template <typename T> void number(T v) { number(std::optional<T>(v)); }
    void end() { m_out += "\r\n"; }

private:
    Line &m_out;
    bool m_first = true;
};

class JsonObject {
public:
    explicit JsonObject(Line &out)
        : m_out(out) {
        m_out += '{';
    }
    void name(const char *n) {
        if (!m_first)
            m_out += ", ";
        m_first = false;
        m_out += '"';
        m_out += n;
        m_out += "\": ";
    }
    void text(const char *n, const QString &s) {
        name(n);
        appendUtf8(m_out, jsonString(s));
    }
    void dateTime(const char *n, const QDate &d, const QTime &t) {
        name(n);
        m_out += '"';
        appendIsoDateTime(m_out, d, t);
        m_out += '"';
    }
    template <typename T> void number(const char *n, const std::optional<T> &v) {
        name(n);
        if (v)
            appendNumber(m_out, *v);
        else
            m_out += "null";
    }
    template <typename T> void number(const char *n, T v) { number(n, std::optional<T>(v)); }
    template <typename Array> void numbers(const char *n, const Array &values) {
        name(n);
        m_out += '[';
        for (std::size_t i = 0; i < values.size(); ++i) {
            if (i > 0)
                m_out += ", ";
            if (values[i])
                appendNumber(m_out, *values[i]);
            else
                m_out += "null";
        }
        m_out += ']';
    }
    void close() { m_out += '}'; }

private:
    Line &m_out;
    bool m_first = true;
};

// A reading of 0 is a point never measured: no value.
std::array<std::optional<double>, 24> readingsOf(const std::array<double, 24> &values) {
    std::array<std::optional<double>, 24> readings{};
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (values[i] != 0.0)
            readings[i] = values[i];
    }
    return readings;
}

void appendCsv(Line &out, const ExportRecord &r) {
    CsvRow row(out);
    row.text(r.subject);
    row.raw(r.male ? "male" : "female");
    row.number(r.birthYear);
    row.number(r.ageAtMeasurement);
    row.dateTime(r.measuredOn, r.measuredAt);
    row.raw(r.highPotential ? "high" : "standard");
    for (const auto &v : readingsOf(r.plain))
        row.number(v);
    for (const auto &v : readingsOf(r.corrected))
        row.number(v);
    row.number(r.bodyEnergy);
    for (const auto &v : r.ratios)
        row.number(v);
    for (const auto &v : r.verdicts)
        row.number(v);
    for (const auto &g : r.channelGrades)
        row.number(g);
    row.number(r.steadyPoints);
    row.number(r.unmeasuredPoints);
    for (const QString &word : r.quality)
        row.text(word);
    if (r.memo)
        row.text(*r.memo);
    row.end();
}

void appendJson(Line &out, const ExportRecord &r) {
    JsonObject o(out);
    o.text("subject", r.subject);
    o.text("sex", r.male ? u"male"_s : u"female"_s);
    o.number("birthYear", r.birthYear);
    o.number("ageAtMeasurement", r.ageAtMeasurement);
    o.dateTime("measuredAt", r.measuredOn, r.measuredAt);
    o.text("potential", r.highPotential ? u"high"_s : u"standard"_s);
    o.numbers("plain", readingsOf(r.plain));
    o.numbers("corrected", readingsOf(r.corrected));
    o.number("bodyEnergy", r.bodyEnergy);
    o.name("ratios");
    {
        JsonObject ratios(out);
        for (std::size_t i = 0; i < RatioNames.size(); ++i)
            ratios.number(RatioNames[i], r.ratios[i]);
        ratios.close();
    }
    o.name("verdicts");
    {
        JsonObject verdicts(out);
        for (std::size_t i = 0; i < VerdictNames.size(); ++i)
            verdicts.number(VerdictNames[i], r.verdicts[i]);
        verdicts.close();
    }
    o.numbers("channelGrades", r.channelGrades);
    o.number("steadyPoints", r.steadyPoints);
    o.number("unmeasuredPoints", r.unmeasuredPoints);
    for (std::size_t c = 0; c < r.quality.size(); ++c)
        o.text(QualityNames[c], r.quality[c]);
    if (r.memo)
        o.text("memo", *r.memo);
    o.close();
    out += '\n';
}

} // namespace

ExportRecord exportRecordOf(const SubjectMeasurement &row, const Pseudonymiser *pseudonymiser) {
    const Subject &s = row.subject;
    const MeasurementRecord &m = row.measurement;
    ExportRecord r;
    r.subject = pseudonymiser ? pseudonymiser->pseudonym(s.number) : s.number;
    r.male = s.male;
    const CalendarTime measured = calendarTimeOfDayCount(m.measuredAt);
    r.measuredOn = measured.date;
    r.measuredAt = measured.time;
    if (birthDateGiven(s.birthDate)) {
        r.birthYear = dateOfDayCount(s.birthDate).year();
        r.ageAtMeasurement = ageInYears(s.birthDate, r.measuredOn);
    }
    r.highPotential = m.highPotential;
    r.plain = m.values;
    r.corrected = correctedValues(m.values);
    r.unmeasuredPoints = static_cast<int>(unmeasuredChannels(m.values).size());
    if (r.unmeasuredPoints > 0) {
        // Sums, ratios and grades of a measurement with points left out would count them as
        // 0 uA: only the mean of the points measured is given.
        r.bodyEnergy = measuredMean(r.corrected).value_or(0.0);
    } else {
        const AnalysisResult a = analyse(r.corrected, s.male, AnalysisTexts::Omitted);
        r.bodyEnergy = a.bodyEnergy;
        r.verdicts[0] = a.verdict(StateItem::BodyEnergy);
        for (std::size_t i = 0; i < RatioItems.size(); ++i) {
            r.ratios[i] = a.state(RatioItems[i]).value;
            r.verdicts[i + 1] = a.verdict(RatioItems[i]);
        }
        for (std::size_t c = 0; c < r.channelGrades.size(); ++c)
            r.channelGrades[c] = a.channelGrades[c];
    }
    for (std::size_t c = 0; c < m.quality.size(); ++c) {
        if (m.values[c] == 0.0)
            r.quality[c] = unmeasuredWord();
        if (!m.quality[c])
            continue;
        r.quality[c] = verdictWord(m.quality[c]->verdict);
        r.steadyPoints =
            r.steadyPoints.value_or(0) + (m.quality[c]->verdict == QualityVerdict::Steady ? 1 : 0);
    }
    if (!pseudonymiser)
        r.memo = m.memo;
    return r;
}

QStringList exportColumnNames(bool withMemo) {
    QStringList names{u"subject"_s,          u"sex"_s,        u"birthYear"_s,
                      u"ageAtMeasurement"_s, u"measuredAt"_s, u"potential"_s};
    for (int c = 1; c <= 24; ++c)
        names << u"plain%1"_s.arg(c);
    for (int c = 1; c <= 24; ++c)
        names << u"corrected%1"_s.arg(c);
    names << u"bodyEnergy"_s;
    for (const char *n : RatioNames)
        names << u"ratios."_s + QLatin1StringView(n);
    for (const char *n : VerdictNames)
        names << u"verdicts."_s + QLatin1StringView(n);
    for (int c = 1; c <= 24; ++c)
        names << u"channelGrades%1"_s.arg(c);
    names << u"steadyPoints"_s << u"unmeasuredPoints"_s;
    for (const char *n : QualityNames)
        names << QLatin1StringView(n);
    if (withMemo)
        names << u"memo"_s;
    return names;
}

QByteArray exportHeader(ExportFormat format, bool withMemo) {
    if (format == ExportFormat::JsonLines)
        return {};
    return exportColumnNames(withMemo).join(u',').toUtf8() + "\r\n";
}

void appendExportRecord(QByteArray &out, ExportFormat format, const ExportRecord &record) {
    thread_local Line line;
    line.clear();
    if (format == ExportFormat::Csv)
        appendCsv(line, record);
    else
        appendJson(line, record);
    out.append(line.data(), static_cast<qsizetype>(line.size()));
}

} // namespace orlu
