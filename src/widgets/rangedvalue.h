#pragma once

#include <QtGlobal>

namespace orlu {

// The value of a bar or meter, kept inside its range. The range is at least
// `minimumSpan` wide: a maximum below minimum + minimumSpan is raised to it.
class RangedValue {
public:
    explicit RangedValue(int minimumSpan)
        : m_span(minimumSpan) {}

    // Both say whether the value changed (set, or clamped into the new range).
    bool setRange(int minimum, int maximum) {
        m_minimum = minimum;
        m_maximum = qMax(maximum, minimum + m_span);
        return setValue(m_value);
    }
    bool setValue(int value) {
        const int clamped = qBound(m_minimum, value, m_maximum);
        if (clamped == m_value)
            return false;
        m_value = clamped;
        return true;
    }

    int minimum() const { return m_minimum; }
    int maximum() const { return m_maximum; }
    int value() const { return m_value; }
    // The share of the range up to the value, 0..1; 0 for an empty range.
    double fraction() const {
        if (m_maximum == m_minimum)
            return 0.0;
        return static_cast<double>(m_value - m_minimum) / (m_maximum - m_minimum);
    }

private:
    int m_span;
    int m_minimum = 0;
    int m_maximum = 100;
    int m_value = 0;
};

} // namespace orlu
