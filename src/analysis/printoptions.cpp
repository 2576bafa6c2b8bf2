#include "analysis/printoptions.h"

namespace orlu {

PrintOptions parsePrintOptions(const QString &text) {
    PrintOptions options;
    for (int p = 1; p <= PrintOptionCount; ++p)
        options.set(printOptionAt(p), p <= text.size() && text.at(p - 1) == u'1');
    return options;
}

QString printOptionString(const PrintOptions &options) {
    QString text;
    text.reserve(PrintOptionCount);
    for (bool on : options.on)
        text.append(on ? u'1' : u'0');
    return text;
}

} // namespace orlu
