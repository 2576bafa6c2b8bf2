#include "dataexport/fhirconcepts.h"

namespace orlu::fhir {

using namespace Qt::StringLiterals;

namespace {

constexpr std::array<const char *, StateItemCount> ItemCodes{"body-energy", "spirit", "musculoskeletal",
                                                             "metabolism", "autonomic"};

std::string utf8(const QString &text) {
    return text.toStdString();
}

std::string channelCode(int c) {
    return std::string(meridian(meridianOfChannel(c)).code) + (sideOfChannel(c) == Side::Left ? "-L" : "-R");
}

// "手太阴肺经 (左)".
std::string channelDisplay(int c) {
    return utf8(meridianFullCaption(meridianOfChannel(c), NameSpacing::Tight).remove(u' ') +
                (sideOfChannel(c) == Side::Left ? u" (左)"_s : u" (右)"_s));
}

std::string itemName(std::size_t item) {
    return utf8(stateCaption(VerdictItems[item]).trimmed());
}

// Verdict codes run from -3 to 3, the autonomic balance's from 0 to 3.
constexpr int LowestVerdict = -3;
constexpr int VerdictCodes = 7;

const std::vector<Concept> &verdictConcepts() {
    static const std::vector<Concept> concepts = [] {
        std::vector<Concept> list;
        for (std::size_t item = 0; item < VerdictItems.size(); ++item) {
            for (int code = LowestVerdict; code < LowestVerdict + VerdictCodes; ++code) {
                const QString text = verdictText(VerdictItems[item], code);
                list.push_back({text.isEmpty() ? std::string()
                                               : std::string(ItemCodes[item]) + '/' + std::to_string(code),
                                utf8(text)});
            }
        }
        return list;
    }();
    return concepts;
}

} // namespace

const Concept &measurementConcept() {
    static const Concept c{"meridian-energy", utf8(u"经络能量检测: 24 个原穴的皮肤电流"_s)};
    return c;
}

const Concept &potentialConcept(bool high) {
    static const Concept highPotential{"potential-high", utf8(u"高电位测量"_s)};
    static const Concept standardPotential{"potential-standard", utf8(u"标准电位测量"_s)};
    return high ? highPotential : standardPotential;
}

const std::vector<Concept> &componentConcepts() {
    static const std::vector<Concept> concepts = [] {
        std::vector<Concept> list;
        for (int c = 1; c <= ChannelCount; ++c)
            list.push_back({"reading-" + channelCode(c), utf8(u"原始读数 "_s) + channelDisplay(c)});
        for (int c = 1; c <= ChannelCount; ++c)
            list.push_back({"corrected-" + channelCode(c), utf8(u"校正值 "_s) + channelDisplay(c)});
        list.push_back({"body-energy", utf8(u"身体能量 (校正值的平均值)"_s)});
        for (std::size_t i = 1; i < ItemCodes.size(); ++i)
            list.push_back({std::string("ratio-") + ItemCodes[i], utf8(u"比值: "_s) + itemName(i)});
        for (std::size_t i = 0; i < ItemCodes.size(); ++i)
            list.push_back({std::string("verdict-") + ItemCodes[i], utf8(u"判定: "_s) + itemName(i)});
        return list;
    }();
    return concepts;
}

const Concept *verdictConcept(std::size_t item, int code) {
    if (item >= VerdictItems.size() || code < LowestVerdict || code >= LowestVerdict + VerdictCodes)
        return nullptr;
    const Concept &c =
        verdictConcepts()[item * VerdictCodes + static_cast<std::size_t>(code - LowestVerdict)];
    return c.code.empty() ? nullptr : &c;
}

const Concept &sensitivityConcept() {
    static const Concept c{"calibration-sensitivity", utf8(u"校准灵敏度: 标准电位下每 μA 的读数单位"_s)};
    return c;
}

const Concept &skinCurrentConcept() {
    static const Concept c{"skin-current", utf8(u"皮肤电流"_s)};
    return c;
}

std::vector<Concept> codeSystemConcepts() {
    std::vector<Concept> list{measurementConcept(), potentialConcept(true), potentialConcept(false),
                              sensitivityConcept(), skinCurrentConcept()};
    list.insert(list.end(), componentConcepts().begin(), componentConcepts().end());
    for (const Concept &c : verdictConcepts()) {
        if (!c.code.empty())
            list.push_back(c);
    }
    return list;
}

const Concept &examCategory() {
    static const Concept c{"exam", "Exam"};
    return c;
}

const Concept &absentReason(Absence why) {
    static const std::array<Concept, 3> reasons{Concept{"not-performed", "Not Performed"},
                                                Concept{"not-applicable", "Not Applicable"},
                                                Concept{"not-a-number", "Not a Number (NaN)"}};
    return reasons[static_cast<std::size_t>(why)];
}

const Concept &interpretationOf(int verdictCode) {
    static const std::array<Concept, 3> interpretations{Concept{"L", "Low"}, Concept{"N", "Normal"},
                                                        Concept{"H", "High"}};
    return interpretations[verdictCode < 0 ? 0 : verdictCode == 0 ? 1 : 2];
}

} // namespace orlu::fhir
