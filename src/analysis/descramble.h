#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The scrambling of the reference texts: a stored value is a string of
// hexadecimal digit pairs, the first pair a seed, each further pair one byte
// XORed with the letters of a fixed key and offset by the previous stored pair.
// The plain bytes are GBK text.
namespace orlu {

inline constexpr std::string_view ScrambleKey = "QuietBlueFern";

// Qt-free core, also the entry point of the fuzz harness. Returns nothing when
// the value is not a valid scrambled text (a character that is not a hex digit,
// or a non-empty value shorter than four characters). The empty value gives
// the empty text. A single character left over at the end is ignored.
std::optional<std::string> descrambleHex(std::string_view stored);

// Inverse of descrambleHex for building the text data. Every byte but 0 can be
// written with any seed; a 0 byte only follows a stored pair of 0xFF, so it may
// make the text impossible to write: then nothing is returned. The empty text
// is stored as the empty value.
std::optional<std::string> scrambleBytes(std::string_view plain, std::uint8_t seed);

// Qt forms. descramble() reads an invalid stored value as the empty text.
QByteArray descramble(const QString &stored);
QString scramble(const QByteArray &plain, std::uint8_t seed, bool *ok = nullptr);

// GBK (code page 936) conversion of the texts.
QString fromGbk(const QByteArray &bytes);
// Returns false in *ok when a character has no GBK form.
QByteArray toGbk(const QString &text, bool *ok = nullptr);

} // namespace orlu
