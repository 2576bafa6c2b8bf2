#pragma once

#include <QDate>
#include <QString>
#include <QTime>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <vector>

// The text of exported rows, written fast: a million rows of a hundred numbers each must
// not wait on locale-aware formatters or on a library call per character.
namespace orlu::exporttext {

// A row is put together in a Line and added to the output in one piece. Its appends
// are inline: std::string's are calls into the library, and a row makes about two
// hundred of them.
class Line {
public:
    void clear() { m_size = 0; }
    const char *data() const { return m_data.data(); }
    std::size_t size() const { return m_size; }

    void append(const char *text, std::size_t n) {
        if (n == 0)
            return; // an empty text may come as a null pointer, which memcpy must not see
        char *at = room(n);
        std::memcpy(at, text, n);
    }
    void append(const char *begin, const char *end) { append(begin, static_cast<std::size_t>(end - begin)); }
    void append(std::size_t n, char c) {
        char *at = room(n);
        std::memset(at, c, n);
    }
    Line &operator+=(char c) {
        *room(1) = c;
        return *this;
    }
    Line &operator+=(const char *text) {
        append(text, std::strlen(text));
        return *this;
    }

private:
    // Where the next n bytes go; they count as written.
    char *room(std::size_t n) {
        if (m_size + n > m_data.size())
            m_data.resize(std::max<std::size_t>(2 * m_data.size(), m_size + n + 1024));
        char *at = m_data.data() + m_size;
        m_size += n;
        return at;
    }

    std::vector<char> m_data;
    std::size_t m_size = 0;
};

// The shortest text that reads back as the same double; a million rows of 80 numbers
// each must not wait on a locale-aware formatter.
template <typename Number> void appendNumber(Line &out, Number v) {
    char buffer[32];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, v);
    if (ec == std::errc())
        out.append(buffer, end);
}

// Readings carry a few decimals, and the general shortest-text search costs more than
// the rest of a row. When m / 10^8 is v (the division is exact to the last bit, as a
// reader's conversion is), m with 8 decimals, trailing zeros dropped, reads back as v
// and is what to_chars writes: below 1e5 no other text of 8 decimals reads back as v,
// and from 0.001 to 1e5 the fixed form is never longer than the exponent form.
// Anything else goes to to_chars.
template <> inline void appendNumber<double>(Line &out, double v) {
    constexpr double Scale = 1e8;
    const double magnitude = std::fabs(v);
    const double scaled = std::nearbyint(magnitude * Scale);
    if (!(magnitude >= 0.001 && magnitude < 1e5) || scaled / Scale != magnitude) {
        char buffer[32];
        const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, v);
        if (ec == std::errc())
            out.append(buffer, end);
        return;
    }
    auto m = static_cast<long long>(scaled);
    int decimals = 8;
    while (decimals > 0 && m % 10 == 0) {
        m /= 10;
        --decimals;
    }
    // Digits from the last, the point before the last `decimals` of them, and a
    // leading "0." under 1 (m = 5 with 3 decimals is 0.005).
    char text[32];
    char *const end = text + sizeof text;
    char *p = end;
    int written = 0;
    do {
        if (written == decimals && decimals > 0)
            *--p = '.';
        *--p = static_cast<char>('0' + m % 10);
        m /= 10;
        ++written;
    } while (m != 0 || written <= decimals);
    if (v < 0)
        *--p = '-';
    out.append(p, static_cast<std::size_t>(end - p));
}

void appendUtf8(Line &out, const QString &text);

// "2026-03-01T09:30:00": a QDateTime in local time looks up the time zone each time it is
// made, and a formatted print costs more than the rest of the row.
void appendIsoDateTime(Line &out, const QDate &d, const QTime &t);

} // namespace orlu::exporttext
