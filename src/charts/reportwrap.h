#pragma once

#include <QString>
#include <QStringList>

// Long report texts are broken into lines as a multi-line text box 600 screen
// pixels wide (96 dpi) with word wrap shows them, in the report font at the given size.
namespace orlu {

inline constexpr int ReportWrapBoxWidth = 600;

// Every line break of the text ends a line; a long line breaks at a blank where
// it has one, otherwise between two characters. An empty text gives no lines.
QStringList wrapReportText(const QString &text, double points);

} // namespace orlu
