#pragma once

#include "jetreader/framewriter.h"

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
    void clear();

private:
    void drain() const;

    int m_sink = -1;
    mutable std::string m_said;
};

struct JetRequest {
    std::string path;   // where libmdb opens the file
    long long size = 0; // the file's size in bytes
    std::string jet3CodePage = "GBK";
    bool catalog = true; // else the rows of `table`, the values of `columns` in that order
    std::string table;
    std::vector<std::string> columns;
};

// Reads what `request` asks for through libmdb and writes its frames, the last an End
// frame when everything was read whole, else a Refusal frame saying why.
void readJetFile(const JetRequest &request, const Complaints &complaints, FrameWriter &out);

} // namespace orlu
