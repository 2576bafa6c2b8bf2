#include "charts/chartcatalogue.h"

#include <array>

namespace orlu {

using namespace Qt::StringLiterals;

namespace {

const std::array<ChartEntry, ChartSelectionCount> &catalogue() {
    static const QString energyLine = u"【平均体能】为基准中线的数据,每一受测者均不相同."_s;
    static const std::array<ChartEntry, ChartSelectionCount> table{{
        {1, u"经络虚实长条图"_s, u"经络虚实分析图-长条"_s, u"经络虚实分析图-长条"_s, energyLine, true},
        {2, u"经络虚实曲线图"_s, u"经络虚实分析图-曲线"_s, u"经络虚实分析图-曲线"_s, energyLine, true},
        {3, u"阴阳分析图"_s, u"经络阴阳分析图"_s, u"经络阴阳分析图"_s,
         u"本图为比较阴脏与阳腑间的气血平衡状态，两点之间差距越小越好."_s, true},
        {4, u"气血分析图"_s, u"经络气血分析图"_s, u"经络气血分析图"_s,
         u"本图为比较身体左侧与右侧表里经络的气血平衡状态，两点之间差距越小越好."_s, true},
        {5, u"五行相生分析图"_s, u"经络五行相生分析图"_s, u"经络五行相生分析图"_s,
         u"本图为比较身体十二经络之五行相生能量状态."_s, true},
        {6, u"五行相克分析图"_s, u"经络五行相克分析图"_s, u"经络五行相克分析图"_s,
         u"本图为比较身体十二经络之五行相克能量状态."_s, true},
        {7, u"经络能量雷达图"_s, {}, {}, {}, false},
        {8, u"良导络分析图"_s, u"良导络分析图"_s, u"良导络分析图"_s, energyLine, true},
        {9, u"自律神经分析图"_s, u"自律神经平衡图"_s, u"自律神经平衡图"_s,
         u"本图为比较身体三阴三阳气血平衡状态."_s, true},
    }};
    return table;
}

} // namespace

const ChartEntry *chartEntry(int selection) {
    if (selection < 1 || selection > ChartSelectionCount)
        return nullptr;
    return &catalogue()[static_cast<std::size_t>(selection - 1)];
}

bool isOfferedChart(int selection) {
    const ChartEntry *entry = chartEntry(selection);
    return entry && entry->offered;
}

QList<int> offeredCharts() {
    return {1, 2, 3, 4, 5, 6, 8, 9};
}

} // namespace orlu
