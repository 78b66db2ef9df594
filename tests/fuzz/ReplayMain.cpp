// Runs a fuzz target without libFuzzer: every file named on the command line,
// and every file under every folder named, is given to the target once, in
// name order. A broken property aborts the program, so the seed corpus
// serves as an ordinary test in every build, with or without sanitizers.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv)
{
    namespace fs = std::filesystem;
    std::vector<fs::path> inputs;
    for (int i = 1; i < argc; ++i) {
        fs::path p = argv[i];
        if (fs::is_directory(p)) {
            for (const auto& e : fs::recursive_directory_iterator(p))
                if (e.is_regular_file()) inputs.push_back(e.path());
        } else if (fs::is_regular_file(p)) {
            inputs.push_back(p);
        } else {
            std::fprintf(stderr, "%s: no such file or folder\n", argv[i]);
            return 1;
        }
    }
    // An empty corpus would pass without testing anything.
    if (inputs.empty()) {
        std::fprintf(stderr, "usage: %s FILE_OR_FOLDER... (no inputs found)\n", argv[0]);
        return 1;
    }
    std::sort(inputs.begin(), inputs.end());
    for (const fs::path& p : inputs) {
        std::ifstream in(p, std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        if (!in.good() && !in.eof()) {
            std::fprintf(stderr, "%s: cannot read\n", p.c_str());
            return 1;
        }
        std::fprintf(stderr, "replaying %s (%zu bytes)\n", p.c_str(), bytes.size());
        // A copy of exactly the input's size, so that a read past its end is
        // seen by AddressSanitizer as it would be under libFuzzer.
        std::vector<std::uint8_t> copy(bytes.begin(), bytes.end());
        LLVMFuzzerTestOneInput(copy.empty() ? nullptr : copy.data(), copy.size());
    }
    std::fprintf(stderr, "replayed %zu inputs\n", inputs.size());
    return 0;
}
