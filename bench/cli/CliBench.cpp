// Prints `name value unit` lines for quellmoor-cli on a talk table of a
// million entries: texts of about 60 bytes, one in ten empty, a quarter with
// a sound reference and most of those with a duration. Each figure is the
// best of a few runs; `cat` of the JSON is the reference for plain I/O. The
// ".cpu" figures (user and system time, over both of json-to-tlk's threads)
// tell how much of a slow wall-clock time was a busy machine.
// Usage: cli_bench [FOLDER] (files are kept in FOLDER when one is given).

#include "ChildProcess.h"
#include "TlkDocument.h"
#include "TlkFile.h"
#include "TlkWriter.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

constexpr std::uint32_t kEntries = 1000000;
constexpr int kRuns = 3;

TlkDocument makeTable()
{
    static const char* const words[] = {"the", "guard", "says", "welcome", "to", "Quellmoor", "traveller", "gold",
                                        "\xEF\xF0\xE8\xE2\xE5\xF2", "\xE4\xF0\xF3\xE3", "sword", "\"quest\"",
                                        "north", "road", "inn", "\xEC\xE5\xF7"};
    std::mt19937 rng(12345);
    TlkDocument doc;
    doc.assign(std::make_shared<TlkFile>());
    doc.appendBlank(kEntries);
    for (std::uint32_t i = 0; i < kEntries; ++i) {
        if (i % 10 == 9) continue;
        TlkRecord r;
        std::size_t target = 50 + rng() % 21;
        while (r.text.size() < target) {
            if (!r.text.empty()) r.text += rng() % 12 == 0 ? '\n' : ' ';
            r.text += words[rng() % std::size(words)];
        }
        if (i % 4 == 0) {
            r.sound = "vo_line_" + std::to_string(i);
            if (i % 20 != 0) r.duration = std::to_string(1 + rng() % 9) + "." + std::to_string(rng() % 1000);
        }
        doc.setRecord(i, std::move(r));
    }
    return doc;
}

std::string readAll(const fs::path& p)
{
    std::ifstream f(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), {});
}

// The best of kRuns runs; exits when a run fails.
ChildResult best(const std::string& program, const std::vector<std::string>& args, const std::string& out)
{
    ChildResult b;
    for (int i = 0; i < kRuns; ++i) {
        ChildResult r = runChild(program, args, out);
        if (r.status != 0) {
            std::fprintf(stderr, "%s failed with status %d\n", program.c_str(), r.status);
            std::exit(1);
        }
        if (i == 0 || r.seconds < b.seconds) b.seconds = r.seconds;
        if (i == 0 || r.cpuSeconds < b.cpuSeconds) b.cpuSeconds = r.cpuSeconds;
        b.maxRssKiB = std::max(b.maxRssKiB, r.maxRssKiB);
    }
    return b;
}

void print(const std::string& name, double value, const char* unit) { std::printf("%s %.3g %s\n", name.c_str(), value, unit); }

} // namespace

int main(int argc, char** argv)
{
    fs::path dir;
    if (argc > 1) {
        dir = argv[1];
        fs::create_directories(dir);
    } else {
        std::string tmpl = (fs::temp_directory_path() / "qmclibench-XXXXXX").string();
        if (!::mkdtemp(tmpl.data())) return 1;
        dir = tmpl;
    }
    const std::string tlk = (dir / "big.tlk").string(), json = (dir / "big.json").string(),
                      back = (dir / "back.tlk").string(), copy = (dir / "copy.json").string();
    // The table is made in a child of its own: a child's peak memory counts
    // what its parent held when it was forked, so the parent stays small.
    pid_t maker = ::fork();
    if (maker == 0) {
        WriteTlk(makeTable(), tlk, '.');
        std::fflush(stdout);
        _exit(0);
    }
    int status = 0;
    if (maker < 0 || ::waitpid(maker, &status, 0) != maker || status != 0) return 1;

    const std::string n = std::to_string(kEntries);
    ChildResult toJson = best(QUELLMOOR_CLI, {"tlk-to-json", tlk}, json);
    print("cli.tlk-to-json." + n, toJson.seconds, "s");
    print("cli.tlk-to-json." + n + ".cpu", toJson.cpuSeconds, "s");
    print("cli.tlk-to-json." + n + ".peak-memory", toJson.maxRssKiB / 1024.0, "MiB");
    ChildResult toTlk = best(QUELLMOOR_CLI, {"json-to-tlk", json, back}, {});
    print("cli.json-to-tlk." + n, toTlk.seconds, "s");
    print("cli.json-to-tlk." + n + ".cpu", toTlk.cpuSeconds, "s");
    print("cli.json-to-tlk." + n + ".peak-memory", toTlk.maxRssKiB / 1024.0, "MiB");
    ChildResult cat = best("/bin/cat", {json}, copy);
    print("cat." + n, cat.seconds, "s");
    print("tlk-size." + n, double(fs::file_size(tlk)) / (1 << 20), "MiB");
    print("json-size." + n, double(fs::file_size(json)) / (1 << 20), "MiB");

    bool same = readAll(tlk) == readAll(back);
    if (argc <= 1) fs::remove_all(dir);
    if (!same) {
        std::fprintf(stderr, "json-to-tlk did not give back the original talk table\n");
        return 1;
    }
    return 0;
}
