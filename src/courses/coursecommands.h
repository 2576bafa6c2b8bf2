#pragma once

namespace orlu {

// What the course window shows, as far as its commands depend on it.
struct CourseWindowView {
    bool editing = false;           // a condition is being added or changed
    bool conditionsEntered = false; // the condition list was entered last, not the course list
    bool courseChosen = false;      // a course is chosen and could be read
    bool haveCourses = false;
    bool haveConditions = false; // of the chosen course
};

// Which of the course window's commands are open. While a condition is edited only
// "确认异动" and "放  弃" are; otherwise the commands of the list entered last are, and a
// condition can be added as soon as a course is chosen.
struct CourseCommands {
    bool addCourse = false;
    bool changeCourse = false;
    bool deleteCourse = false;
    bool addCondition = false;
    bool changeCondition = false;
    bool deleteCondition = false;
    bool confirm = false;
    bool abandon = false;
    bool exit = false;
    bool lists = false; // choosing in the course and condition lists

    static CourseCommands of(const CourseWindowView &view);
    bool operator==(const CourseCommands &) const = default;
};

} // namespace orlu
