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
    // `program` as typed (it may be quoted); `parameters` a command line. False when
    // the system could not start it.
    virtual bool startProgram(const QString &program, const QString &parameters) = 0;
    // A document or web address, with its associated application; false when none opened it.
    virtual bool openDocument(const QString &target) = 0;
    // Tells the operator that `target` could not be started or opened.
    virtual void reportFailure(const QString &target) = 0;
};

// What the operator is told about a target that could not be started or opened.
QString launchFailureText(const QString &target);

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
// without one the parameter itself is opened. A program found on no drive, or one
// the system cannot start, is reported through the port: the set-up's defaults
// name programs this system may not have.
void launch(LaunchPort &port, const QString &program, const QString &parameter);

} // namespace orlu
