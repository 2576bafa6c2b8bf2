#pragma once

#include <QString>

// Starting the targets of the custom buttons, the web links and the expert
// courses: a program with parameters, or a document or web address opened
// with the application the desktop associates with it.
namespace orlu {

// What a launch needs from the system, so the search can be tested without
// starting anything.
class LaunchPort {
public:
    virtual ~LaunchPort() = default;
    virtual bool fileExists(const QString &path) const = 0;
    // `program` as typed (it may be quoted); `parameters` a command line.
    virtual void startProgram(const QString &program, const QString &parameters) = 0;
    // A document or web address, with its associated application.
    virtual void openDocument(const QString &target) = 0;
};

// A path in double quotes (as a path with blanks is often typed) names the file inside them.
QString unquotedPath(const QString &text);

// The drive letters tried, in order, for a path whose drive is missing.
QString launchDriveLetters();

// A path with a drive letter as its 1st or 2nd character (after a leading
// quote) that does not exist is tried on drives C..Q in turn. Returns the first
// existing variant, the text itself when it exists or has no drive letter, or
// an empty text when no drive has it.
QString findOnDrives(const LaunchPort &port, const QString &text);

// Searches the program, then the parameter, over the drives; a program found on
// no drive launches nothing, a parameter found on no drive is passed as typed.
// With a program the program is started with the parameter as its command line;
// without one the parameter itself is opened. Failures are not reported: an
// operator who sees nothing start checks the button's set-up.
void launch(LaunchPort &port, const QString &program, const QString &parameter);

} // namespace orlu
