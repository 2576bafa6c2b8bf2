#pragma once

#include <QSize>

class QWidget;

// Every window fits the smallest screen the program is used on, a 1366 x 768 laptop.
namespace orlu {

// The room such a screen leaves a window once its title bar, frame and the desktop's task
// bar are taken off: no window needs more than this.
inline constexpr QSize SmallScreenRoom{1366 - 16, 768 - 40 - 32};

// Gives `window` its `preferred` size, but no more than its screen leaves room for.
void resizeWithinScreen(QWidget *window, QSize preferred);

} // namespace orlu
