#pragma once

#include "courses/coursestore.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

// The second course set that comes with an installation ("orluMCn.mdb"). Its
// readable source (a JSON text, compiled into the program) is turned into the
// database file by the setup step.
namespace orlu {

// The eight plain texts the analysis window shows for a supplied course, in
// column order ProMed1..3, ProHel1..5.
inline constexpr int SuppliedTextCount = 8;
const std::array<const char *, SuppliedTextCount> &suppliedTextColumns();

struct SuppliedCourse {
    Course course; // number, name, description
    std::array<QString, SuppliedTextCount> texts;
    QList<Condition> conditions;
};

// Reads and checks a source text. Errors name the course and condition at fault.
std::optional<QList<SuppliedCourse>> parseSuppliedCourses(const QByteArray &source, QString *error = nullptr);

// The source compiled into the program.
QByteArray suppliedCourseSource();

// Writes a complete course set file at dbPath from a source; an existing file
// is replaced only once the new one is complete.
bool buildSuppliedCoursesFrom(const QString &dbPath, const QByteArray &source, QString *error = nullptr);

// Writes "orluMCn.mdb" (or any path) from the compiled-in source.
bool buildSuppliedCourses(const QString &dbPath, QString *error = nullptr);

} // namespace orlu
