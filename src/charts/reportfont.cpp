#include "charts/reportfont.h"

#include <QStringList>

namespace orlu {

using namespace Qt::StringLiterals;

QFont reportFont(double points) {
    QFont font;
    font.setFamilies(
        {u"Tahoma"_s, u"Liberation Sans"_s, u"Arial"_s, u"Nimbus Sans"_s, u"Noto Sans CJK SC"_s});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(points);
    return font;
}

} // namespace orlu
