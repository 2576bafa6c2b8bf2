#include "app/ui/manualhelp.h"

#include "app/manualsections.h"
#include "platform/launch.h"

#include <QCoreApplication>
#include <QDir>
#include <QKeyEvent>
#include <QStatusBar>
#include <QWidget>

namespace orlu {

using namespace Qt::StringLiterals;

namespace {

// The window and the windows beneath it, the window first.
QList<QWidget *> windowChain(QWidget *window) {
    QList<QWidget *> chain;
    for (QWidget *w = window ? window->window() : nullptr; w;
         w = w->parentWidget() ? w->parentWidget()->window() : nullptr)
        chain << w;
    return chain;
}

void tellInStatusLine(const QList<QWidget *> &chain, const QString &text) {
    for (QWidget *w : chain) {
        if (auto *bar = w->findChild<QStatusBar *>()) {
            bar->showMessage(text, 30000);
            return;
        }
    }
}

} // namespace

void openManualFor(QWidget *window, LaunchPort &launcher) {
    const QList<QWidget *> chain = windowChain(window);
    QStringList names;
    for (const QWidget *w : chain)
        names << w->objectName();
    const ManualLocation manual = findManual(QCoreApplication::applicationDirPath(), manualSection(names),
                                             [&](const QString &path) { return launcher.fileExists(path); });
    if (manual.page.isEmpty())
        tellInStatusLine(chain, u"找不到操作手册 %1，请电脑管理人员安装完整的程序包。"_s.arg(
                                    QDir::toNativeSeparators(manual.installedPath)));
    else if (!launcher.openDocument(manual.page.toString(QUrl::FullyEncoded)))
        tellInStatusLine(chain, u"无法打开操作手册 %1：没有可用的浏览器。"_s.arg(
                                    QDir::toNativeSeparators(manual.page.toLocalFile())));
}

bool ManualHelpKey::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_F1 && key->modifiers() == Qt::NoModifier && watched->isWidgetType()) {
            openManualFor(static_cast<QWidget *>(watched), m_launcher);
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace orlu
