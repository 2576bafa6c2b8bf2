#include "analysis/analysis.h"
#include "core/channels.h"

#include <cmath>

using namespace Qt::StringLiterals;

// Verdict bands, texts, colours and labels of the five state indicators and
// the interior-exterior pairs.
namespace orlu {

namespace {

// Seven-band verdicts: code -3 below lower[0], code k - 2 in [lower[k], lower[k + 1]),
// +3 from lower[5] on. The lower bound of each band belongs to the band.
int sevenBandCode(double value, const std::array<double, 6> &lower) {
    int code = -3;
    for (double bound : lower) {
        if (value >= bound)
            ++code;
    }
    return code;
}

constexpr std::array<double, 6> MaleEnergyBands{19, 26, 28, 60, 62, 68};
constexpr std::array<double, 6> FemaleEnergyBands{18, 24, 26, 59, 61, 67};
constexpr std::array<double, 6> MaleSpiritBands{0.63, 0.83, 0.88, 1.16, 1.31, 1.41};
constexpr std::array<double, 6> FemaleSpiritBands{0.53, 0.73, 0.78, 1.06, 1.2, 1.29};
// Metabolism and musculoskeletal share their bands.
constexpr std::array<double, 6> BalanceBands{0.4, 0.7, 0.8, 1.2, 1.3, 1.6};

// Texts of codes -3..+3, index code + 3.
using SevenTexts = std::array<const char16_t *, 7>;

constexpr SevenTexts BodyEnergyTexts{
    u"体能状况低落,元气不足",       u"体能精气状态稍弱",
    u"体能元气状态偏虚,但仍属正常", u"体能及元气状态正常",
    u"体能状态偏旺,但仍在正常范围", u"体能状态略有亢奋现象",
    u"体能状态亢奋,活动力旺盛",
};
constexpr SevenTexts SpiritTexts{
    u"下焦气血旺盛,有明显精神衰弱倾向", u"上焦气血不足,有中度精神衰弱倾向", u"上焦气血偏虚,精神活动力略降",
    u"上下焦气血平衡,精神活动力正常",   u"上焦气血略旺,有轻微精神压力倾向", u"上盛下衰,有中度精神压力倾向",
    u"上焦气血旺盛,有明显精神压力倾向",
};
constexpr SevenTexts MusculoskeletalTexts{
    u"左侧气血衰弱,肌肉骨骼系统有明显运作不良", u"右侧气血旺盛,肌骨系统运作失调",
    u"右侧气血略旺,肌骨系统运作稍微失衡",       u"左右气血平衡,肌肉骨骼系统运作正常",
    u"左右稍微失衡,肌骨系统稍有障碍",           u"左盛右衰,肌骨系统功能障碍",
    u"右侧气血衰弱,肌肉骨骼系统运作有明显障碍",
};
constexpr SevenTexts MetabolismTexts{
    u"阳腑盛于阴脏,机体代谢功能异常增加", u"阳盛于阴,机体代谢功能增加", u"阳盛于阴,机体代谢稍快",
    u"阴阳平衡,机体代谢功能正常",         u"阴盛于阳,机体代谢稍低",     u"阴盛于阳,机体代谢功能降低",
    u"阴脏盛于阳腑,机体代谢功能异常不足",
};
constexpr std::array<const char16_t *, 4> AutonomicTexts{
    u"全身自律神经系统功能正常",
    u"自律神经系统有轻微失衡现象",
    u"自律神经系统有中度失衡倾象",
    u"有明显自律神经系统失衡倾象",
};

} // namespace

BandLimits bandLimits(double energy) {
    BandLimits b;
    b.scale = (energy - 10.0) * 0.0084375 + 0.6625;
    b.u1 = 11.5 * b.scale;
    b.u2 = 21.0 * b.scale;
    b.d1 = 10.5 * b.scale;
    b.d2 = 20.0 * b.scale;
    return b;
}

int gradeOf(double deviation, const BandLimits &limits) {
    if (deviation >= 0.0) {
        if (deviation <= limits.u1)
            return 0;
        return deviation <= limits.u2 ? 1 : 2;
    }
    const double e = -deviation;
    if (e <= limits.d1)
        return 0;
    return e <= limits.d2 ? -1 : -2;
}

int bodyEnergyCode(double energy, bool male) {
    return sevenBandCode(energy, male ? MaleEnergyBands : FemaleEnergyBands);
}

int spiritCode(double ratio, bool male) {
    return sevenBandCode(ratio, male ? MaleSpiritBands : FemaleSpiritBands);
}

int musculoskeletalCode(double ratio) {
    return sevenBandCode(ratio, BalanceBands);
}

int metabolismCode(double ratio) {
    return sevenBandCode(ratio, BalanceBands);
}

int autonomicCode(double ratio) {
    // Here the upper bound belongs to the band.
    if (ratio <= 1.5)
        return 0;
    if (ratio <= 1.8)
        return 1;
    return ratio <= 2.1 ? 2 : 3;
}

NormalBand normalBand(StateItem item, bool male) {
    // Code 0 lies between the third and the fourth lower bound.
    const auto band = [](const std::array<double, 6> &lower) { return NormalBand{lower[2], lower[3]}; };
    switch (item) {
    case StateItem::BodyEnergy:
        return band(male ? MaleEnergyBands : FemaleEnergyBands);
    case StateItem::Spirit:
        return band(male ? MaleSpiritBands : FemaleSpiritBands);
    case StateItem::Musculoskeletal:
    case StateItem::Metabolism:
        return band(BalanceBands);
    case StateItem::Autonomic:
        break;
    }
    return {1.0, 1.5};
}

int pairCode(double difference, const BandLimits &limits) {
    if (difference >= limits.u2 + limits.d2)
        return 2;
    return difference >= limits.u1 + limits.d1 ? 1 : 0;
}

QString verdictText(StateItem item, int code) {
    if (item == StateItem::Autonomic)
        return code >= 0 && code <= 3 ? QString::fromUtf16(AutonomicTexts[code]) : QString();
    if (code < -3 || code > 3)
        return {};
    const int i = code + 3;
    switch (item) {
    case StateItem::BodyEnergy:
        return QString::fromUtf16(BodyEnergyTexts[i]);
    case StateItem::Spirit:
        return QString::fromUtf16(SpiritTexts[i]);
    case StateItem::Musculoskeletal:
        return QString::fromUtf16(MusculoskeletalTexts[i]);
    case StateItem::Metabolism:
        return QString::fromUtf16(MetabolismTexts[i]);
    case StateItem::Autonomic:
        break;
    }
    return {};
}

QString normalRangeLabel(StateItem item, bool male) {
    switch (item) {
    case StateItem::BodyEnergy:
        return male ? u"(28 - 59)"_s : u"(26 - 58)"_s;
    case StateItem::Spirit:
        return male ? u"(0.88-1.15)"_s : u"(0.78-1.05)"_s;
    case StateItem::Musculoskeletal:
    case StateItem::Metabolism:
        return u"(0.8-1.1)"_s;
    case StateItem::Autonomic:
        return u"(1.0-1.5)"_s;
    }
    return {};
}

QString pairText(int code) {
    switch (code) {
    case 1:
        return u"尚可"_s;
    case 2:
        return u"表里不平衡"_s;
    default:
        return u"正常"_s;
    }
}

Rgb stateColour(StateItem item, int code) {
    if (code == 0)
        return colours::Green;
    const bool extreme = item == StateItem::Autonomic ? code >= 3 : std::abs(code) >= 3;
    return extreme ? colours::Red : colours::Yellow;
}

Rgb pairColour(int code) {
    if (code <= 0)
        return colours::Green;
    return code == 1 ? colours::Yellow : colours::Red;
}

Rgb gradeColour(int grade) {
    if (grade == 0)
        return colours::Green;
    return std::abs(grade) == 1 ? colours::Yellow : colours::Red;
}

QString stateCaption(StateItem item) {
    switch (item) {
    case StateItem::BodyEnergy:
        return u"   身体能量状况"_s;
    case StateItem::Spirit:
        return u"   精神压力状态"_s;
    case StateItem::Musculoskeletal:
        return u"   肌肉骨骼系统"_s;
    case StateItem::Metabolism:
        return u"   机体新陈代谢"_s;
    case StateItem::Autonomic:
        return u"   自律神经功能"_s;
    }
    return {};
}

QString meridianShortName(int m) {
    if (m < 1 || m > 12)
        return {};
    return meridianCaption(m, NameSpacing::Tight);
}

QString differentiationCaption(int m) {
    return u"【"_s + meridianShortName(m) + u"异常辩证】"_s;
}

QString dietCaption(int m) {
    return u"【"_s + meridianShortName(m) + u"异常食疗】"_s;
}

QString prescriptionCaption(int m) {
    return u"【"_s + meridianShortName(m) + u"异常】"_s;
}

QString lowEnergyLine() {
    return u"【您的体能过度低落，请特别留意身体机能及经络的异常状态】"_s;
}

} // namespace orlu
