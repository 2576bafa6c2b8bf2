#include "cli/subjectscommand.h"

#include "cli/registerreading.h"
#include "core/clock.h"
#include "cli/commandline.h"
#include "storage/database.h"
#include "core/displaycolumns.h"
#include "records/recordstore.h"
#include "records/sortcode.h"
#include "records/subjectlistmodel.h"

namespace orlu {

using namespace Qt::StringLiterals;

int runSubjectsCommand(const QStringList &args, QTextStream &out, QTextStream &err) {
    const QString command = u"subjects"_s;
    CommandLine cl(command, QString(),
                   u"Print the subject list of the reading window in its order: number, name, sex and "
                   "birth date, tab-separated, one line per subject."_s);
    cl.addHomeOption();
    cl.addValueOption(u"sort"_s, u"CODE"_s,
                      u"The sort code: 1..9 for number, name, sex, birth date, telephone, address, e-mail, "
                      "mobile, fax; negative for descending (default 1)."_s);
    cl.addValueOption(u"search"_s, u"TEXT"_s,
                      u"Start at the first subject, in list order, whose sorted column begins with TEXT, as "
                      "the search box does."_s);
    if (const std::optional<int> done = cl.parseOptionsOnly(args, out, err))
        return *done;
    bool ok = true;
    const QString sortText = cl.value(u"sort"_s);
    const int sortCode = sortText.isEmpty() ? SubjectOrder().code() : sortText.toInt(&ok);
    const SubjectOrder order = SubjectOrder::fromCode(sortCode);
    if (!ok || order.code() != sortCode)
        return cl.usageError(err, u"--sort takes a code from -9 to 9 other than 0"_s);

    Database db;
    if (!openRegisterForReading(db, cl.folder(), command, err))
        return ExitFailed;
    const SystemClock clock;
    const std::unique_ptr<SubjectListModel> list = RecordStore(db).subjectList(clock);
    if (!list->open(order)) {
        err << command << ": " << list->lastError() << '\n';
        return ExitFailed;
    }
    int first = 0;
    if (const QString search = cl.value(u"search"_s).trimmed(); !search.isEmpty()) {
        first = list->locatePrefix(readingSearchColumn(order), search);
        if (first < 0) {
            err << command << ": no subject matches " << search << '\n';
            return ExitFailed;
        }
    }
    for (int row = first; row < list->rowCount(); ++row) {
        const std::optional<Subject> s = list->subjectAt(row);
        if (!s) {
            err << command << ": " << list->lastError() << '\n';
            return ExitFailed;
        }
        out << s->number << '\t' << s->name << '\t' << sexText(s->male) << '\t' << birthDateText(s->birthDate)
            << '\n';
    }
    return ExitOk;
}

} // namespace orlu
