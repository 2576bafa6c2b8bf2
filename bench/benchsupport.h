#pragma once

#include "core/prompter.h"

#include <QString>
#include <QStringList>

// What the benchmark programs share: a prompter that answers every message box with
// yes, and their "--key value" options.
namespace orlu::bench {

class SilentPrompter final : public Prompter {
public:
    bool showMessageBox(MessageType, const QString &) override { return true; }
    SaveChoice askToSave(const QString &) override { return SaveChoice::Save; }
};

// The value after `key` among the arguments, or `fallback` without one.
inline QString option(const QStringList &args, const QString &key, const QString &fallback = {}) {
    const qsizetype at = args.indexOf(key);
    return at > 0 && at + 1 < args.size() ? args.at(at + 1) : fallback;
}

inline int intOption(const QStringList &args, const QString &key, int fallback) {
    bool ok = false;
    const int value = option(args, key).toInt(&ok);
    return ok ? value : fallback;
}

} // namespace orlu::bench
