// orlu-jet-reader: reads an Access (Jet 3 or Jet 4) file for the workstation, confined
// before it reads a byte of it. The file comes open for reading on standard input; standard
// output is a socket on which the catalog goes out, then the rows of each table asked for,
// in the frames of jetwire.h.
#include "jetreader/confinement.h"
#include "jetreader/jetreading.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iconv.h>
#include <string>
#include <vector>
#include <sys/stat.h>
#include <unistd.h>

using namespace orlu;

namespace {

constexpr const char *Usage =
    "Usage: orlu-jet-reader [--code-page NAME] [--seconds N]\n"
    "Reads the Access file open on standard input for orlu and orlu-cli, which start it:\n"
    "writes its tables on standard output, then the rows of each table they ask for there.\n"
    "It is confined before it reads the file: no network, no file created, no new\n"
    "process, bounded memory and processor time.\n\n"
    "  --code-page NAME  the code page of Jet 3 text (default GBK)\n"
    "  --seconds N       processor seconds at most (default 60)\n"
    "  --help            shows this text\n"
    "  --version         shows the version\n";

int misuse(const char *what) {
    std::fprintf(stderr, "orlu-jet-reader: %s\n%s", what, Usage);
    return 2;
}

// The requests as they arrive on the channel.
class Requests {
public:
    explicit Requests(int fd)
        : m_fd(fd) {}

    // The next request: a table and its columns; false at the end of the requests.
    bool next(std::vector<std::string> *names) {
        names->clear();
        std::string name;
        for (size_t total = 0; total < jetwire::MaxRequest; ++total) {
            char c = 0;
            if (!take(&c))
                return false;
            if (c != '\0') {
                name.push_back(c);
            } else if (name.empty()) {
                return !names->empty();
            } else {
                names->push_back(std::move(name));
                name.clear();
            }
        }
        return false;
    }

private:
    bool take(char *c) {
        while (m_at == m_end) {
            const ssize_t n = ::read(m_fd, m_buffer, sizeof m_buffer);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                return false;
            m_at = m_buffer;
            m_end = m_buffer + n;
        }
        *c = *m_at++;
        return true;
    }

    int m_fd;
    char m_buffer[4096];
    const char *m_at = m_buffer;
    const char *m_end = m_buffer;
};

bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        bytes.remove_prefix(size_t(n));
    }
    return true;
}

// The conversions libmdb opens load their tables on first use; loaded before confinement,
// the reading needs no file but its own.
void loadConversions(const std::string &jet3CodePage) {
    for (const char *from : {jet3CodePage.c_str(), "UCS-2LE", "UTF-16LE"}) {
        for (const bool back : {false, true}) {
            // Kept open: a conversion closed may be unloaded again.
            static_cast<void>(back ? iconv_open(from, "UTF-8") : iconv_open("UTF-8", from));
        }
    }
}

} // namespace

int main(int argc, char **argv) {
    JetFileSource source;
    unsigned seconds = 60;
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (option == "--help") {
            std::fputs(Usage, stdout);
            return 0;
        }
        if (option == "--version") {
            std::printf("orlu-jet-reader %s\n", ORLU_VERSION);
            return 0;
        }
        if (i + 1 == argc)
            return misuse("an option lacks its value");
        if (option == "--code-page")
            source.jet3CodePage = argv[++i];
        else if (option == "--seconds")
            seconds = unsigned(std::strtoul(argv[++i], nullptr, 10));
        else
            return misuse("unknown option");
    }

    struct stat file {};
    if (::fstat(jetwire::FileFd, &file) != 0 || !S_ISREG(file.st_mode))
        return misuse("standard input is not a file");
    source.size = file.st_size;
    source.path = "/proc/self/fd/" + std::to_string(jetwire::FileFd);
    // Nothing of the starter's but the file and the channel; the channel moves off standard
    // output, which, with standard error, catches what libmdb says.
    ::close_range(3, ~0U, 0);
    const int channel = ::dup(jetwire::ChannelFd);
    const Complaints complaints;
    loadConversions(source.jet3CodePage);
    std::string why;
    if (channel < 0 || !complaints.ready() || !confine(seconds, channel, &why))
        return 3; // the starter refuses the file for want of confinement
    FrameWriter out([channel](std::string_view bytes) { return writeAll(channel, bytes); });
    JetReading reading(complaints, out);
    if (reading.open(source)) {
        Requests requests(channel);
        std::vector<std::string> names;
        while (requests.next(&names))
            reading.writeRows(names.front(), {names.begin() + 1, names.end()});
    }
    // Straight out: nothing is left to free or flush, and leaving calls nothing the filter refuses.
    ::_exit(0);
}
