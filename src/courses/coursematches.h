#pragma once

#include <QString>
#include <QStringList>

namespace orlu {

class CourseStore;
struct MatchInputs;

// The courses one analysis matches in both course sets. A set that cannot be read leaves its
// list empty; the rest of the analysis is still worth showing, so the operator is only told why.
struct CourseMatches {
    QStringList userCourses;     // of the user course set in the main database
    QStringList suppliedCourses; // of the supplied set: the multi-meridian list
    // The caution for the operator naming each set that could not be read; empty when both were.
    QString problem;
};

// `supplied` is nullptr when the supplied set's file could not be opened.
CourseMatches matchCourses(const CourseStore &user, const CourseStore *supplied, const MatchInputs &inputs);

} // namespace orlu
