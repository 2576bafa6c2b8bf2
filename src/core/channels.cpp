#include "core/channels.h"

#include <QtGlobal>

namespace orlu {

using namespace Qt::StringLiterals;

namespace {

using enum Limb;
using enum OrganType;
using enum ElementGroup;

const std::array<Meridian, MeridianCount> &meridianTable() {
    static const std::array<Meridian, MeridianCount> table{{
        {"LU", u"肺  经"_s, u"手太阴 肺  经"_s, u"Lung Meridian(LU)"_s, u"太渊 LU9"_s, Hand, Yin, Metal, 6,
         0.8541},
        {"PC", u"心包经"_s, u"手厥阴 心包经"_s, u"Pericardium Meridian(PC)"_s, u"大陵 PC7"_s, Hand, Yin,
         MinisterFire, 5, 0.9318},
        {"HT", u"心  经"_s, u"手少阴 心  经"_s, u"Heart Meridian(HT)"_s, u"神门 HT7"_s, Hand, Yin,
         SovereignFire, 4, 1.1081},
        {"SI", u"小肠经"_s, u"手太阳 小肠经"_s, u"Small Intestine Meridian(SI)"_s, u"腕骨 SI4"_s, Hand, Yang,
         SovereignFire, 3, 0.9318},
        {"SJ", u"三焦经"_s, u"手少阳 三焦经"_s, u"Sanjiao Meridian(SJ)"_s, u"阳池 SJ4"_s, Hand, Yang,
         MinisterFire, 2, 0.8039},
        {"LI", u"大肠经"_s, u"手阳明 大肠经"_s, u"Large Intestine Meridian(LI)"_s, u"阳溪 LI5"_s, Hand, Yang,
         Metal, 1, 0.8039},
        {"SP", u"脾  经"_s, u"足太阴 脾  经"_s, u"Spleen Meridian(SP)"_s, u"太白 SP3"_s, Foot, Yin, Earth, 12,
         1.0},
        {"LR", u"肝  经"_s, u"足厥阴 肝  经"_s, u"Liver Meridian(LR)"_s, u"太冲 LR3"_s, Foot, Yin, Wood, 11,
         1.2424},
        {"KI", u"肾  经"_s, u"足少阴 肾  经"_s, u"Kidney Meridian(KI)"_s, u"大钟 KI4"_s, Foot, Yin, Water, 10,
         1.0},
        {"BL", u"膀胱经"_s, u"足太阳 膀胱经"_s, u"Bladder Meridian(BL)"_s, u"束骨 BL65"_s, Foot, Yang, Water,
         9, 1.0789},
        {"GB", u"胆  经"_s, u"足少阳 胆  经"_s, u"Gall Bladder Meridian(GB)"_s, u"丘墟 GB40"_s, Foot, Yang,
         Wood, 8, 1.2424},
        {"ST", u"胃  经"_s, u"足阳明 胃  经"_s, u"Stomach Meridian(ST)"_s, u"冲阳 ST42"_s, Foot, Yang, Earth,
         7, 1.1388},
    }};
    return table;
}

} // namespace

const Meridian &meridian(int m) {
    Q_ASSERT(m >= 1 && m <= MeridianCount);
    return meridianTable()[m - 1];
}

int meridianOfChannel(int c) {
    Q_ASSERT(c >= 1 && c <= ChannelCount);
    if (c <= 6)
        return c;
    if (c <= 18)
        return c - 6;
    return c - 12;
}

Side sideOfChannel(int c) {
    return ((c >= 1 && c <= 6) || (c >= 13 && c <= 18)) ? Side::Left : Side::Right;
}

Limb limbOfChannel(int c) {
    return c <= 12 ? Limb::Hand : Limb::Foot;
}

bool isYinChannel(int c) {
    return meridian(meridianOfChannel(c)).organ == OrganType::Yin;
}

int channelOf(int m, Side side) {
    Q_ASSERT(m >= 1 && m <= MeridianCount);
    if (m <= 6)
        return side == Side::Left ? m : m + 6;
    return side == Side::Left ? m + 6 : m + 12;
}

int positionInBlock(int c) {
    return (c - 1) % 6 + 1;
}

QString limbSideLabel(int c) {
    const bool left = sideOfChannel(c) == Side::Left;
    if (limbOfChannel(c) == Limb::Hand)
        return left ? u"左  手"_s : u"右  手"_s;
    return left ? u"左  脚"_s : u"右  脚"_s;
}

QString sideMeridianName(int c) {
    return (sideOfChannel(c) == Side::Left ? u"左"_s : u"右"_s) +
           meridianCaption(meridianOfChannel(c), NameSpacing::Tight);
}

QString meridianCaption(int m, NameSpacing spacing) {
    QString name = meridian(m).gridLabel;
    name.remove(u' ');
    if (name.size() == 3)
        return name;
    switch (spacing) {
    case NameSpacing::Tight:
        return name;
    case NameSpacing::TwoBlanks:
        return name.front() + u"  "_s + name.back();
    case NameSpacing::FourBlanks:
        return name.front() + u"    "_s + name.back();
    case NameSpacing::FullWidth:
        return name.front() + u"\u3000"_s + name.back();
    }
    return name;
}

QString meridianFullCaption(int m, NameSpacing spacing) {
    return meridian(m).fullName.section(u' ', 0, 0) + u' ' + meridianCaption(m, spacing);
}

QString bracketedElementLabel(ElementGroup g) {
    const QString label = elementLabel(g);
    return label.size() == 1 ? u"【 "_s + label + u" 】"_s : u"【"_s + label + u"】"_s;
}

QString elementLabel(ElementGroup g) {
    switch (g) {
    case Metal:
        return u"金"_s;
    case MinisterFire:
        return u"相火"_s;
    case SovereignFire:
        return u"君火"_s;
    case Earth:
        return u"土"_s;
    case Wood:
        return u"木"_s;
    case Water:
        return u"水"_s;
    }
    return {};
}

QString organTypeLabel(OrganType t) {
    return t == Yin ? u"阴脏"_s : u"阳腑"_s;
}

double correctionFactor(int c) {
    return meridian(meridianOfChannel(c)).correctionFactor;
}

double correctedValue(int c, double value) {
    return value * correctionFactor(c);
}

GridCell gridCellOfChannel(int c) {
    return {sideOfChannel(c) == Side::Left ? 1 : 2, meridianOfChannel(c)};
}

std::optional<int> channelOfGridCell(int row, int column) {
    if (column < 1 || column > 12)
        return std::nullopt;
    if (row == 1)
        return column <= 6 ? column : column + 6;
    if (row == 2)
        return column <= 6 ? column + 6 : column + 12;
    return std::nullopt;
}

QString gridRowLabel(int row) {
    return row == 1 ? u"左  侧"_s : u"右  侧"_s;
}

PointPictureStyle pointPictureStyleOf(int number) {
    return static_cast<PointPictureStyle>(qBound(1, number, 3));
}

QString pointPictureName(PointPictureStyle style, int c) {
    static const char styles[] = {'P', 'G', 'C'};
    const char s = styles[static_cast<int>(style) - 1];
    const QChar side = sideOfChannel(c) == Side::Left ? u'L' : u'R';
    const QChar limb = limbOfChannel(c) == Limb::Hand ? u'h' : u'f';
    return QChar::fromLatin1(s) + side + limb + QString::number(positionInBlock(c)) + u".bmp";
}

QString pointPictureStyleCaption(PointPictureStyle style) {
    switch (style) {
    case PointPictureStyle::Drawing:
        return u"图像"_s;
    case PointPictureStyle::Composite:
        return u"合成"_s;
    case PointPictureStyle::Photo:
        break;
    }
    return u"照片"_s;
}

const std::array<ElementColumn, 6> &generatingOrder() {
    static const std::array<ElementColumn, 6> order{{
        {8, 11, Wood},
        {3, 4, SovereignFire},
        {2, 5, MinisterFire},
        {7, 12, Earth},
        {1, 6, Metal},
        {9, 10, Water},
    }};
    return order;
}

const std::array<ElementColumn, 6> &controllingOrder() {
    static const std::array<ElementColumn, 6> order{{
        {1, 6, Metal},
        {8, 11, Wood},
        {7, 12, Earth},
        {9, 10, Water},
        {3, 4, SovereignFire},
        {2, 5, MinisterFire},
    }};
    return order;
}

const std::array<ElementColumn, 6> &standardOrderPairs() {
    static const std::array<ElementColumn, 6> order{{
        {1, 6, Metal},
        {2, 5, MinisterFire},
        {3, 4, SovereignFire},
        {7, 12, Earth},
        {8, 11, Wood},
        {9, 10, Water},
    }};
    return order;
}

} // namespace orlu
