#include "courses/coursecommands.h"

namespace orlu {

CourseCommands CourseCommands::of(const CourseWindowView &view) {
    CourseCommands c;
    if (view.editing) {
        c.confirm = true;
        c.abandon = true;
        return c;
    }
    const bool courses = !view.conditionsEntered;
    c.addCourse = courses;
    c.changeCourse = courses && view.haveCourses;
    c.deleteCourse = courses && view.haveCourses;
    c.addCondition = view.courseChosen;
    c.changeCondition = !courses && view.haveConditions;
    c.deleteCondition = !courses && view.haveConditions;
    c.exit = true;
    c.lists = true;
    return c;
}

} // namespace orlu
