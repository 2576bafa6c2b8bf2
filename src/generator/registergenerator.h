#pragma once

#include <QSqlDatabase>
#include <QString>

namespace orlu {

// Fills a main database with a register of made-up subjects and measurements, for
// load tests and demonstrations. Numbers run "T0000001", "T0000002", ...; each
// measurement belongs to a random subject. One transaction: all rows or none.
struct RegisterSize {
    int subjects = 0;
    int measurements = 0;
    QString prefix = QStringLiteral("T"); // numbers are the prefix and seven digits
    // Each subject in a transaction of its own, checked for its number as the subject editor
    // does, then its share of the measurements, as a seat stores them.
    bool oneByOne = false;
};
bool generateRegister(QSqlDatabase db, RegisterSize size, quint32 seed = 1, QString *error = nullptr);

} // namespace orlu
