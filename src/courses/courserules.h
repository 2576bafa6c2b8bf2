#pragma once

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>

// Rule conditions of the expert courses and their evaluation against one
// analysed measurement. Pure functions: the caller reads the tables and builds
// the inputs.
namespace orlu {

struct AnalysisResult;

inline constexpr int ConditionPositions = 24;
// Positions 1..22 carry a must flag of their own; 23 (age) and 24 (sex) act as
// must positions whenever their code is not 0.
inline constexpr int FlaggedPositions = 22;
inline constexpr int AgePosition = 23;
inline constexpr int SexPosition = 24;

// The quantities a condition is tested against.
struct MatchInputs {
    double bodyEnergy = 0.0; // A
    // Body energy, spirit, musculoskeletal, metabolism (-3..+3) and autonomic
    // (0..3); empty when the ratio behind it is undefined.
    std::array<std::optional<int>, 5> verdicts{0, 0, 0, 0, 0};
    std::array<int, 24> channelGrades{}; // channel c at [c - 1]
    std::array<int, 5> elementGrades{};  // wood, fire, earth, metal, water
    int age = 0;                         // current year minus birth year
    bool male = true;
};

// Inputs from an analysis and the subject's birth date (a day count; 0 counts
// as 1899, the day-4000 rule of the record lists does not apply here).
MatchInputs matchInputs(const AnalysisResult &analysis, double birthDate, const QDate &today);

// The rule columns of one KYPRDT row.
struct ConditionRule {
    QString cond;          // ProCond
    QString must;          // ProAnd
    double energy = 0.0;   // ProEng
    int ageLow = 0;        // ProAGL
    int ageHigh = 0;       // ProAGH
    bool required = false; // ProFlg
};

// The codes of the 24 positions: a missing character, a blank or anything but
// an ASCII digit reads as 0; characters after the 24th are ignored. A character
// outside the basic plane (two UTF-16 units) is one position.
std::array<int, 24> readCodes(const QString &text);
std::array<int, 24> readCodes(QLatin1StringView text);
// Must flags of positions 1..22 ("1" only); [22] and [23] are always false.
std::array<bool, 24> readMustFlags(const QString &text);
std::array<bool, 24> readMustFlags(QLatin1StringView text);

// A condition as matching evaluates it: both rule strings read once into their
// codes and must flags, with the threshold, the age bounds and the required flag.
struct MatchRule {
    std::array<int, 24> codes{};
    std::array<bool, 24> must{};
    double energy = 0.0;
    int ageLow = 0;
    int ageHigh = 0;
    bool required = false;
};

MatchRule matchRule(const ConditionRule &rule);

// The test of one position (1..24) for one code. A code of 0 holds only at a
// must position of 1..22, when the quantity is normal; unlisted codes and
// undefined verdicts never hold. `rule` gives the threshold and age bounds.
bool positionHolds(int position, int code, bool must, const MatchRule &rule, const MatchInputs &in);

// Every must position holds and at least one position holds.
bool conditionHolds(const MatchRule &rule, const MatchInputs &in);
bool conditionHolds(const ConditionRule &rule, const MatchInputs &in);

// No required condition fails and at least one condition holds; a course
// without conditions never applies.
bool courseApplies(const QList<MatchRule> &conditions, const MatchInputs &in);

struct CourseRules {
    QString proNo;
    QString name;
    QList<MatchRule> conditions; // in the order of the condition table
};

// Names of the applying courses in the given order; duplicates are kept.
QStringList matchingCourses(const QList<CourseRules> &courses, const MatchInputs &in);

} // namespace orlu
