#include "courses/coursematches.h"

#include "courses/coursestore.h"

namespace orlu {

using namespace Qt::StringLiterals;

CourseMatches matchCourses(const CourseStore &user, const CourseStore *supplied, const MatchInputs &inputs) {
    CourseMatches matches;
    QStringList problems;
    QString error;
    if (const std::optional<QStringList> names = user.match(inputs, &error))
        matches.userCourses = *names;
    else
        problems.append(error);
    if (!supplied)
        problems.append(u"orluMCn.mdb"_s);
    else if (const std::optional<QStringList> names = supplied->match(inputs, &error))
        matches.suppliedCourses = *names;
    else
        problems.append(error);
    if (!problems.isEmpty())
        matches.problem = u"专家疗程资料无法读取，相关疗程项目将不会显示。\n"_s + problems.join(u'\n');
    return matches;
}

} // namespace orlu
