#pragma once

#include <QString>

// Number formats of the program's displays and printouts, written as printf-style
// patterns in the texts: "%5.1f", "%3d", "%8.0n", and the picture "###.#".
namespace orlu {

// Nearest integer, a half going to the even neighbour (2.5 -> 2, 3.5 -> 4).
long long roundHalfEven(double v);
int roundHalfEvenInt(double v);

// "%w.df": d decimals, right-aligned in at least w characters.
QString formatFixed(double v, int width, int decimals);
// "%wd" and "%w.0d": an integer right-aligned in at least w characters.
QString formatInt(long long v, int width);
// "%w.0n": an integer with thousands separators, right-aligned in at least w characters.
QString formatThousands(long long v, int width);
// "###.#": at most one decimal, no forced digits ("12", "12.5", ".5"; 0 gives "").
QString formatHash(double v);
// General format with up to 15 significant digits (1.0 -> "1", 0.85 -> "0.85").
QString formatGeneral(double v);

} // namespace orlu
