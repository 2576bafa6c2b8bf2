#pragma once

#include "jetreader/framewriter.h"

#include <memory>
#include <string>
#include <vector>

namespace orlu {

// What libmdb reports on standard output or standard error while it reads, where it goes
// on as if the rest of the file were not there: both are caught, and every complaint
// fails the read.
class Complaints {
public:
    // Catches standard output and standard error from now on (before confinement).
    Complaints();
    ~Complaints();
    Complaints(const Complaints &) = delete;
    Complaints &operator=(const Complaints &) = delete;

    bool ready() const { return m_sink >= 0; }
    // The first line said since the last clear(); empty when nothing was said.
    std::string first() const;
    void clear() const;

private:
    void drain() const;

    int m_sink = -1;
    mutable std::string m_said;
};

struct JetFileSource {
    std::string path;   // where libmdb opens the file
    long long size = 0; // the file's size in bytes
    std::string jet3CodePage = "GBK";
};

struct FileHandle;

// An Access file read through libmdb, its answers written as frames (see jetwire.h), each
// answer ending in an End frame when everything asked for was read whole, else a Refusal
// frame saying why.
class JetReading {
public:
    JetReading(const Complaints &complaints, FrameWriter &out);
    ~JetReading();
    JetReading(const JetReading &) = delete;
    JetReading &operator=(const JetReading &) = delete;

    // Opens the file and answers its catalog; false after a refusal.
    bool open(const JetFileSource &file);
    // Answers the rows of `table`, the values of `columns` in that order.
    void writeRows(const std::string &table, const std::vector<std::string> &columns);

private:
    bool openWhole(const JetFileSource &file);
    bool writeCatalog();
    void answerRows(const std::string &table, const std::vector<std::string> &columns);

    const Complaints &m_complaints;
    FrameWriter &m_out;
    std::unique_ptr<FileHandle> m_file;
};

} // namespace orlu
