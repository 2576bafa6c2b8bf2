#include "analysis/textblocks.h"

#include <QStringList>

using namespace Qt::StringLiterals;

namespace orlu {

namespace {

using C = TextColumn;

QString lines(const QStringList &parts) {
    return parts.join(u'\n');
}

// Two texts with a blank line between them.
QString withBlank(const QString &first, const QString &second) {
    return lines({first, QString(), second});
}

} // namespace

QString stateDifferentiationBlock(const ReferenceTexts &texts, int key, std::optional<int> code) {
    QStringList parts{texts.text(key, C::DtMA1), QString()};
    if (code) {
        if (*code == 0)
            parts << texts.text(key, C::DtMA2);
        else if (*code > 0)
            parts << texts.text(key, C::DtMH1);
        else
            parts << texts.text(key, C::DtML1);
        if (key == static_cast<int>(StateItem::BodyEnergy) && *code == -3)
            parts << QString() << lowEnergyLine();
    }
    return lines(parts);
}

QString meridianDifferentiationBlock(const ReferenceTexts &texts, int m, MeridianState state) {
    QStringList parts{differentiationCaption(m), QString(), texts.text(m, C::DtMA2), QString(),
                      texts.text(m, C::DtMA1),   QString()};
    if (state == MeridianState::Excess)
        parts << texts.text(m, C::DtMH1);
    else if (state == MeridianState::Deficiency)
        parts << texts.text(m, C::DtML1);
    return lines(parts);
}

QString ryodorakuBlock(const ReferenceTexts &texts, int m, MeridianState state) {
    if (state == MeridianState::Excess)
        return texts.text(m, C::DtMH5);
    if (state == MeridianState::Deficiency)
        return texts.text(m, C::DtML5);
    return {};
}

QString dietBlock(const ReferenceTexts &texts, int m, MeridianState state) {
    QStringList parts{texts.text(m, C::DtMA3), QString()};
    if (state == MeridianState::Excess)
        parts << texts.text(m, C::DtMH4);
    else if (state == MeridianState::Deficiency)
        parts << texts.text(m, C::DtML4);
    return lines(parts);
}

QString prescriptionBlock(const ReferenceTexts &texts, int m, MeridianState state) {
    if (state == MeridianState::Excess)
        return withBlank(texts.text(m, C::DtMH3), texts.text(m, C::DtMH2));
    if (state == MeridianState::Deficiency)
        return withBlank(texts.text(m, C::DtML3), texts.text(m, C::DtML2));
    return {};
}

QString differentiationBlock(const ReferenceTexts &texts, const AnalysisResult &result, int key) {
    if (key >= FirstStateKey && key < FirstStateKey + StateItemCount)
        return stateDifferentiationBlock(texts, key, result.verdict(static_cast<StateItem>(key)));
    if (key >= 1 && key <= MeridianRecordCount)
        return meridianDifferentiationBlock(texts, key, result.meridianState(key));
    return {};
}

namespace {

// A meridian block built with the grades of the result; keys that are no meridian give nothing.
template <typename Block>
QString meridianBlock(const ReferenceTexts &texts, const AnalysisResult &result, int m, Block block) {
    if (m < 1 || m > MeridianRecordCount)
        return {};
    return block(texts, m, result.meridianState(m));
}

} // namespace

QString ryodorakuBlock(const ReferenceTexts &texts, const AnalysisResult &result, int m) {
    return meridianBlock(texts, result, m,
                         qOverload<const ReferenceTexts &, int, MeridianState>(&ryodorakuBlock));
}

QString dietBlock(const ReferenceTexts &texts, const AnalysisResult &result, int m) {
    return meridianBlock(texts, result, m, qOverload<const ReferenceTexts &, int, MeridianState>(&dietBlock));
}

QString prescriptionBlock(const ReferenceTexts &texts, const AnalysisResult &result, int m) {
    return meridianBlock(texts, result, m,
                         qOverload<const ReferenceTexts &, int, MeridianState>(&prescriptionBlock));
}

MeridianExplanation meridianExplanation(const ReferenceTexts &texts, int m) {
    MeridianExplanation e;
    const std::array<C, 5> attributes{C::DtEA1, C::DtEA2, C::DtEA3, C::DtEA4, C::DtEA5};
    for (std::size_t i = 0; i < attributes.size(); ++i)
        e.attributes[i] = texts.text(m, attributes[i]);
    const std::array<C, 3> points{C::DtPot1, C::DtPot2, C::DtPot3};
    for (std::size_t i = 0; i < points.size(); ++i)
        e.points[i] = texts.text(m, points[i]);
    e.mainText = texts.text(m, C::DtMA1);
    e.excessText = texts.text(m, C::DtMH1);
    e.deficiencyText = texts.text(m, C::DtML1);
    e.ryodorakuExcess = texts.text(m, C::DtMH5);
    e.ryodorakuDeficiency = texts.text(m, C::DtML5);
    e.prescriptionExcess = withBlank(texts.text(m, C::DtMH3), texts.text(m, C::DtMH2));
    e.prescriptionDeficiency = withBlank(texts.text(m, C::DtML3), texts.text(m, C::DtML2));
    e.dietExcess = withBlank(texts.text(m, C::DtMA3), texts.text(m, C::DtMH4));
    e.dietDeficiency = texts.text(m, C::DtML4);
    e.picture = texts.picture(m);
    return e;
}

} // namespace orlu
