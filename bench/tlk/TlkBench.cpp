// Talk table figures: open, make every cell, save, find and append on
// generated tables of 200,000, 1,000,000 and 16,777,216 entries, each
// measured in a process of its own so its peak memory is its own.
//
//   tlk_bench [--dir FOLDER] [--sizes 200000,1000000,16777216]
//
// Prints one figure per line: name value unit. The generated files go to a
// new folder under /tmp (or FOLDER) and are removed at the end.

#include "ProcessStats.h"
#include "SampleTlk.h"

#include "CodePage.h"
#include "TlkDocument.h"
#include "TlkFile.h"
#include "TlkOperations.h"
#include "TlkWriter.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <sstream>
#include <string>
#include <sys/statvfs.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

extern char** environ;

namespace {

constexpr std::uint32_t kFindSize = 1000000;
constexpr std::uint32_t kAppendBase = 200000;

std::shared_ptr<const TlkFile> readDocument(const std::string& path, TlkDocument& doc)
{
    auto file = ReadTlk(path);
    doc.assign(file);
    return file;
}

bool sameBytes(const std::string& a, const std::string& b)
{
    std::ifstream x(a, std::ios::binary), y(b, std::ios::binary);
    std::vector<char> bx(1 << 20), by(1 << 20);
    while (x && y) {
        x.read(bx.data(), std::streamsize(bx.size()));
        y.read(by.data(), std::streamsize(by.size()));
        if (x.gcount() != y.gcount() || std::memcmp(bx.data(), by.data(), std::size_t(x.gcount())) != 0) return false;
    }
    return !x && !y;
}

// Open, every cell once, save; the saved file must be the generated one.
int measureTable(std::uint32_t size, const std::string& path, const std::string& outPath)
{
    const std::string n = std::to_string(size);
    resetPeakRss();
    auto start = Clock::now();
    double cpu = cpuSeconds();
    TlkDocument doc;
    readDocument(path, doc);
    printFigure("tlk.open." + n, secondsSince(start), "s");
    printFigure("tlk.open." + n + ".cpu", cpuSeconds() - cpu, "s");
    printMegabytes("tlk.open." + n + ".peak_rss", peakRssBytes());

    start = Clock::now();
    cpu = cpuSeconds();
    std::size_t bytes = 0;
    for (std::uint32_t i = 0; i < doc.count(); ++i) {
        std::string strRef = std::to_string(i);
        BytesView text = doc.text(i);
        BytesView sound = doc.sound(i);
        Bytes duration = doc.durationText(i, '.');
        bytes += strRef.size() + text.size() + sound.size() + duration.size();
    }
    printFigure("tlk.cells." + n, secondsSince(start), "s");
    printFigure("tlk.cells." + n + ".cpu", cpuSeconds() - cpu, "s");
    if (bytes == 0) std::fprintf(stderr, "no cell text at all\n");

    resetPeakRss();
    TlkWritePoints points;
    // The phases by the writer's points: the entry table (all but its last
    // block of 32768 entries written by the last entry point), the texts,
    // and the commit.
    Clock::time_point tableWritten, written;
    const std::uint32_t lastEntry = doc.count() - 1;
    points.entry = [&](std::uint32_t i) {
        if (i == lastEntry) tableWritten = Clock::now();
    };
    points.end = [&] { written = Clock::now(); };
    start = Clock::now();
    cpu = cpuSeconds();
    WriteTlk(doc, outPath, '.', points);
    const Clock::time_point saved = Clock::now();
    printFigure("tlk.save." + n, std::chrono::duration<double>(saved - start).count(), "s");
    printFigure("tlk.save." + n + ".cpu", cpuSeconds() - cpu, "s");
    printFigure("tlk.save." + n + ".entry_table", std::chrono::duration<double>(tableWritten - start).count(), "s");
    printFigure("tlk.save." + n + ".texts", std::chrono::duration<double>(written - tableWritten).count(), "s");
    // From the writer's end point to the file in place: the last buffer of
    // at most 1 MB, fsync and rename; the fsync is nearly all of it.
    printFigure("tlk.save." + n + ".fsync", std::chrono::duration<double>(saved - written).count(), "s");
    printMegabytes("tlk.save." + n + ".peak_rss", peakRssBytes());

    if (!sameBytes(path, outPath)) {
        std::fprintf(stderr, "the saved table of %s entries differs from the file read\n", n.c_str());
        return 1;
    }
    return 0;
}

// Find through every row below row 0 with no match, as the window runs it:
// a call back after every row that does not match.
int measureFind(const std::string& path)
{
    TlkDocument doc;
    readDocument(path, doc);
    const std::string n = std::to_string(doc.count());
    const CodePage& cp = CodePage::cp1251();
    std::uint64_t misses = 0;
    auto afterMiss = [&] { return ++misses, true; };

    auto timeFind = [&](const std::string& name, TlkSearchColumn column, BytesView text) {
        resetPeakRss();
        auto start = Clock::now();
        TlkSearch search(doc, column, 0, text, cp);
        TlkSearch::State state = search.run(afterMiss);
        printFigure(name, secondsSince(start), "s");
        if (state != TlkSearch::State::NotFound) std::fprintf(stderr, "%s: found a row\n", name.c_str());
    };
    timeFind("tlk.find." + n, TlkSearchColumn::Text, "Dragon");
    printMegabytes("tlk.find." + n + ".peak_rss", peakRssBytes());
    timeFind("tlk.find." + n + ".cyrillic", TlkSearchColumn::Text, "\xC4\xD0\xC0\xCA\xCE\xCD"); // DRAKON
    timeFind("tlk.find." + n + ".sound", TlkSearchColumn::Sound, "dragon");
    // After editing: every text lookup also asks the table of edited entries.
    for (std::uint32_t i = 0; i < doc.count(); i += 100) doc.setRecord(i, {"edited text", "vo_edit", "1.5"});
    timeFind("tlk.find." + n + ".with_10000_edits", TlkSearchColumn::Text, "Dragon");
    return misses > 0 ? 0 : 1;
}

int measureAppend(const std::string& basePath, const std::string& path)
{
    TlkDocument doc;
    readDocument(basePath, doc);
    const std::uint32_t before = doc.count();
    std::uint64_t reports = 0;
    TlkAppendProgress progress;
    progress.begin = [&](TlkAppendProgress::Phase, std::uint32_t) { ++reports; };
    progress.row = [&](TlkAppendProgress::Phase, std::uint32_t) { ++reports; };

    auto start = Clock::now();
    auto file = ReadTlk(path);
    const double read = secondsSince(start);
    appendTlk(doc, std::move(file), before, progress);
    const std::string name = "tlk.append." + std::to_string(doc.count() - before) + "_to_" + std::to_string(before);
    printFigure(name, secondsSince(start), "s");
    printFigure(name + ".read", read, "s");
    printMegabytes(name + ".peak_rss", peakRssBytes());
    return reports == doc.count() - before + 2 ? 0 : 1;
}

// Runs this program again with the arguments; its figures go to our output.
bool runChild(const std::vector<std::string>& args)
{
    std::vector<std::string> all = {"/proc/self/exe"};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& a : all) argv.push_back(a.data());
    argv.push_back(nullptr);
    std::fflush(stdout);
    pid_t pid;
    if (posix_spawn(&pid, "/proc/self/exe", nullptr, nullptr, argv.data(), environ) != 0) return false;
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// cat FILE > /dev/null, the reference for reading the same bytes.
double timeCat(const std::string& path)
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    std::string cat = "cat", file = path;
    char* argv[] = {cat.data(), file.data(), nullptr};
    auto start = Clock::now();
    pid_t pid;
    if (posix_spawnp(&pid, "cat", &actions, nullptr, argv, environ) != 0) return -1;
    int status = 0;
    waitpid(pid, &status, 0);
    const double seconds = secondsSince(start);
    posix_spawn_file_actions_destroy(&actions);
    return seconds;
}

std::uint64_t freeBytes(const std::string& dir)
{
    struct statvfs st {};
    if (statvfs(dir.c_str(), &st) != 0) return 0;
    return std::uint64_t(st.f_bavail) * st.f_frsize;
}

int drive(std::string base, std::vector<std::uint32_t> sizes)
{
    std::sort(sizes.begin(), sizes.end());
    std::string pattern = base + "/tlk_bench.XXXXXX";
    if (!mkdtemp(pattern.data())) {
        std::perror("mkdtemp");
        return 1;
    }
    const fs::path dir = pattern;
    auto fileOf = [&](std::uint32_t size) { return (dir / (std::to_string(size) + ".tlk")).string(); };
    int failures = 0;

    // About 95 bytes per entry; each table is there twice while its save runs.
    std::uint64_t need = 0;
    for (auto s : sizes) need += std::uint64_t(s) * 95;
    need += std::uint64_t(sizes.back()) * 95;
    if (freeBytes(dir) < need + (1ull << 30)) {
        std::fprintf(stderr, "%s has %llu MB free, the benchmark needs about %llu MB\n", dir.c_str(),
                     (unsigned long long)(freeBytes(dir) >> 20), (unsigned long long)(need >> 20));
        fs::remove_all(dir);
        return 1;
    }

    for (auto s : sizes) printMegabytes("tlk.file." + std::to_string(s), double(writeSampleTlk(fileOf(s), s)));
    sync(); // the generated bytes reach the disk now, not during a save's fsync

    for (auto s : sizes) {
        const std::string path = fileOf(s), n = std::to_string(s);
        timeCat(path); // warm
        printFigure("cat." + n, timeCat(path), "s");
        const std::string out = (dir / (n + ".saved.tlk")).string();
        if (!runChild({"--table", n, path, out})) ++failures;
        fs::remove(out);
        if (s == kFindSize) {
            if (!runChild({"--find", path})) ++failures;
            if (std::find(sizes.begin(), sizes.end(), kAppendBase) != sizes.end() &&
                !runChild({"--append", fileOf(kAppendBase), path}))
                ++failures;
        }
    }
    fs::remove_all(dir);
    if (failures) std::fprintf(stderr, "%d measurements failed\n", failures);
    return failures ? 1 : 0;
}

} // namespace

int main(int argc, char** argv)
{
    try {
        std::vector<std::string> args(argv + 1, argv + argc);
        if (args.size() == 4 && args[0] == "--table")
            return measureTable(std::uint32_t(std::stoul(args[1])), args[2], args[3]);
        if (args.size() == 2 && args[0] == "--find") return measureFind(args[1]);
        if (args.size() == 3 && args[0] == "--append") return measureAppend(args[1], args[2]);

        std::string base = "/tmp";
        std::vector<std::uint32_t> sizes = {kAppendBase, kFindSize, 16777216};
        for (std::size_t i = 0; i + 1 < args.size(); i += 2) {
            if (args[i] == "--dir") {
                base = args[i + 1];
            } else if (args[i] == "--sizes") {
                sizes.clear();
                std::stringstream list(args[i + 1]);
                for (std::string item; std::getline(list, item, ',');) sizes.push_back(std::uint32_t(std::stoul(item)));
            }
        }
        if (sizes.empty() || args.size() % 2 != 0) {
            std::fprintf(stderr, "usage: tlk_bench [--dir FOLDER] [--sizes 200000,1000000,16777216]\n");
            return 2;
        }
        return drive(base, sizes);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "tlk_bench: %s\n", e.what());
        return 1;
    }
}
