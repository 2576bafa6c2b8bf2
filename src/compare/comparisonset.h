#pragma once

#include <QList>
#include "core/readingquality.h"

#include <QString>

#include <array>

// The records of the multi-record comparison: at most six stored measurements of
// any subjects, kept in memory for the whole run of the program.
namespace orlu {

struct ComparisonEntry {
    qint64 measurementKey = 0; // MKEY of the stored measurement
    QString subjectNumber;
    QString subjectName;
    double measuredAt = 0; // day count
    bool highPotential = false;
    std::array<double, 24> corrected{}; // readings times their meridian correction factor
    double energyLevel = 0;             // mean of the measured corrected values
    MeasurementQuality quality{};       // of each reading, where known

    // From a stored measurement's 24 plain readings.
    static ComparisonEntry fromReadings(qint64 measurementKey, const QString &subjectNumber,
                                        const QString &subjectName, double measuredAt, bool highPotential,
                                        const std::array<double, 24> &readings);
};

// Two entries are the same record when they come from the same stored row. Subject
// number and measured-at as shown would take two measurements of one minute (or of
// two subjects sharing a number) for one.
bool isSameRecord(const ComparisonEntry &a, const ComparisonEntry &b);

class ComparisonSet {
public:
    static constexpr int Capacity = 6;
    enum class AddResult { Added, Full, Duplicate };

    // Appends at the end unless the set is full or already holds the record.
    AddResult add(const ComparisonEntry &entry);
    // Entries after `index` (0-based) move up one place; false for an index outside the set.
    bool remove(int index);

    const QList<ComparisonEntry> &entries() const { return m_entries; }
    int size() const { return static_cast<int>(m_entries.size()); }
    bool isEmpty() const { return m_entries.isEmpty(); }
    bool isFull() const { return size() >= Capacity; }

private:
    QList<ComparisonEntry> m_entries;
};

// The refusal messages of the selection window.
QString comparisonSetFullMessage();
QString comparisonDuplicateMessage();

} // namespace orlu
