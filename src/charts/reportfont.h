#pragma once

#include <QFont>

namespace orlu {

// The report's font: Tahoma, or where it is missing a sans-serif of about its
// width, so the report's fixed columns (sums, values, ranges) do not run into
// each other as they would in a wider face. Chinese comes from the simplified Chinese
// face, named before any fallback: otherwise the fallback follows the locale, and a
// report made under C or another language's locale would take other glyph forms.
QFont reportFont(double points = 10);

} // namespace orlu
