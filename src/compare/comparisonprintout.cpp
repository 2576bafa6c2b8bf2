#include "compare/comparisonprintout.h"

namespace orlu {

using namespace Qt::StringLiterals;

QString comparisonJobTitle(ComparisonKind kind) {
    return kind == ComparisonKind::TwoRecord ? u"O.R.L.U 能量比对数据."_s : u"O.R.L.U 多重能量比对数据."_s;
}

} // namespace orlu
