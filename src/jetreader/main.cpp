// orlu-jet-reader: reads an Access (Jet 3 or Jet 4) file for the workstation, confined
// before it reads a byte of it. The file comes open for reading on standard input; the
// answer goes out on standard output in the frames of jetwire.h.
#include "jetreader/confinement.h"
#include "jetreader/jetreading.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iconv.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

using namespace orlu;

namespace {

constexpr const char *Usage =
    "Usage: orlu-jet-reader [--code-page NAME] [--seconds N] catalog\n"
    "       orlu-jet-reader [--code-page NAME] [--seconds N] rows TABLE COLUMN...\n"
    "Reads the Access file open on standard input for orlu and orlu-cli, which start it,\n"
    "and writes its tables (catalog) or the rows of one table on standard output.\n"
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
    JetRequest request;
    unsigned seconds = 60;
    int i = 1;
    for (; i < argc && std::strncmp(argv[i], "--", 2) == 0; ++i) {
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
            request.jet3CodePage = argv[++i];
        else if (option == "--seconds")
            seconds = unsigned(std::strtoul(argv[++i], nullptr, 10));
        else
            return misuse("unknown option");
    }
    if (i == argc)
        return misuse("what to read is missing");
    const std::string what = argv[i++];
    request.catalog = what == "catalog";
    if (!request.catalog) {
        if (what != "rows" || i == argc)
            return misuse("read the catalog or the rows of a table");
        request.table = argv[i++];
        request.columns.assign(argv + i, argv + argc);
    }

    struct stat file {};
    if (::fstat(jetwire::FileFd, &file) != 0 || !S_ISREG(file.st_mode))
        return misuse("standard input is not a file");
    request.size = file.st_size;
    request.path = "/proc/self/fd/" + std::to_string(jetwire::FileFd);
    // Nothing of the starter's but the file and the pipe; the frames move off standard
    // output, which, with standard error, catches what libmdb says.
    ::close_range(3, ~0U, 0);
    const int frames = ::dup(jetwire::FramesFd);
    const Complaints complaints;
    loadConversions(request.jet3CodePage);
    std::string why;
    if (frames < 0 || !complaints.ready() || !confine(seconds, frames, &why))
        return 3; // the starter refuses the file for want of confinement
    FrameWriter out([frames](std::string_view bytes) { return writeAll(frames, bytes); });
    readJetFile(request, complaints, out);
    // Straight out: nothing is left to free or flush, and leaving calls nothing the filter refuses.
    ::_exit(0);
}
