#include "core/unsavedwork.h"

#include "core/currentmeasurement.h"

namespace orlu {

using namespace Qt::StringLiterals;

QString saveQuestion(UnsavedOccasion occasion) {
    switch (occasion) {
    case UnsavedOccasion::LeaveProgram:
        return u"测量数据尚未储存。\n结束本系统前要先储存吗?"_s;
    case UnsavedOccasion::LeaveMeasurementWindow:
        return u"测量数据尚未储存。\n离开前要先储存吗?"_s;
    case UnsavedOccasion::StartNewRun:
        return u"表格中的测量数据尚未储存。\n开始新的测量前要先储存吗?"_s;
    case UnsavedOccasion::ReadAnother:
        return u"表格中的测量数据尚未储存。\n读取其他数据前要先储存吗?"_s;
    }
    return {};
}

QString discardQuestion(UnsavedOccasion occasion) {
    const QString head = u"测量数据尚未储存，数据库只能查阅，无法储存。\n"_s;
    switch (occasion) {
    case UnsavedOccasion::LeaveProgram:
        return head + u"仍要结束本系统吗?"_s;
    case UnsavedOccasion::LeaveMeasurementWindow:
        return head + u"仍要离开吗?"_s;
    case UnsavedOccasion::StartNewRun:
        return head + u"仍要清除表格并开始新的测量吗?"_s;
    case UnsavedOccasion::ReadAnother:
        return head + u"仍要读取其他数据吗?"_s;
    }
    return {};
}

bool settleUnsavedWork(UnsavedOccasion occasion, CurrentMeasurement &measurement, Prompter &prompter,
                       const std::function<void()> &save, bool highChosen) {
    if (!measurement.unsaved())
        return true;
    SaveChoice choice = SaveChoice::Stay;
    if (save)
        choice = prompter.askToSave(saveQuestion(occasion));
    else if (prompter.showMessageBox(MessageType::AskCaution, discardQuestion(occasion)))
        choice = SaveChoice::Discard;
    switch (choice) {
    case SaveChoice::Stay:
        return false;
    case SaveChoice::Save:
        save();
        // A saving window left without saving keeps the operator where he was.
        return !measurement.unsaved();
    case SaveChoice::Discard:
        break;
    }
    if (occasion == UnsavedOccasion::StartNewRun)
        measurement.clear(highChosen);
    return true;
}

} // namespace orlu
