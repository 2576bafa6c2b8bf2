#include "app/singleinstance.h"

#include "app/ui/messagedialog.h"

#include <QWidget>

#include <cstdio>

namespace orlu {

using namespace Qt::StringLiterals;

SingleInstance::SingleInstance(const ProgramFolder &folder)
    : m_folder(folder)
    , m_lock(folder.path())
    , m_channel(folder) {}

bool SingleInstance::claim() {
    if (m_lock.acquire() == ProgramLock::Outcome::HeldByOther) {
        InstanceChannel::askToRaise(m_folder);
        std::fprintf(stderr, "orlu: %s\n", qPrintable(m_folder.path() + u": already running"_s));
        showMessageBox(MessageType::NoteCaution, u"O.R.L.U. 已经在执行中，请使用已开启的窗口。"_s);
        return false;
    }
    if (m_lock.isHeld())
        m_channel.listen();
    return true;
}

void SingleInstance::raiseOnRequest(QWidget &window) {
    QObject::connect(&m_channel, &InstanceChannel::raiseRequested, &window, [&window] {
        window.setWindowState((window.windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
        window.show();
        window.raise();
        window.activateWindow();
    });
}

} // namespace orlu
