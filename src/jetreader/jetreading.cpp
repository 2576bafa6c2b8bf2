#include "jetreader/jetreading.h"

// mdbtools.h wraps glib in extern "C"; glib's C++ parts must come first.
#include <glib.h>
#include <mdbtools.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <strings.h>
#include <unistd.h>

namespace orlu {

using jetwire::ColumnKind;
using jetwire::Frame;
using jetwire::RefusalReason;

Complaints::Complaints() {
    std::fflush(stdout);
    std::fflush(stderr);
    // A pipe, not a file, for a reader that may create and grow no file; it is not waited
    // on: what does not fit is dropped, and the first line is all that is kept.
    int ends[2];
    if (::pipe2(ends, O_NONBLOCK | O_CLOEXEC) != 0)
        return;
    m_sink = ends[0];
    ::dup2(ends[1], STDOUT_FILENO);
    ::dup2(ends[1], STDERR_FILENO);
    ::close(ends[1]);
}

Complaints::~Complaints() {
    if (m_sink >= 0)
        ::close(m_sink);
}

void Complaints::drain() const {
    std::fflush(stdout);
    std::fflush(stderr);
    char text[4096];
    ssize_t n = 0;
    while ((n = ::read(m_sink, text, sizeof text)) > 0) {
        if (m_said.size() < 512)
            m_said.append(text, size_t(n));
    }
}

std::string Complaints::first() const {
    drain();
    if (m_said.empty())
        return {};
    std::string line = m_said.substr(0, m_said.find('\n'));
    const size_t start = line.find_first_not_of(" \t\r");
    return start == std::string::npos ? std::string("?") : line.substr(start, 300);
}

void Complaints::clear() const {
    drain();
    m_said.clear();
}

struct FileHandle {
    MdbHandle *mdb = nullptr;
    ~FileHandle() {
        if (mdb)
            mdb_close(mdb);
    }
};

namespace {

// Enough for any memo the program writes; libmdb cuts a bound value at this size.
constexpr size_t BindSize = 1 << 20;

MdbColumn *columnAt(MdbTableDef *t, unsigned i) {
    return static_cast<MdbColumn *>(g_ptr_array_index(t->columns, i));
}

struct TableReader {
    MdbTableDef *table = nullptr;
    ~TableReader() {
        if (table)
            mdb_free_tabledef(table);
    }
};

void refuse(FrameWriter &out, RefusalReason reason, const std::string &detail) {
    out.begin(Frame::Refusal);
    out.integer(std::int64_t(reason));
    out.text(detail);
    out.end();
}

// libmdb decodes Jet 4 text as UCS-2, which has no room for the characters outside
// the Basic Multilingual Plane (𠮷, 𩸽, emoji): they came out as "??". Decoding it as
// UTF-16 keeps their surrogate pairs, and so every character.
void decodeJet4AsUtf16(MdbHandle *mdb) {
    const iconv_t utf16 = iconv_open("UTF-8", "UTF-16LE");
    if (utf16 == iconv_t(-1))
        return;
    // libmdb reads text through iconv_in (and writes, which we never do, through iconv_out).
    if (mdb->iconv_in != iconv_t(-1))
        iconv_close(mdb->iconv_in);
    mdb->iconv_in = utf16;
}

// The catalog is read like any table, so rows of it on pages that cannot be read are
// passed over: a table it lost would look missing, not damaged. All its rows must arrive.
bool catalogWhole(MdbHandle *mdb) {
    for (unsigned i = 0; i < mdb->num_catalog; ++i) {
        auto *entry = static_cast<MdbCatalogEntry *>(g_ptr_array_index(mdb->catalog, i));
        if (entry->object_type != MDB_TABLE || std::strcmp(entry->object_name, "MSysObjects") != 0)
            continue;
        TableReader reader{mdb_read_table(entry)};
        if (!reader.table || !mdb_read_columns(reader.table))
            return false;
        mdb_rewind_table(reader.table);
        unsigned long rows = 0;
        while (mdb_fetch_row(reader.table))
            ++rows;
        return rows == reader.table->num_rows;
    }
    return false;
}

ColumnKind kindOf(int type) {
    switch (type) {
    case MDB_BOOL:
        return ColumnKind::Flag;
    case MDB_BYTE:
        return ColumnKind::Byte;
    case MDB_INT:
        return ColumnKind::Int16;
    case MDB_LONGINT:
        return ColumnKind::Int32;
    case MDB_FLOAT:
        return ColumnKind::Single;
    case MDB_DOUBLE:
        return ColumnKind::Double;
    case MDB_DATETIME:
        return ColumnKind::DateTime;
    case MDB_MONEY:
        return ColumnKind::Money;
    case MDB_NUMERIC:
        return ColumnKind::Numeric;
    case MDB_TEXT:
        return ColumnKind::Text;
    case MDB_MEMO:
        return ColumnKind::Memo;
    case MDB_OLE:
        return ColumnKind::Ole;
    case MDB_BINARY:
        return ColumnKind::Binary;
    default:
        return ColumnKind::Other;
    }
}

bool needsBinding(int type) {
    return type == MDB_BOOL || type == MDB_TEXT || type == MDB_MEMO || type == MDB_OLE || type == MDB_MONEY ||
           type == MDB_NUMERIC || type == MDB_REPID || type == MDB_BINARY;
}

// A cell of the row just fetched, kept until the row's pictures are read.
struct Cell {
    jetwire::Tag tag = jetwire::Tag::Null;
    std::int64_t integer = 0;
    double real = 0;
    std::string data; // text or bytes
};

void write(FrameWriter &out, const Cell &cell) {
    switch (cell.tag) {
    case jetwire::Tag::Null:
        return out.null();
    case jetwire::Tag::Integer:
        return out.integer(cell.integer);
    case jetwire::Tag::Real:
        return out.real(cell.real);
    case jetwire::Tag::Flag:
        return out.flag(cell.integer != 0);
    case jetwire::Tag::Text:
        return out.text(cell.data);
    case jetwire::Tag::Bytes:
        return out.bytes(cell.data);
    }
}

// Fixed-size numbers are read from the row itself, so a date stays the day count it is
// stored as.
Cell fixedCell(MdbHandle *mdb, MdbColumn *col, const char *bound, int boundLength) {
    using jetwire::Tag;
    const int start = col->cur_value_start;
    const std::string_view text(bound, size_t(boundLength));
    if (col->col_type == MDB_BOOL)
        return {Tag::Flag, text == "1", 0, {}};
    if (col->col_type == MDB_TEXT || col->col_type == MDB_MEMO)
        return {Tag::Text, 0, 0, std::string(text)};
    if (!col->cur_value_len)
        return {};
    switch (col->col_type) {
    case MDB_BYTE:
        return {Tag::Integer, mdb->pg_buf[start], 0, {}};
    case MDB_INT:
        return {Tag::Integer, mdb_get_int16(mdb->pg_buf, start), 0, {}};
    case MDB_LONGINT:
        return {Tag::Integer, mdb_get_int32(mdb->pg_buf, start), 0, {}};
    case MDB_FLOAT:
        return {Tag::Real, 0, double(mdb_get_single(mdb->pg_buf, start)), {}};
    case MDB_DOUBLE:
    case MDB_DATETIME:
        return {Tag::Real, 0, mdb_get_double(mdb->pg_buf, start), {}};
    case MDB_MONEY:
    case MDB_NUMERIC:
        return {Tag::Real, 0, std::strtod(std::string(text).c_str(), nullptr), {}};
    default:
        return {Tag::Bytes, 0, 0, std::string(text)};
    }
}

// False when the field's bytes cannot be read.
bool readOle(Cell &cell, MdbHandle *mdb, MdbColumn *col, int boundLength) {
    cell = {};
    if (boundLength == 0)
        return true;
    size_t size = 0;
    void *bytes = mdb_ole_read_full(mdb, col, &size);
    if (!bytes)
        return false;
    cell.tag = jetwire::Tag::Bytes;
    cell.data.assign(static_cast<const char *>(bytes), size);
    std::free(bytes);
    return true;
}

MdbCatalogEntry *tableEntry(MdbHandle *mdb, const std::string &table) {
    for (unsigned i = 0; i < mdb->num_catalog; ++i) {
        auto *e = static_cast<MdbCatalogEntry *>(g_ptr_array_index(mdb->catalog, i));
        if (e->object_type == MDB_TABLE && ::strcasecmp(e->object_name, table.c_str()) == 0)
            return e;
    }
    return nullptr;
}

} // namespace

JetReading::JetReading(const Complaints &complaints, FrameWriter &out)
    : m_complaints(complaints)
    , m_out(out)
    , m_file(std::make_unique<FileHandle>()) {}

JetReading::~JetReading() = default;

bool JetReading::open(const JetFileSource &file) {
    m_complaints.clear();
    const bool opened = openWhole(file) && writeCatalog();
    m_out.flush();
    return opened;
}

bool JetReading::openWhole(const JetFileSource &file) {
    // libmdb reads the code page of Jet 3 text from the environment when it opens a file.
    ::setenv("MDB_JET3_CHARSET", file.jet3CodePage.c_str(), 1);
    m_file->mdb = mdb_open(file.path.c_str(), MDB_NOFLAGS);
    MdbHandle *mdb = m_file->mdb;
    if (!mdb) {
        refuse(m_out, RefusalReason::NotADatabase, m_complaints.first());
        return false;
    }
    if (mdb->f->jet_version != MDB_VER_JET3 && mdb->f->jet_version != MDB_VER_JET4) {
        refuse(m_out, RefusalReason::NewerFormat, {});
        return false;
    }
    if (mdb->f->jet_version == MDB_VER_JET4)
        decodeJet4AsUtf16(mdb);
    // A file is made of whole pages; one cut short lacks the rest of its last.
    const long long page = mdb->fmt->pg_size;
    if (file.size % page != 0) {
        refuse(m_out, RefusalReason::Damaged,
               std::to_string(file.size) + " bytes, not whole pages of " + std::to_string(page));
        return false;
    }
    mdb_set_bind_size(mdb, BindSize);
    if (!mdb_read_catalog(mdb, MDB_TABLE) || !catalogWhole(mdb)) {
        const std::string complaint = m_complaints.first();
        refuse(m_out, RefusalReason::Damaged, complaint.empty() ? "catalog" : complaint);
        return false;
    }
    return true;
}

bool JetReading::writeCatalog() {
    MdbHandle *mdb = m_file->mdb;
    m_out.begin(Frame::File);
    m_out.integer(mdb->f->jet_version == MDB_VER_JET3 ? 3 : 4);
    m_out.end();
    std::int64_t tables = 0;
    for (unsigned i = 0; i < mdb->num_catalog; ++i) {
        auto *entry = static_cast<MdbCatalogEntry *>(g_ptr_array_index(mdb->catalog, i));
        if (entry->object_type != MDB_TABLE || !mdb_is_user_table(entry))
            continue;
        TableReader reader{mdb_read_table(entry)};
        if (!reader.table || !mdb_read_columns(reader.table)) {
            const std::string complaint = m_complaints.first();
            refuse(m_out, RefusalReason::Damaged, complaint.empty() ? "catalog" : complaint);
            return false;
        }
        m_out.begin(Frame::Table);
        m_out.text(entry->object_name);
        m_out.integer(std::int64_t(reader.table->num_rows));
        m_out.integer(reader.table->num_cols);
        for (unsigned c = 0; c < reader.table->num_cols; ++c) {
            const MdbColumn *col = columnAt(reader.table, c);
            m_out.text(col->name);
            m_out.integer(std::int64_t(kindOf(col->col_type)));
        }
        if (!m_out.end()) {
            refuse(m_out, RefusalReason::Damaged, "catalog");
            return false;
        }
        ++tables;
    }
    const std::string complaint = m_complaints.first();
    if (!complaint.empty()) {
        refuse(m_out, RefusalReason::Damaged, complaint);
        return false;
    }
    m_out.begin(Frame::End);
    m_out.integer(tables);
    m_out.end();
    return true;
}

void JetReading::writeRows(const std::string &table, const std::vector<std::string> &columns) {
    m_complaints.clear();
    answerRows(table, columns);
    m_out.flush();
}

void JetReading::answerRows(const std::string &table, const std::vector<std::string> &columns) {
    MdbHandle *mdb = m_file->mdb;
    MdbCatalogEntry *entry = mdb ? tableEntry(mdb, table) : nullptr;
    TableReader reader{entry ? mdb_read_table(entry) : nullptr};
    FrameWriter &out = m_out;
    if (!reader.table || !mdb_read_columns(reader.table)) {
        const std::string complaint = m_complaints.first();
        return refuse(out, RefusalReason::Damaged, complaint.empty() ? table : complaint);
    }
    MdbTableDef *t = reader.table;

    std::vector<MdbColumn *> wanted;
    std::vector<int> numbers; // 1-based, as libmdb binds
    for (const std::string &name : columns) {
        unsigned c = 0;
        while (c < t->num_cols && ::strcasecmp(name.c_str(), columnAt(t, c)->name) != 0)
            ++c;
        if (c == t->num_cols)
            return refuse(out, RefusalReason::MissingColumn, name);
        wanted.push_back(columnAt(t, c));
        numbers.push_back(int(c) + 1);
    }
    // Not cleared first: libmdb says how much of each it filled.
    std::vector<std::unique_ptr<char[]>> buffers(wanted.size());
    std::vector<int> lengths(wanted.size(), 0);
    for (size_t i = 0; i < wanted.size(); ++i) {
        if (!needsBinding(wanted[i]->col_type))
            continue;
        buffers[i].reset(new char[BindSize]);
        mdb_bind_column(t, numbers[i], buffers[i].get(), &lengths[i]);
    }
    std::vector<MdbField> fields(t->num_cols);
    std::vector<Cell> cells(wanted.size());
    mdb_rewind_table(t);
    std::int64_t read = 0;
    while (mdb_fetch_row(t)) {
        ++read;
        // libmdb binds an empty text and a null alike; the row's null flags tell them apart.
        int start = 0;
        size_t length = 0;
        const bool cracked = mdb_find_row(mdb, int(t->cur_row) - 1, &start, &length) == 0 &&
                             mdb_crack_row(t, start, length, fields.data()) > 0;
        // Fixed cells first: reading an OLE field moves libmdb off the row's page.
        for (size_t i = 0; i < wanted.size(); ++i) {
            MdbColumn *col = wanted[i];
            if (col->col_type == MDB_OLE)
                continue;
            const bool isNull = cracked && fields[size_t(numbers[i] - 1)].is_null;
            cells[i] = isNull && col->col_type != MDB_BOOL
                           ? Cell{}
                           : fixedCell(mdb, col, buffers[i].get(), lengths[i]);
        }
        for (size_t i = 0; i < wanted.size(); ++i) {
            if (wanted[i]->col_type == MDB_OLE && !readOle(cells[i], mdb, wanted[i], lengths[i]))
                return refuse(out, RefusalReason::Damaged, table + ": a picture cannot be read");
        }
        out.begin(Frame::Row);
        for (const Cell &cell : cells)
            write(out, cell);
        if (!out.end())
            return refuse(out, RefusalReason::Damaged, table + ": a row too large");
    }
    const std::string complaint = m_complaints.first();
    if (!complaint.empty())
        return refuse(out, RefusalReason::Damaged, complaint);
    // Rows on pages that cannot be read are passed over in silence: the count tells.
    if (read != std::int64_t(t->num_rows))
        return refuse(out, RefusalReason::Damaged,
                      table + ": " + std::to_string(read) + " of " + std::to_string(t->num_rows) +
                          " rows readable");
    out.begin(Frame::End);
    out.integer(read);
    out.end();
}

} // namespace orlu
