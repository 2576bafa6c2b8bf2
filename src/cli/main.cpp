#include "cli/commandtable.h"
#include "cli/commandline.h"
#include "core/version.h"

#include <QGuiApplication>
#include <QTextStream>

#include <memory>

using namespace orlu;
using namespace Qt::StringLiterals;

int main(int argc, char *argv[]) {
    // Drawing (charts, the pictures and diagrams of an installation) needs fonts, hence a GUI
    // application, but never a display.
    const Command *command = argc > 1 ? findCommand(QString::fromLocal8Bit(argv[1])) : nullptr;
    const bool drawing = command && command->draws == Draws::Yes;
    if (drawing && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const std::unique_ptr<QCoreApplication> app = drawing ? std::make_unique<QGuiApplication>(argc, argv)
                                                          : std::make_unique<QCoreApplication>(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    const QStringList args = QCoreApplication::arguments().mid(1);
    if (args.isEmpty() || args.first() == u"--help"_s || args.first() == u"-h"_s ||
        args.first() == u"help"_s) {
        printHelp(out);
        return args.isEmpty() ? ExitUsage : ExitOk;
    }
    if (args.first() == u"--version"_s) {
        out << "orlu-cli " << programVersion() << '\n';
        return ExitOk;
    }
    return runCommand(args, out, err);
}
