// Reads and writes large 2DA files and prints `name value unit` lines: the
// times of Write2da and Read2da, `cat` of the same file as a reference, the
// file size, and the peak memory of a process that only reads (or reads and
// writes) the file. Figures only; nothing here fails on a time.
//
//   twoda_bench                      all sizes
//   twoda_bench --peak read FILE     (internal) read FILE, print peak memory
//   twoda_bench --peak write FILE    (internal) read FILE, write it again, print peak memory

#include "Sheet.h"
#include "TwoDaReader.h"
#include "TwoDaWriter.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

struct Size {
    int rows;
    int cols;
};

double seconds(auto&& action)
{
    auto start = std::chrono::steady_clock::now();
    action();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double bestOf(int runs, auto&& action)
{
    double best = 1e300;
    for (int i = 0; i < runs; ++i) best = std::min(best, seconds(action));
    return best;
}

// Cells as game tables have them: numbers, placeholders, names, fractions
// and now and then a text with blanks.
std::string randomCell(std::mt19937& random)
{
    unsigned kind = random() % 100;
    if (kind < 40) return std::to_string(random() % 5000);
    if (kind < 65) return "****";
    if (kind < 85) {
        std::string word;
        std::size_t length = 3 + random() % 10;
        for (std::size_t i = 0; i < length; ++i) word += static_cast<char>('a' + random() % 26);
        return word;
    }
    if (kind < 95) return std::to_string(random() % 100) + "." + std::to_string(random() % 100);
    return "some text " + std::to_string(random() % 1000);
}

Sheet makeSheet(Size size)
{
    std::mt19937 random(static_cast<unsigned>(size.rows * 131 + size.cols));
    Sheet sheet;
    sheet.setColCount(size.cols);
    sheet.setRowCount(size.rows + 1);
    for (int c = 1; c < size.cols; ++c) sheet.setCell(c, 0, "Column" + std::to_string(c));
    for (int r = 1; r <= size.rows; ++r) {
        sheet.setCell(0, r, std::to_string(r - 1));
        for (int c = 1; c < size.cols; ++c) sheet.setCell(c, r, randomCell(random));
    }
    return sheet;
}

double peakRssMb()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0) return std::strtod(line.c_str() + 6, nullptr) / 1024.0;
    return -1;
}

int peakChild(const std::string& what, const std::string& path)
{
    Sheet sheet;
    Read2da(path, sheet);
    if (what == "write") Write2da(sheet, path + ".out");
    std::printf("%.1f\n", peakRssMb());
    return 0;
}

std::string peakOf(const std::string& what, const fs::path& file)
{
    std::string command = "'" + fs::read_symlink("/proc/self/exe").string() + "' --peak " + what + " '" + file.string() + "'";
    std::string out;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[64];
        while (std::fgets(buffer, sizeof buffer, pipe)) out += buffer;
        ::pclose(pipe);
    }
    while (!out.empty() && (out.back() == '\n' || out.back() == '\r')) out.pop_back();
    return out.empty() ? "?" : out;
}

void benchSize(Size size, const fs::path& dir)
{
    std::string name = std::to_string(size.rows) + "x" + std::to_string(size.cols);
    fs::path file = dir / (name + ".2da");
    Sheet sheet = makeSheet(size);

    double write = bestOf(3, [&] { Write2da(sheet, file.string()); });
    double fileMb = static_cast<double>(fs::file_size(file)) / (1024.0 * 1024.0);
    std::string cat = "cat '" + file.string() + "' > /dev/null";
    double catTime = bestOf(3, [&] {
        if (std::system(cat.c_str()) != 0) std::fprintf(stderr, "cat failed\n");
    });
    int rows = 0;
    double read = bestOf(3, [&] {
        Sheet readBack;
        Read2da(file.string(), readBack);
        rows = readBack.rowCount();
    });
    if (rows != size.rows + 1) std::fprintf(stderr, "read back %d rows instead of %d\n", rows, size.rows + 1);
    double format = bestOf(3, [&] { (void)format2da(sheet); });

    std::printf("twoda.file.%s %.1f MB\n", name.c_str(), fileMb);
    std::printf("cat.twoda.%s %.3f s\n", name.c_str(), catTime);
    std::printf("twoda.read.%s %.3f s\n", name.c_str(), read);
    std::printf("twoda.write.%s %.3f s\n", name.c_str(), write);
    std::printf("twoda.format.%s %.3f s\n", name.c_str(), format);
    std::printf("twoda.read.%s.peak_rss %s MB\n", name.c_str(), peakOf("read", file).c_str());
    std::printf("twoda.write.%s.peak_rss %s MB\n", name.c_str(), peakOf("write", file).c_str());
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 4 && std::string(argv[1]) == "--peak") return peakChild(argv[2], argv[3]);
    fs::path dir = fs::temp_directory_path() / ("qm_twoda_bench_" + std::to_string(::getpid()));
    fs::create_directories(dir);
    for (Size size : {Size{25000, 40}, Size{100000, 60}}) benchSize(size, dir);
    fs::remove_all(dir);
    return 0;
}
