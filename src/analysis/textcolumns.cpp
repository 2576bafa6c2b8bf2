#include "analysis/textcolumns.h"

using namespace Qt::StringLiterals;

namespace orlu {

namespace {

constexpr std::array<const char *, TextColumnCount> Names{
    "DtEA1", "DtEA2", "DtEA3", "DtEA4", "DtEA5", "DtPot1", "DtPot2", "DtPot3", "DtMA1", "DtMA2", "DtMA3",
    "DtMH1", "DtMH2", "DtMH3", "DtMH4", "DtMH5", "DtML1",  "DtML2",  "DtML3",  "DtML4", "DtML5",
};

} // namespace

const std::array<TextColumn, TextColumnCount> &textColumns() {
    static const std::array<TextColumn, TextColumnCount> all = [] {
        std::array<TextColumn, TextColumnCount> a{};
        for (int i = 0; i < TextColumnCount; ++i)
            a[i] = static_cast<TextColumn>(i);
        return a;
    }();
    return all;
}

QString columnName(TextColumn column) {
    return QString::fromLatin1(Names[static_cast<int>(column)]);
}

std::optional<TextColumn> textColumnFromName(const QString &name) {
    for (int i = 0; i < TextColumnCount; ++i) {
        if (name == QLatin1StringView(Names[i]))
            return static_cast<TextColumn>(i);
    }
    return std::nullopt;
}

bool columnUsedBy(int key, TextColumn column) {
    if (key >= 1 && key <= MeridianRecordCount)
        return true;
    if (key > MeridianRecordCount && key <= ReferenceRecordCount) {
        return column == TextColumn::DtMA1 || column == TextColumn::DtMA2 || column == TextColumn::DtMH1 ||
               column == TextColumn::DtML1;
    }
    return false;
}

QString columnLabel(TextColumn column) {
    switch (column) {
    case TextColumn::DtEA1:
        return u"表里属性:"_s;
    case TextColumn::DtEA2:
        return u"表里经络:"_s;
    case TextColumn::DtEA3:
        return u"天干属性:"_s;
    case TextColumn::DtEA4:
        return u"五行属性:"_s;
    case TextColumn::DtEA5:
        return u"子午流注:"_s;
    case TextColumn::DtPot1:
        return u"测 定 点:"_s;
    case TextColumn::DtPot2:
        return u"抑 制 点:"_s;
    case TextColumn::DtPot3:
        return u"兴 奋 点:"_s;
    default:
        return {};
    }
}

} // namespace orlu
