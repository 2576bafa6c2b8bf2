#include "compare/comparisonprintout.h"

namespace orlu {

using namespace Qt::StringLiterals;

QString comparisonJobTitle(ComparisonKind kind) {
    return kind == ComparisonKind::TwoRecord ? u"O.R.L.U 能量比对数据."_s : u"O.R.L.U 多重能量比对数据."_s;
}

QString emptyComparisonMessage() {
    return u"尚未加载比对数据，没有可打印的内容。\n请先按 [加载数据] 键选取要比对的数据。"_s;
}

} // namespace orlu
