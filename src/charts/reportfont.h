#pragma once

#include <QFont>

namespace orlu {

// The report's font: Tahoma, or where it is missing a sans-serif of about its
// width, so the report's fixed columns (sums, values, ranges) do not run into
// each other as they would in a wider face.
QFont reportFont(double points = 10);

} // namespace orlu
