#pragma once

#include <QString>

#include <array>
#include <optional>

// The columns of the reference text table KYMTDB. Every column but DtGpM
// (the diagram picture) holds a scrambled text.
namespace orlu {

enum class TextColumn : int {
    DtEA1,
    DtEA2,
    DtEA3,
    DtEA4,
    DtEA5,
    DtPot1,
    DtPot2,
    DtPot3,
    DtMA1,
    DtMA2,
    DtMA3,
    DtMH1,
    DtMH2,
    DtMH3,
    DtMH4,
    DtMH5,
    DtML1,
    DtML2,
    DtML3,
    DtML4,
    DtML5,
};
inline constexpr int TextColumnCount = 21;

// All text columns in table order.
const std::array<TextColumn, TextColumnCount> &textColumns();
QString columnName(TextColumn column);
std::optional<TextColumn> textColumnFromName(const QString &name);

inline constexpr int MeridianRecordCount = 12;
inline constexpr int ReferenceRecordCount = 17; // meridians 1..12, state items 13..17

// The columns a record of `key` uses: all 21 for a meridian, DtMA1, DtMA2,
// DtMH1 and DtML1 for a state item.
bool columnUsedBy(int key, TextColumn column);

// Labels of the attribute and point columns in the explanation window,
// "表里属性:" ... "兴 奋 点:"; empty for the other columns.
QString columnLabel(TextColumn column);

} // namespace orlu
