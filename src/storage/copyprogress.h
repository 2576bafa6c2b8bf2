#pragma once

#include <QtGlobal>

// How far a copy of register rows has come, told to whoever shows it.
namespace orlu {

class TransferObserver {
public:
    virtual ~TransferObserver() = default;
    // Share of the whole operation done, 0..1; called often, so the
    // observer may repaint and let the user interface breathe.
    virtual void progressed(double fraction) = 0;
};

// Counts copied rows against the rows the operation will copy in all.
class CopyProgress {
public:
    CopyProgress(TransferObserver *observer, qint64 totalRows)
        : m_observer(observer)
        , m_total(totalRows) {}

    void advance(qint64 rows) {
        m_done += rows;
        if (m_observer)
            m_observer->progressed(m_total > 0 ? double(qMin(m_done, m_total)) / double(m_total) : 1.0);
    }
    // The rows counted so far: those the copies said they wrote.
    qint64 rowsDone() const { return m_done; }
    void finish() {
        if (m_observer)
            m_observer->progressed(1.0);
    }

private:
    TransferObserver *m_observer;
    qint64 m_total;
    qint64 m_done = 0;
};

} // namespace orlu
