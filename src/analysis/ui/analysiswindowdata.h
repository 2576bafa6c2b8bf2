#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>

// What the analysis window reads from and writes to its tables, kept apart
// from the widgets: the print-option string, the treatment record of a stored
// measurement and the lookup of a listed course by its name.
namespace orlu {

// The print-option string of the settings: one "1" or "0" per position 1..20.
inline constexpr int PrintOptionCount = 20;

struct PrintOptions {
    std::array<bool, PrintOptionCount> on{};

    // Position 1..20.
    bool at(int position) const { return on[static_cast<std::size_t>(position - 1)]; }
    void set(int position, bool value) { on[static_cast<std::size_t>(position - 1)] = value; }
};

// A position past the end of a shorter string, or holding anything but "1", is off.
PrintOptions parsePrintOptions(const QString &text);
// Always all 20 positions.
QString printOptionString(const PrintOptions &options);

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
