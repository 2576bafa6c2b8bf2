#include "analysis/analysisjson.h"

#include <QStringList>

#include <cmath>

using namespace Qt::StringLiterals;

namespace orlu {

QString jsonString(const QString &s) {
    QString out = u"\""_s;
    for (QChar ch : s) {
        switch (ch.unicode()) {
        case u'"':
            out += u"\\\""_s;
            break;
        case u'\\':
            out += u"\\\\"_s;
            break;
        case u'\n':
            out += u"\\n"_s;
            break;
        case u'\r':
            out += u"\\r"_s;
            break;
        case u'\t':
            out += u"\\t"_s;
            break;
        default:
            if (ch.unicode() < 0x20)
                out += u"\\u%1"_s.arg(static_cast<uint>(ch.unicode()), 4, 16, QChar(u'0'));
            else
                out += ch;
        }
    }
    return out + u"\""_s;
}

namespace {

QString real(double v) {
    if (!std::isfinite(v))
        return u"null"_s;
    return QString::number(v, 'g', 17);
}

QString optionalReal(const std::optional<double> &v) {
    return v ? real(*v) : u"null"_s;
}

QString optionalInt(const std::optional<int> &v) {
    return v ? QString::number(*v) : u"null"_s;
}

QString optionalString(const std::optional<int> &code, const QString &s) {
    return code ? jsonString(s) : u"null"_s;
}

template <typename Container, typename F> QString array(const Container &c, F item) {
    QStringList parts;
    for (const auto &v : c)
        parts << item(v);
    return u"["_s + parts.join(u", "_s) + u"]"_s;
}

QString realArray(const auto &c) {
    return array(c, [](double v) -> QString { return real(v); });
}

QString intArray(const auto &c) {
    return array(c, [](int v) -> QString { return QString::number(v); });
}

QString object(const QList<std::pair<QString, QString>> &members, const QString &indent) {
    QStringList parts;
    for (const auto &[name, value] : members)
        parts << indent + u"  "_s + jsonString(name) + u": "_s + value;
    return u"{\n"_s + parts.join(u",\n"_s) + u"\n"_s + indent + u"}"_s;
}

QString listArray(const QList<ListRow> &rows) {
    return array(rows, [](const ListRow &r) -> QString {
        return u"{\"caption\": "_s + jsonString(r.caption) + u", \"key\": "_s + QString::number(r.key) +
               u"}"_s;
    });
}

} // namespace

QString analysisToJson(const AnalysisResult &r) {
    const auto &be = r.state(StateItem::BodyEnergy);
    const auto &sp = r.state(StateItem::Spirit);
    const auto &ms = r.state(StateItem::Musculoskeletal);
    const auto &me = r.state(StateItem::Metabolism);
    const auto &au = r.state(StateItem::Autonomic);

    std::array<double, 5> elementMeans{};
    std::array<int, 5> elementGrades{};
    for (int i = 0; i < ElementCount; ++i) {
        elementMeans[i] = r.elements[i].mean;
        elementGrades[i] = r.elements[i].grade;
    }
    const QString pairs = array(r.pairs, [](const PairBalance &p) -> QString {
        return u"{\"difference\": "_s + real(p.difference) + u", \"code\": "_s + QString::number(p.code) +
               u", \"text\": "_s + jsonString(p.text) + u"}"_s;
    });

    return object(
        {
            {u"sex"_s, jsonString(r.male ? u"male"_s : u"female"_s)},
            {u"corrected"_s, realArray(r.corrected)},
            {u"groups"_s, realArray(r.groups)},
            {u"yinSum"_s, real(r.yinSum)},
            {u"yangSum"_s, real(r.yangSum)},
            {u"upperSum"_s, real(r.upperSum)},
            {u"lowerSum"_s, real(r.lowerSum)},
            {u"leftSum"_s, real(r.leftSum)},
            {u"rightSum"_s, real(r.rightSum)},
            {u"bodyEnergy"_s, real(r.bodyEnergy)},
            {u"bandScale"_s, real(r.bands.scale)},
            {u"excessLimits"_s, realArray(std::array<double, 2>{r.bands.u1, r.bands.u2})},
            {u"deficiencyLimits"_s, realArray(std::array<double, 2>{r.bands.d1, r.bands.d2})},
            {u"deviations"_s, realArray(r.deviations)},
            {u"channelGrades"_s, intArray(r.channelGrades)},
            {u"meridianMeans"_s, realArray(r.meridianMeans)},
            {u"elementMeans"_s, realArray(elementMeans)},
            {u"elementGrades"_s, intArray(elementGrades)},
            {u"highestGroup"_s, real(r.highestGroup)},
            {u"lowestGroup"_s, real(r.lowestGroup)},
            {u"ratios"_s, object({{u"spirit"_s, optionalReal(sp.value)},
                                  {u"musculoskeletal"_s, optionalReal(ms.value)},
                                  {u"metabolism"_s, optionalReal(me.value)},
                                  {u"autonomic"_s, optionalReal(au.value)}},
                                 u"  "_s)},
            {u"verdicts"_s, object({{u"bodyEnergy"_s, optionalInt(be.code)},
                                    {u"spirit"_s, optionalInt(sp.code)},
                                    {u"musculoskeletal"_s, optionalInt(ms.code)},
                                    {u"metabolism"_s, optionalInt(me.code)},
                                    {u"autonomic"_s, optionalInt(au.code)}},
                                   u"  "_s)},
            {u"verdictTexts"_s, object({{u"bodyEnergy"_s, optionalString(be.code, be.verdictText)},
                                        {u"spirit"_s, optionalString(sp.code, sp.verdictText)},
                                        {u"musculoskeletal"_s, optionalString(ms.code, ms.verdictText)},
                                        {u"metabolism"_s, optionalString(me.code, me.verdictText)},
                                        {u"autonomic"_s, optionalString(au.code, au.verdictText)}},
                                       u"  "_s)},
            {u"pairs"_s, pairs},
            {u"differentiationList"_s, listArray(r.differentiationList)},
            {u"dietList"_s, listArray(r.dietList)},
            {u"prescriptionList"_s, listArray(r.prescriptionList)},
        },
        QString());
}

} // namespace orlu
