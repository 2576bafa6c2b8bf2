#include "quality/pointqualityjson.h"

#include "quality/verdicts.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>

#include <cmath>

using namespace Qt::StringLiterals;

namespace orlu {

namespace {

std::optional<QualityInput> refuse(QString *error, const QString &why) {
    if (error)
        *error = why;
    return std::nullopt;
}

bool isWholeNumber(const QJsonValue &v, double min) {
    return v.isDouble() && std::floor(v.toDouble()) == v.toDouble() && v.toDouble() >= min &&
           v.toDouble() <= std::numeric_limits<int>::max();
}

// JSON has no infinity: a figure beyond a double (readings near its limit) is written as null.
QByteArray number(double v) {
    return std::isfinite(v) ? QByteArray::number(v, 'g', 17) : QByteArray("null");
}

} // namespace

std::optional<QualityInput> parseQualityInput(const QByteArray &json, QString *error) {
    QJsonParseError parseError;
    const QJsonDocument doc = QJsonDocument::fromJson(json, &parseError);
    if (parseError.error != QJsonParseError::NoError)
        return refuse(error,
                      u"not JSON: %1 at offset %2"_s.arg(parseError.errorString()).arg(parseError.offset));
    if (!doc.isObject())
        return refuse(error, u"the input must be one JSON object"_s);
    const QJsonObject o = doc.object();
    QualityInput in;
    const QJsonValue threshold = o.value("threshold"_L1);
    if (!threshold.isDouble() || threshold.toDouble() < 0)
        return refuse(error, u"\"threshold\" must be a number of 0 or more"_s);
    in.threshold = threshold.toDouble();
    if (o.contains("attempts"_L1)) {
        if (!isWholeNumber(o.value("attempts"_L1), 1))
            return refuse(error, u"\"attempts\" must be a whole number of 1 or more"_s);
        in.attempts = o.value("attempts"_L1).toInt();
    }
    if (!o.value("samples"_L1).isArray())
        return refuse(error, u"\"samples\" must be an array of [ms, reading, k]"_s);
    const QJsonArray samples = o.value("samples"_L1).toArray();
    in.samples.reserve(static_cast<size_t>(samples.size()));
    for (qsizetype i = 0; i < samples.size(); ++i) {
        const QJsonArray s = samples.at(i).toArray();
        if (s.size() != 3 || !s.at(0).isDouble() || s.at(0).toDouble() < 0 || !s.at(1).isDouble() ||
            !isWholeNumber(s.at(2), 1))
            return refuse(error, u"sample %1 is not [ms of 0 or more, reading, k of 1 or more]"_s.arg(i + 1));
        in.samples.push_back({s.at(0).toDouble(), s.at(1).toDouble(), s.at(2).toInt()});
    }
    return in;
}

QByteArray qualityJson(const PointQuality &q) {
    QByteArray flags;
    for (const QString &w : flagWords(q.flags))
        flags += (flags.isEmpty() ? "\"" : ", \"") + w.toLatin1() + '"';
    return "{\"samples\": " + QByteArray::number(q.samples) + ", \"mean\": " + number(q.mean) +
           ", \"sd\": " + number(q.sd) + ", \"cvPercent\": " + number(q.cvPercent) +
           ", \"driftPercentPerSecond\": " + number(q.driftPercentPerSecond) +
           ", \"settlingPercent\": " + number(q.settlingPercent) + ", \"flags\": [" + flags +
           "], \"verdict\": \"" + verdictWord(q.verdict).toLatin1() + "\"}";
}

} // namespace orlu
