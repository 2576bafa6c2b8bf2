#pragma once

#include <QColor>
#include <QTimer>
#include <QWidget>

namespace orlu {

class Clock;

// How long a blinking lamp stays lit and then dark: one pace for every lamp of the program.
inline constexpr int BlinkMs = 200;

// A round signal lamp: a colour, on or off, and optionally blinking. Whether a
// blinking lamp shows lit is worked out from the clock it is given, so a test
// with virtual time sees the same phases as the operator does.
class LedLamp : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QColor color READ color WRITE setColor)
    Q_PROPERTY(bool on READ isOn WRITE setOn)
public:
    explicit LedLamp(QWidget *parent = nullptr);
    LedLamp(const QColor &color, QWidget *parent = nullptr);
    ~LedLamp() override;

    // The clock that times the blinking; null uses the system's.
    void setClock(const Clock *clock);

    QColor color() const { return m_color; }
    void setColor(const QColor &color);
    bool isOn() const { return m_on; }
    void setOn(bool on);
    // Blinks with `periodMs` lit and as long dark, starting lit; 0 stops blinking.
    void setBlinking(int periodMs);
    bool isBlinking() const { return m_periodMs > 0; }
    int blinkPeriod() const { return m_periodMs; }
    // What the lamp shows at this moment: on and, when blinking, in a lit phase.
    bool isLit() const;

    QSize sizeHint() const override { return {16, 16}; }
    QSize minimumSizeHint() const override { return {8, 8}; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    quint32 ticks() const;

    QColor m_color = Qt::green;
    bool m_on = false;
    int m_periodMs = 0;
    quint32 m_blinkStart = 0;
    const Clock *m_clock = nullptr;
    QTimer m_repaint;
};

} // namespace orlu
