#pragma once

#include <QSqlDatabase>
#include <QString>

#include <array>

namespace orlu {

// Rows of the four register tables: KYCUST, KYDATA, KYPRO, KYPRDT.
using RegisterCounts = std::array<qint64, 4>;

// The rows of each register table; nullopt-like (all -1) when one cannot be counted.
RegisterCounts countRegister(const QSqlDatabase &db);

// Copies every row of the four tables, every column and its key, from one register to
// another that holds none yet (a file or a server, either way), in one transaction on
// the target. The copy is committed only when the target then holds exactly the source's
// counts; false with the reason otherwise, and the target is left empty.
bool copyRegister(const QSqlDatabase &from, QSqlDatabase to, RegisterCounts *copied = nullptr,
                  QString *error = nullptr);

} // namespace orlu
