#pragma once

#include <QList>
#include <QString>

#include <array>
#include <optional>

// The analysis of one measurement: sums, body energy, bands, grades, ratios,
// verdicts, pair balance and the lists of abnormal meridians. Everything is
// derived from the 24 corrected values and the subject's sex by analyse(); the
// result is plain data that the analysis window, the charts, the printed report
// and the course matching read.
//
// Indexing: arrays hold channel c (1..24) at [c - 1], meridian m (1..12) at
// [m - 1] and group k (1..8) at [k - 1]; the accessor functions take the
// one-based numbers.
namespace orlu {

struct Rgb {
    int red = 0;
    int green = 0;
    int blue = 0;
    friend bool operator==(const Rgb &, const Rgb &) = default;
};

namespace colours {
inline constexpr Rgb Green{0, 128, 0};
inline constexpr Rgb Yellow{255, 255, 0};
inline constexpr Rgb Red{255, 0, 0};
// An indicator whose ratio is undefined has no verdict; its gauge is shown grey.
inline constexpr Rgb Grey{128, 128, 128};
} // namespace colours

// Band scale and the four limits derived from an energy level.
struct BandLimits {
    double scale = 1.0; // S = (A - 10) x 0.0084375 + 0.6625
    double u1 = 11.5;   // excess limit 1 = 11.5 S
    double u2 = 21.0;   // excess limit 2 = 21 S
    double d1 = 10.5;   // deficiency limit 1 = 10.5 S
    double d2 = 20.0;   // deficiency limit 2 = 20 S
};
BandLimits bandLimits(double energy);

// Grade -2..+2 of a deviation from the body energy; a value exactly on a limit
// takes the milder grade.
int gradeOf(double deviation, const BandLimits &limits);

// State items, in display order; the value is also the key of the item's
// reference text record.
enum class StateItem : int {
    BodyEnergy = 13,
    Spirit = 14,
    Musculoskeletal = 15,
    Metabolism = 16,
    Autonomic = 17,
};
inline constexpr int StateItemCount = 5;
inline constexpr int FirstStateKey = 13;
inline constexpr int stateIndex(StateItem item) {
    return static_cast<int>(item) - FirstStateKey;
}

// One of the five state indicators with its verdict and display texts.
struct StateIndicator {
    StateItem item = StateItem::BodyEnergy;
    // Body energy A, or the ratio; empty when the ratio's divisor is 0.
    std::optional<double> value;
    // Ratio parts (upper/lower, left/right, yin/yang, highest/lowest group);
    // for body energy the numerator is A and the denominator 1.
    double numerator = 0.0;
    double denominator = 1.0;
    // -3..+3 (autonomic 0..3); empty when the value is undefined.
    std::optional<int> code;
    QString verdictText; // empty when undefined
    Rgb colour = colours::Green;
    QString normalRange;      // "(28 - 59)", "(0.88-1.15)", ...
    QString caption;          // list caption, "   身体能量状况"
    QString sumText;          // "上  123.4 / 下  234.5 ="; "12经络平均能量=" for body energy
    QString valueText;        // "%5.2f" (body energy) or "%5.3f" (ratios); empty when undefined
    std::optional<int> gauge; // A, or 10 x ratio, rounded half to even; empty when undefined
};

// Five elements in the order of the generating cycle.
enum class Element : int { Wood = 0, Fire = 1, Earth = 2, Metal = 3, Water = 4 };
inline constexpr int ElementCount = 5;

struct ElementIndicator {
    Element element = Element::Wood;
    double mean = 0.0;
    double distance = 0.0; // mean - A
    int grade = 0;
    Rgb colour = colours::Green; // green at 0, yellow at +-1, red at +-2
    QString meanText;            // "%3.1f"
    QString distanceText;        // "[" "%3.1f" "]"
    int gauge = 0;               // the mean, rounded half to even
};

// One interior-exterior pair.
struct PairBalance {
    int yinMeridian = 1;
    int yangMeridian = 6;
    double yinMean = 0.0;
    double yangMean = 0.0;
    double difference = 0.0; // |M[yin] - M[yang]|
    int code = 0;            // 0 正常, 1 尚可 (>= 22 S), 2 表里不平衡 (>= 41 S)
    QString text;
    Rgb colour = colours::Green;
    QString differenceText; // "#" "%5.1f"; the difference is not limited here
    QString yinMeanText;    // "%5.1f"
    QString yangMeanText;   // "%5.1f"
    int gauge = 0;          // the difference limited to 100, rounded half to even
};
inline constexpr int PairCount = 6;

// A row of one of the three lists; key is the meridian 1..12 or a state item 13..17.
struct ListRow {
    QString caption;
    int key = 0;
    friend bool operator==(const ListRow &, const ListRow &) = default;
};

// Grade pattern of a meridian's two channels.
enum class MeridianState {
    Normal,     // at least one channel graded 0
    Mixed,      // both non-zero, opposite signs
    Excess,     // both above 0
    Deficiency, // both below 0
};

struct AnalysisResult {
    bool male = true;
    QString sexLabel;               // "男  性" or "女  性"
    Rgb sexColour = colours::Green; // green for male, red for female

    std::array<double, 24> corrected{};
    std::array<double, 8> groups{}; // G1..G8
    double yinSum = 0.0;
    double yangSum = 0.0;
    double upperSum = 0.0;
    double lowerSum = 0.0;
    double leftSum = 0.0;
    double rightSum = 0.0;
    double bodyEnergy = 0.0; // A
    BandLimits bands;
    std::array<double, 24> deviations{};
    std::array<int, 24> channelGrades{};
    std::array<double, 12> meridianMeans{};
    std::array<ElementIndicator, 5> elements{}; // wood, fire, earth, metal, water
    double highestGroup = 0.0;
    double lowestGroup = 0.0; // 1.0 when the smallest group is 0

    // Body energy, spirit, musculoskeletal, metabolism, autonomic.
    std::array<StateIndicator, 5> states{};
    // LU-LI, PC-SJ, HT-SI, SP-ST, LR-GB, KI-BL.
    std::array<PairBalance, 6> pairs{};

    QList<ListRow> differentiationList;
    QList<ListRow> dietList;
    QList<ListRow> prescriptionList;

    double w(int c) const { return corrected[c - 1]; }
    double group(int k) const { return groups[k - 1]; }
    double deviation(int c) const { return deviations[c - 1]; }
    int grade(int c) const { return channelGrades[c - 1]; }
    double meridianMean(int m) const { return meridianMeans[m - 1]; }
    const ElementIndicator &element(Element e) const { return elements[static_cast<int>(e)]; }
    const StateIndicator &state(StateItem item) const { return states[stateIndex(item)]; }
    // The verdict code of a state item, empty when its ratio is undefined.
    std::optional<int> verdict(StateItem item) const { return state(item).code; }
    // Grades of the left and right channel of meridian m.
    int leftGrade(int m) const;
    int rightGrade(int m) const;
    MeridianState meridianState(int m) const;
};

// The 24 channels with the left and right channel of each meridian side by
// side, meridians in standard order.
inline constexpr std::array<int, 24> PairedChannelOrder{1,  7,  2,  8,  3,  9,  4,  10, 5,  11, 6,  12,
                                                        13, 19, 14, 20, 15, 21, 16, 22, 17, 23, 18, 24};

// Whether the result carries its display texts (captions, formatted values, verdict and
// pair texts) and the three lists. Without them the numbers, codes and colours are the
// same; exporting a large register needs only those.
enum class AnalysisTexts { Included, Omitted };

// Pure: no database or screen access.
AnalysisResult analyse(const std::array<double, 24> &corrected, bool male,
                       AnalysisTexts texts = AnalysisTexts::Included);

// Corrected values of 24 plain readings (each times its meridian's factor).
std::array<double, 24> correctedValues(const std::array<double, 24> &readings);

// Verdicts on their own, for displays that judge a value without a whole analysis.
int bodyEnergyCode(double energy, bool male);
int spiritCode(double ratio, bool male);
int musculoskeletalCode(double ratio);
int metabolismCode(double ratio);
int autonomicCode(double ratio);
int pairCode(double difference, const BandLimits &limits);
QString verdictText(StateItem item, int code);
// Where an indicator's verdict is 0: low <= value < high (autonomic: value <= high; its
// ratio is at least 1, so low is 1).
struct NormalBand {
    double low = 0.0;
    double high = 0.0;
};
NormalBand normalBand(StateItem item, bool male);
QString normalRangeLabel(StateItem item, bool male);
QString pairText(int code);
Rgb stateColour(StateItem item, int code);
Rgb pairColour(int code);
Rgb gradeColour(int grade);
QString stateCaption(StateItem item);

// Short meridian name without blanks, "肺经" ... "胃经".
QString meridianShortName(int m);
// "【肺经异常辩证】", "【肺经异常食疗】", "【肺经异常】"
QString differentiationCaption(int m);
QString dietCaption(int m);
QString prescriptionCaption(int m);

// Shown after state item 13's text when the body energy verdict is -3.
QString lowEnergyLine();

} // namespace orlu
