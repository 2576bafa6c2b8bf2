// The Access reading of orlu-jet-reader, as it reads a hostile file: the catalog, then every
// column of every table. Its promise: every answer parses, and ends in one End frame that
// counts what came (for rows: every row the catalog counts) or in one Refusal frame.
#include "fuzzcheck.h"
#include "jetreader/jetreading.h"
#include "transfer/jetframes.h"

#include <QByteArray>

#include <cstdint>
#include <string>
#include <sys/mman.h>
#include <unistd.h>
#include <vector>

using namespace orlu;
using jetwire::Frame;

namespace {

struct Table {
    std::string name;
    std::int64_t rows = 0;
    std::vector<std::string> columns;
    std::vector<jetwire::ColumnKind> kinds;
};

// The frames of one answer, each checked as the program checks them.
std::vector<JetFrame> framesOf(const std::string &bytes) {
    std::vector<JetFrame> frames;
    size_t at = 0;
    while (at < bytes.size()) {
        FUZZ_ASSERT(bytes.size() - at >= size_t(jetwire::HeaderSize));
        char header[jetwire::HeaderSize];
        bytes.copy(header, sizeof header, at);
        FUZZ_ASSERT(isFrameKind(quint8(header[0])));
        const quint32 length = bodyLength(header);
        FUZZ_ASSERT(length <= jetwire::MaxBody && bytes.size() - at - jetwire::HeaderSize >= length);
        JetFrame frame;
        frame.kind = Frame(quint8(header[0]));
        QString fault;
        FUZZ_ASSERT(parseFrameBody(QByteArrayView(bytes.data() + at + jetwire::HeaderSize, length),
                                   &frame.values, &fault));
        frames.push_back(frame);
        at += jetwire::HeaderSize + length;
    }
    return frames;
}

// One answer: (after a File frame, for a catalog) frames of `kind` and End counting them,
// or a Refusal; the frames of `kind`, none when refused.
std::vector<JetFrame> checkAnswer(const std::string &bytes, Frame kind, bool *refused) {
    std::vector<JetFrame> frames = framesOf(bytes);
    FUZZ_ASSERT(!frames.empty());
    const JetFrame last = frames.back();
    frames.pop_back();
    *refused = last.kind == Frame::Refusal;
    if (*refused) {
        FUZZ_ASSERT(last.values.size() == 2);
        return {};
    }
    if (kind == Frame::Table) {
        FUZZ_ASSERT(!frames.empty() && frames.front().kind == Frame::File &&
                    frames.front().values.size() == 1);
        const qint64 version = frames.front().values[0].toLongLong();
        FUZZ_ASSERT(version == 3 || version == 4);
        frames.erase(frames.begin());
    }
    for (const JetFrame &f : frames)
        FUZZ_ASSERT(f.kind == kind);
    FUZZ_ASSERT(last.kind == Frame::End && last.values.size() == 1 &&
                last.values[0].toLongLong() == qint64(frames.size()));
    return frames;
}

Table tableOf(const JetFrame &frame) {
    const QVariantList &v = frame.values;
    FUZZ_ASSERT(v.size() >= 3 && v.size() == 3 + 2 * v[2].toLongLong());
    Table t{v[0].toString().toStdString(), v[1].toLongLong(), {}, {}};
    for (qsizetype c = 3; c < v.size(); c += 2) {
        t.columns.push_back(v[c].toString().toStdString());
        const qint64 kind = v[c + 1].toLongLong();
        FUZZ_ASSERT(kind >= 1 && kind <= jetwire::LastColumnKind);
        t.kinds.push_back(jetwire::ColumnKind(kind));
    }
    return t;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, size_t size) {
    const int file = ::memfd_create("fuzz-jet", MFD_CLOEXEC);
    FUZZ_ASSERT(file >= 0 && ::write(file, data, size) == ssize_t(size));
    std::string answer;
    FrameWriter out([&answer](std::string_view bytes) {
        answer.append(bytes);
        return true;
    });
    {
        const fuzz::QuietOutput quiet; // libmdb's complaints are caught as in the reader
        const Complaints complaints;
        JetReading reading(complaints, out);
        const JetFileSource source{"/proc/self/fd/" + std::to_string(file), static_cast<long long>(size),
                                   "GBK"};
        const bool opened = reading.open(source);
        bool refused = false;
        const std::vector<JetFrame> tables = checkAnswer(answer, Frame::Table, &refused);
        FUZZ_ASSERT(opened == !refused);
        for (const JetFrame &frame : tables) {
            const Table t = tableOf(frame);
            answer.clear();
            reading.writeRows(t.name, t.columns);
            const std::vector<JetFrame> rows = checkAnswer(answer, Frame::Row, &refused);
            if (refused)
                continue;
            FUZZ_ASSERT(qint64(rows.size()) == t.rows);
            for (const JetFrame &row : rows) {
                FUZZ_ASSERT(row.values.size() == qsizetype(t.columns.size()));
                for (size_t c = 0; c < t.kinds.size(); ++c)
                    FUZZ_ASSERT(fitsWireKind(row.values[qsizetype(c)], t.kinds[c]));
            }
        }
    }
    ::close(file);
    return 0;
}
