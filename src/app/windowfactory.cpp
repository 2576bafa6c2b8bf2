#include "app/windowfactory.h"

#include "app/appcontext.h"
#include "app/placeholderwindow.h"
#include "app/settingswindow.h"
#include "device/ui/tkystatu.h"
#include "measure/ui/tkydec.h"

namespace orlu {

using namespace Qt::StringLiterals;

namespace {

QString captionOf(WindowKind kind) {
    switch (kind) {
    case WindowKind::StartupStatus:
        return u"系统状态设定"_s;
    case WindowKind::Measurement:
        return u"经络测量"_s;
    case WindowKind::MultiCompare:
        return u"多重比对"_s;
    case WindowKind::Locate:
        return u"穴道定位"_s;
    case WindowKind::Explain:
        return u"经络解说"_s;
    case WindowKind::Courses:
        return u"专家疗程"_s;
    case WindowKind::Calibration:
        return u"数位校准"_s;
    case WindowKind::FileTransfer:
        return u"档案处理"_s;
    case WindowKind::Settings:
        return u"用户基本数据设定"_s;
    }
    return {};
}

} // namespace

WindowFactory makeWindowFactory(AppContext &app, ProbeOperations &probe) {
    return [&app, &probe](WindowKind kind, QWidget *parent) -> std::unique_ptr<QDialog> {
        switch (kind) {
        case WindowKind::StartupStatus:
            return std::make_unique<TKyStatu>(app.probe, app.clock, app.pump, app.folder, app.device,
                                              LegacyConversionHook{}, parent);
        case WindowKind::Measurement: {
            MeasurementWindowContext context{
                app.measurement, app.settings,           [&app] { return app.saveSettings(); },
                probe,           app.prompter,           app.clock,
                app.pump,        app.folder.dataFolder()};
            return std::make_unique<TKydec>(std::move(context), MeasurementHandOvers{}, parent);
        }
        case WindowKind::Settings:
            return std::make_unique<TKyCust>(app.settings, app.settingsPath(), app.launcher, app.prompter,
                                             parent);
        default:
            return std::make_unique<PlaceholderWindow>(captionOf(kind), parent);
        }
    };
}

} // namespace orlu
