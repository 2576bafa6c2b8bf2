#include "analysis/descramble.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace orlu {

namespace {

int hexValue(char ch) {
    if (ch >= '0' && ch <= '9')
        return ch - '0';
    if (ch >= 'A' && ch <= 'F')
        return ch - 'A' + 10;
    if (ch >= 'a' && ch <= 'f')
        return ch - 'a' + 10;
    return -1;
}

constexpr char HexDigits[] = "0123456789ABCDEF";

void appendHex(std::string &out, unsigned v) {
    out.push_back(HexDigits[(v >> 4) & 0xF]);
    out.push_back(HexDigits[v & 0xF]);
}

} // namespace

std::optional<std::string> descrambleHex(std::string_view stored) {
    if (stored.empty())
        return std::string();
    if (stored.size() < 4)
        return std::nullopt;
    for (char ch : stored) {
        if (hexValue(ch) < 0)
            return std::nullopt;
    }
    const auto pairAt = [&](std::size_t i) { return hexValue(stored[i]) * 16 + hexValue(stored[i + 1]); };
    int seed = pairAt(0);
    std::string out;
    out.reserve(stored.size() / 2);
    std::size_t k = 0;
    for (std::size_t i = 2; i + 1 < stored.size(); i += 2) {
        const int x = pairAt(i);
        k = k % ScrambleKey.size() + 1;
        const int b = x ^ static_cast<unsigned char>(ScrambleKey[k - 1]);
        const int byte = b > seed ? b - seed : b + 255 - seed;
        out.push_back(static_cast<char>(byte));
        seed = x;
    }
    return out;
}

std::optional<std::string> scrambleBytes(std::string_view plain, std::uint8_t seed) {
    // The empty text is stored as the empty value; a lone seed would not be a valid value.
    if (plain.empty())
        return std::string();
    std::string out;
    out.reserve(2 + 2 * plain.size());
    appendHex(out, seed);
    int previous = seed;
    std::size_t k = 0;
    for (char ch : plain) {
        const int byte = static_cast<unsigned char>(ch);
        // b > previous gives byte = b - previous; b <= previous gives byte = b + 255 - previous.
        int b;
        if (byte >= 1 && byte + previous <= 255)
            b = byte + previous;
        else if (byte + previous >= 255)
            b = byte + previous - 255;
        else
            return std::nullopt;
        k = k % ScrambleKey.size() + 1;
        const int x = b ^ static_cast<unsigned char>(ScrambleKey[k - 1]);
        appendHex(out, static_cast<unsigned>(x));
        previous = x;
    }
    return out;
}

QByteArray descramble(const QString &stored) {
    const QByteArray latin = stored.toLatin1();
    const auto plain =
        descrambleHex(std::string_view(latin.constData(), static_cast<std::size_t>(latin.size())));
    if (!plain)
        return {};
    // toLatin1 maps characters beyond Latin-1 to '?', which the hex check rejects.
    return QByteArray(plain->data(), static_cast<qsizetype>(plain->size()));
}

QString scramble(const QByteArray &plain, std::uint8_t seed, bool *ok) {
    const auto stored =
        scrambleBytes(std::string_view(plain.constData(), static_cast<std::size_t>(plain.size())), seed);
    if (ok)
        *ok = stored.has_value();
    return stored ? QString::fromLatin1(stored->data(), static_cast<qsizetype>(stored->size())) : QString();
}

QString fromGbk(const QByteArray &bytes) {
    QStringDecoder decoder("GBK");
    return decoder.decode(bytes);
}

QByteArray toGbk(const QString &text, bool *ok) {
    QStringEncoder encoder("GBK");
    QByteArray out = encoder.encode(text);
    if (ok)
        *ok = !encoder.hasError();
    return out;
}

} // namespace orlu
