#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

// What one run of quellmoor-cli gave.
struct CliRun {
    int status = -1;
    std::string out;
    std::string err;
};

// A JSON file a command must refuse, and what its message must name.
struct JsonErrorCase {
    const char* name;
    std::string json;
    std::vector<std::string> fragments;
};

// A fresh folder per test, and the built program run on files in it.
class CliFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    std::string path(const std::string& name) const { return (dir_ / name).string(); }
    void writeFile(const std::string& name, const std::string& bytes) const;
    std::string readFile(const std::string& name) const;
    bool exists(const std::string& name) const { return std::filesystem::exists(dir_ / name); }
    // The names in the folder (no temporary file may be left behind).
    std::set<std::string> files() const;

    // Runs the program; arguments naming files must be given as path(...).
    CliRun run(const std::vector<std::string>& args) const;

    // Checks a failed run: status 1, nothing on standard output, one line on
    // standard error holding each of the fragments.
    static void expectError(const CliRun& r, const std::vector<std::string>& fragments);

private:
    std::filesystem::path dir_;
};
