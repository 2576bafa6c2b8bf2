#pragma once

#include <QString>

#include <array>
#include <optional>

// The 24 measuring channels and the 12 meridians they belong to.
// Channel c = 1..24 (left hand, right hand, left foot, right foot, six each);
// meridian m = 1..12 (six hand meridians, then six foot meridians).
namespace orlu {

constexpr int ChannelCount = 24;
constexpr int MeridianCount = 12;

enum class Side { Left, Right };
enum class Limb { Hand, Foot };
enum class OrganType { Yin, Yang };

// Six element groups; fire is split into sovereign and minister fire.
enum class ElementGroup { Metal, MinisterFire, SovereignFire, Earth, Wood, Water };

struct Meridian {
    const char *code;    // "LU"
    QString gridLabel;   // "肺  经": value grid header and chart label
    QString fullName;    // "手太阴 肺  经"
    QString englishName; // "Lung Meridian(LU)"
    QString sourcePoint; // "太渊 LU9"
    Limb limb;
    OrganType organ;
    ElementGroup element;
    int partner; // interior-exterior partner meridian
    double correctionFactor;
};

// Meridian m = 1..12.
const Meridian &meridian(int m);

int meridianOfChannel(int c);
Side sideOfChannel(int c);
Limb limbOfChannel(int c);
bool isYinChannel(int c);
int channelOf(int m, Side side);
// Position 1..6 of the channel's meridian within its block of six.
int positionInBlock(int c);
// "左  手", "右  手", "左  脚", "右  脚"
QString limbSideLabel(int c);
// "左肝经", "右胆经": the side and the meridian's short name.
QString sideMeridianName(int c);

// A meridian's short name as a caption needs it. The names of one character and "经" ("肺经") are
// spaced out to the width of the three-character ones ("心包经"), which never change.
enum class NameSpacing {
    Tight,      // "肺经"
    TwoBlanks,  // "肺  经", as gridLabel
    FourBlanks, // "肺    经"
    FullWidth,  // "肺　经", one ideographic blank
};
QString meridianCaption(int m, NameSpacing spacing);
// "手太阴 肺　经": the channel name before the short name in that spacing.
QString meridianFullCaption(int m, NameSpacing spacing);

QString elementLabel(ElementGroup g);
// "【 金 】", "【相火】": the element in brackets, one-character names padded to two.
QString bracketedElementLabel(ElementGroup g);
QString organTypeLabel(OrganType t);

double correctionFactor(int c);
double correctedValue(int c, double value);

// Value grid of 2 data rows by 12 data columns, with a header row and column.
struct GridCell {
    int row;
    int column;
};
GridCell gridCellOfChannel(int c);
std::optional<int> channelOfGridCell(int row, int column);
QString gridRowLabel(int row); // "左  侧" / "右  侧"

// Point picture styles, by their number in the settings: "照片" shaded and
// photo-like, "图像" a line drawing, "合成" shaded with outlines and a caption.
enum class PointPictureStyle { Photo = 1, Drawing = 2, Composite = 3 };
inline constexpr std::array<PointPictureStyle, 3> PointPictureStyles{
    PointPictureStyle::Photo, PointPictureStyle::Drawing, PointPictureStyle::Composite};
// The style a settings number names; a number outside 1..3 counts as the nearest.
PointPictureStyle pointPictureStyleOf(int number);
QString pointPictureName(PointPictureStyle style, int c); // "PLh1.bmp", "GRh3.bmp", "CRf6.bmp"
QString pointPictureStyleCaption(PointPictureStyle style);

// Fixed meridian orders used by charts and texts.
struct ElementColumn {
    int yin;
    int yang;
    ElementGroup element;
};
// Yin meridian above its yang partner, columns wood, sovereign fire, minister fire, earth, metal, water.
const std::array<ElementColumn, 6> &generatingOrder();
// Columns metal, wood, earth, water, sovereign fire, minister fire.
const std::array<ElementColumn, 6> &controllingOrder();
// Nested column pairs of the standard order: (1,6), (2,5), (3,4), (7,12), (8,11), (9,10).
const std::array<ElementColumn, 6> &standardOrderPairs();

} // namespace orlu
