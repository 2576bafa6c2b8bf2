#pragma once

#include "courses/courserules.h"

#include <QByteArray>
#include <QList>
#include <QSqlDatabase>
#include <QString>

#include <array>
#include <optional>

// The expert courses (KYPRO) and their conditions (KYPRDT) of one database
// file. Course numbers are compared without regard to letter case, as the
// links between the two tables always were.
namespace orlu {

inline constexpr int LaunchButtonCount = 4;

// One KYPRO row as the course editor uses it.
struct Course {
    qint64 key = 0; // MKEY; 0 until stored
    QString proNo;
    QString name;
    QString description;                          // ProData
    QByteArray picture;                           // ProPict: the picture file's bytes
    bool scaled = false;                          // ProScal: shown at its own size instead of stretched
    QString launchFlags;                          // ProFN: character k is "1" when launch button k is in use
    std::array<QString, LaunchButtonCount> hints; // ProScrp1..4
    std::array<QString, LaunchButtonCount> programs;   // ProPrg1..4
    std::array<QString, LaunchButtonCount> parameters; // ProParm1..4

    // k = 1..4.
    bool launchEnabled(int k) const { return launchFlags.size() >= k && launchFlags.at(k - 1) == u'1'; }
};

// The columns of a course list row.
struct CourseSummary {
    qint64 key = 0;
    QString proNo;
    QString name;
};

// One KYPRDT row.
struct Condition {
    qint64 key = 0; // MKEY; 0 until stored
    QString proNo;
    QString name; // ProSubN
    QString note; // ProNote
    ConditionRule rule;
};

// A course of the supplied set with the eight plain texts only the analysis
// window shows.
struct SuppliedCourseTexts {
    QString description; // ProData
    // ProMed1..3 (针灸, 汉方, 按摩), ProHel1..5 (营养素, 禁忌, 药膳, 花草茶, 按摩).
    std::array<QString, 8> texts;

    const QString &medicine(int k) const { return texts[static_cast<std::size_t>(k - 1)]; }
    const QString &health(int k) const { return texts[static_cast<std::size_t>(k + 2)]; }
};

class CourseStore {
public:
    explicit CourseStore(QSqlDatabase db);

    // All courses in the order of their number.
    QList<CourseSummary> courses() const;
    std::optional<Course> course(qint64 key) const;
    // The first course (in number order) whose number equals `proNo` after
    // trimming both, letter case ignored.
    std::optional<CourseSummary> findByNumber(const QString &proNo) const;
    // The first course (in number order) whose name, trimmed, equals `name` trimmed.
    std::optional<Course> findByName(const QString &name) const;
    // The conditions of a course in the order they were added.
    QList<Condition> conditions(const QString &proNo) const;
    int conditionCount(const QString &proNo) const;
    // The key of the first course in number order whose name, trimmed, equals `name` trimmed.
    std::optional<qint64> keyByName(const QString &name) const;
    // The same course's description and its eight texts of the supplied set.
    std::optional<SuppliedCourseTexts> suppliedTextsByName(const QString &name) const;
    // The names of the applying courses of this file (matchCourseSet()).
    std::optional<QStringList> match(const MatchInputs &in, QString *error = nullptr) const;

    // Appends a course; sets its key.
    bool addCourse(Course &course);
    // Stores every column but the number.
    bool updateCourse(const Course &course);
    // Removes the course and all its conditions together.
    bool deleteCourse(qint64 key);
    // Stores a new or changed condition and, in the same step, the course's
    // description, picture and picture scale.
    bool saveCondition(Condition &condition, const Course &course);
    bool deleteCondition(qint64 key);

    QString lastError() const { return m_error; }

private:
    bool fail(const QString &error) const;

    QSqlDatabase m_db;
    mutable QString m_error;
};

// Course numbers are equal when they differ at most in the case of ASCII
// letters, as the database's NOCASE comparison has it.
bool sameCourseNumber(const QString &a, const QString &b);

// True when the file's connection holds both course tables.
bool hasCourseTables(const QSqlDatabase &db);

// Every course with its conditions, in the order of the course index (by
// number) and of the condition table. Empty with an error when the tables are
// missing or cannot be read.
std::optional<QList<CourseRules>> loadCourseRules(const QSqlDatabase &db, QString *error = nullptr);

// Reads a course set and matches it: the names of the applying courses, from
// loadCourseRules() and matchingCourses(), the one way a set is matched.
std::optional<QStringList> matchCourseSet(const QSqlDatabase &db, const MatchInputs &in,
                                          QString *error = nullptr);

} // namespace orlu
