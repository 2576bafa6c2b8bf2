#pragma once

#include "analysis/printoptions.h"

#include <QSqlDatabase>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>

// What the analysis window reads from and writes to its tables, kept apart
// from the widgets: the treatment record of a stored
// measurement and the lookup of a listed course by its name.
namespace orlu {

// Writes the treatment record into MEMO1 of the KYDATA row `key`, its lines
// joined by CR LF.
enum class MemoWrite { Written, NoRecord, Failed };
MemoWrite writeMeasurementMemo(const QSqlDatabase &db, qint64 key, const QStringList &lines,
                               QString *error = nullptr);

// The key (MKEY) of the first course in the course index order whose name,
// trimmed, equals `name` trimmed.
std::optional<qint64> courseKeyByName(const QSqlDatabase &db, const QString &name);

// A course of the supplied set with the eight plain texts only the analysis
// window shows.
struct SuppliedCourseTexts {
    QString description; // ProData
    // ProMed1..3 (针灸, 汉方, 按摩), ProHel1..5 (营养素, 禁忌, 药膳, 花草茶, 按摩).
    std::array<QString, 8> texts;

    const QString &medicine(int k) const { return texts[static_cast<std::size_t>(k - 1)]; }
    const QString &health(int k) const { return texts[static_cast<std::size_t>(k + 2)]; }
};
std::optional<SuppliedCourseTexts> suppliedCourseByName(const QSqlDatabase &db, const QString &name);

} // namespace orlu
