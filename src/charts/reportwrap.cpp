#include "charts/reportwrap.h"

#include "charts/reportfont.h"

#include <QFont>
#include <QTextLayout>

#include <cmath>

namespace orlu {

using namespace Qt::StringLiterals;

namespace {

// The box's border and inner margins take a few pixels of its width.
constexpr int BoxInsets = 8;

} // namespace

QStringList wrapReportText(const QString &text, double points) {
    QStringList lines;
    if (text.isEmpty())
        return lines;
    QFont font = reportFont(points);
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(points * 96.0 / 72.0))));
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);

    QString normalised = text;
    normalised.replace(u"\r\n"_s, u"\n"_s).replace(u'\r', u'\n');
    for (const QString &paragraph : normalised.split(u'\n')) {
        if (paragraph.isEmpty()) {
            lines.append(QString());
            continue;
        }
        QTextLayout layout(paragraph, font);
        layout.setTextOption(option);
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(ReportWrapBoxWidth - BoxInsets);
            QString shown = paragraph.mid(line.textStart(), line.textLength());
            while (!shown.isEmpty() && shown.back().isSpace())
                shown.chop(1);
            lines.append(shown);
        }
        layout.endLayout();
    }
    return lines;
}

} // namespace orlu
