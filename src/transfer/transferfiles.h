#pragma once

#include <QString>

#include <sys/types.h>

// Copying transfer files between the program folder and the folder the operator
// chose, and what to tell the operator when a copy fails.
namespace orlu {

enum class TransferDirection { Export, Import };

class FileCopier {
public:
    virtual ~FileCopier() = default;

    // Copies `from` to `to` through a temporary file beside `to` that is flushed to
    // the medium and only then renamed into place, so `to` is either the old file
    // or a whole copy. Returns 0, or the system's error code of the failure.
    int copy(const QString &from, const QString &to);

protected:
    // One write(2); a test replaces it to make a medium fill up.
    virtual ssize_t writeSome(int fd, const char *data, size_t size);
};

// The operator's text for a failed copy, chosen by the error code, e.g. "磁盘容量不足 !!".
QString copyErrorText(int errorCode, TransferDirection direction);
// The whole message: the text followed by what to do.
QString copyFailureMessage(int errorCode, TransferDirection direction);
// The same for a failure that is not about a file: "请排除问题后重新汇出数据。" appended.
QString failureMessage(const QString &text, TransferDirection direction);

} // namespace orlu
