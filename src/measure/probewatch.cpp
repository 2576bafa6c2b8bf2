#include "measure/probeoperations.h"

namespace orlu {

using namespace Qt::StringLiterals;

QString ProbeWatch::lostMessage() {
    return u"探测棒连接中断，本次操作已停止！请重新插入探测棒后再开始。"_s;
}

QString ProbeWatch::absentMessage() {
    return u"未检测到探测棒！请插入探测棒后再开始。"_s;
}

} // namespace orlu
