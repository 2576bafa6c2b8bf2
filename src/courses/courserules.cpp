#include "courses/courserules.h"

#include "analysis/analysis.h"
#include "core/daycount.h"

#include <cmath>

namespace orlu {

namespace {

// Left and right channel of the meridian tested at positions 6..17.
constexpr std::array<std::array<int, 2>, 12> MeridianChannels{{
    {1, 7},   // 6 LU
    {6, 12},  // 7 LI
    {2, 8},   // 8 PC
    {5, 11},  // 9 SJ
    {3, 9},   // 10 HT
    {4, 10},  // 11 SI
    {13, 19}, // 12 SP
    {18, 24}, // 13 ST
    {14, 20}, // 14 LR
    {17, 23}, // 15 GB
    {15, 21}, // 16 KI
    {16, 22}, // 17 BL
}};

constexpr int FirstMeridianPosition = 6;
constexpr int FirstElementPosition = 18;

// Positions 1..5 with a signed verdict. `reversed` is the metabolism row, where
// "减弱" (code 1) is a positive verdict.
bool verdictHolds(const std::optional<int> &verdict, int code, bool must, bool twoSided, bool reversed) {
    if (!verdict)
        return false;
    const int v = *verdict;
    switch (code) {
    case 0:
        return must && v == 0;
    case 1:
        if (!twoSided)
            return v != 0;
        return reversed ? v > 0 : v < 0;
    case 2:
        if (!twoSided)
            return v != 0;
        return reversed ? v < 0 : v > 0;
    case 3:
        return v != 0;
    default:
        return false;
    }
}

bool bodyEnergyHolds(const MatchInputs &in, int code, bool must, double threshold) {
    // The threshold codes compare the whole part of A, cut toward zero.
    const double whole = std::trunc(in.bodyEnergy);
    switch (code) {
    case 4:
        return whole == threshold;
    case 5:
        return whole > threshold;
    case 6:
        return whole < threshold;
    default:
        return verdictHolds(in.verdicts[0], code, must, true, false);
    }
}

bool meridianHolds(int left, int right, int code, bool must) {
    switch (code) {
    case 0:
        return must && left == 0 && right == 0;
    case 1:
        return left < 0 && right < 0;
    case 2:
        return left > 0 && right > 0;
    case 3:
        return left != 0 || right != 0;
    default:
        return false;
    }
}

bool gradeHolds(int grade, int code, bool must) {
    switch (code) {
    case 0:
        return must && grade == 0;
    case 1:
        return grade < 0;
    case 2:
        return grade > 0;
    case 3:
        return grade != 0;
    default:
        return false;
    }
}

bool ageHolds(const MatchRule &rule, int age, int code) {
    switch (code) {
    case 1:
        return age >= rule.ageLow;
    case 2:
        return age <= rule.ageHigh;
    case 3:
        return rule.ageLow <= age && age <= rule.ageHigh;
    default:
        return false;
    }
}

bool sexHolds(bool male, int code) {
    return (code == 1 && male) || (code == 2 && !male);
}

} // namespace

MatchInputs matchInputs(const AnalysisResult &analysis, double birthDate, const QDate &today) {
    MatchInputs in;
    in.bodyEnergy = analysis.bodyEnergy;
    for (int i = 0; i < 5; ++i)
        in.verdicts[i] = analysis.states[i].code;
    in.channelGrades = analysis.channelGrades;
    for (int e = 0; e < ElementCount; ++e)
        in.elementGrades[e] = analysis.elements[e].grade;
    in.age = ageInYears(birthDate, today);
    in.male = analysis.male;
    return in;
}

namespace {

// Calls f(index, unit) for each of the first `count` characters of the text; a
// surrogate pair is one character, passed as its first unit (never a digit).
template <typename Text, typename F> void forCharacters(const Text &text, int count, F f) {
    qsizetype i = 0;
    for (int index = 0; index < count && i < text.size(); ++index) {
        const char16_t unit = text.at(i++).unicode();
        if (QChar::isHighSurrogate(unit) && i < text.size() && QChar::isLowSurrogate(text.at(i).unicode()))
            ++i;
        f(index, unit);
    }
}

template <typename Text> std::array<int, 24> codesOf(const Text &text) {
    std::array<int, 24> codes{};
    forCharacters(text, ConditionPositions, [&](int i, char16_t ch) {
        if (ch >= u'0' && ch <= u'9')
            codes[i] = ch - u'0';
    });
    return codes;
}

template <typename Text> std::array<bool, 24> mustFlagsOf(const Text &text) {
    std::array<bool, 24> flags{};
    forCharacters(text, FlaggedPositions, [&](int i, char16_t ch) { flags[i] = ch == u'1'; });
    return flags;
}

} // namespace

std::array<int, 24> readCodes(const QString &text) {
    return codesOf(text);
}

std::array<int, 24> readCodes(QLatin1StringView text) {
    return codesOf(text);
}

std::array<bool, 24> readMustFlags(const QString &text) {
    return mustFlagsOf(text);
}

std::array<bool, 24> readMustFlags(QLatin1StringView text) {
    return mustFlagsOf(text);
}

bool positionHolds(int position, int code, bool must, const MatchRule &rule, const MatchInputs &in) {
    if (position == 1)
        return bodyEnergyHolds(in, code, must, rule.energy);
    if (position <= 5) {
        // Spirit and metabolism tell the two directions apart; the others only "abnormal".
        const bool twoSided = position == 2 || position == 4;
        return verdictHolds(in.verdicts[position - 1], code, must, twoSided, position == 4);
    }
    if (position < FirstElementPosition) {
        const auto &ch = MeridianChannels[position - FirstMeridianPosition];
        return meridianHolds(in.channelGrades[ch[0] - 1], in.channelGrades[ch[1] - 1], code, must);
    }
    if (position <= FlaggedPositions)
        return gradeHolds(in.elementGrades[position - FirstElementPosition], code, must);
    if (position == AgePosition)
        return ageHolds(rule, in.age, code);
    if (position == SexPosition)
        return sexHolds(in.male, code);
    return false;
}

MatchRule matchRule(const ConditionRule &rule) {
    MatchRule r;
    r.codes = readCodes(rule.cond);
    r.must = readMustFlags(rule.must);
    r.energy = rule.energy;
    r.ageLow = rule.ageLow;
    r.ageHigh = rule.ageHigh;
    r.required = rule.required;
    return r;
}

bool conditionHolds(const ConditionRule &rule, const MatchInputs &in) {
    return conditionHolds(matchRule(rule), in);
}

bool conditionHolds(const MatchRule &rule, const MatchInputs &in) {
    bool hit = false;
    for (int p = 1; p <= ConditionPositions; ++p) {
        const int code = rule.codes[p - 1];
        const bool must = p <= FlaggedPositions ? rule.must[p - 1] : code != 0;
        // A subject born this year has no usable age.
        if (p == AgePosition && in.age == 0)
            continue;
        const bool holds = positionHolds(p, code, must, rule, in);
        if (must && !holds)
            return false;
        hit = hit || holds;
    }
    return hit;
}

bool courseApplies(const QList<MatchRule> &conditions, const MatchInputs &in) {
    bool applies = false;
    for (const MatchRule &c : conditions) {
        const bool holds = conditionHolds(c, in);
        if (c.required && !holds)
            return false;
        applies = applies || holds;
    }
    return applies;
}

QStringList matchingCourses(const QList<CourseRules> &courses, const MatchInputs &in) {
    QStringList names;
    for (const CourseRules &course : courses) {
        if (courseApplies(course.conditions, in))
            names << course.name;
    }
    return names;
}

} // namespace orlu
