#include "widgets/screenfit.h"

#include <QScreen>
#include <QWidget>

namespace orlu {

void resizeWithinScreen(QWidget *window, QSize preferred) {
    // The size given is the window's inside: its frame and title bar come on top.
    const QScreen *screen = window->screen();
    const QSize room = screen ? screen->availableGeometry().size() - QSize(16, 32) : SmallScreenRoom;
    window->resize(preferred.boundedTo(room));
}

} // namespace orlu
