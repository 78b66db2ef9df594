#include "CliFixture.h"

#include "ChildProcess.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>

namespace fs = std::filesystem;

void CliFixture::SetUp()
{
    std::string tmpl = (fs::temp_directory_path() / "qmcli-XXXXXX").string();
    ASSERT_NE(::mkdtemp(tmpl.data()), nullptr);
    dir_ = tmpl;
}

void CliFixture::TearDown()
{
    std::error_code ec;
    fs::remove_all(dir_, ec);
}

void CliFixture::writeFile(const std::string& name, const std::string& bytes) const
{
    std::ofstream f(dir_ / name, std::ios::binary);
    f.write(bytes.data(), std::streamsize(bytes.size()));
}

std::string CliFixture::readFile(const std::string& name) const
{
    std::ifstream f(dir_ / name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), {});
}

std::set<std::string> CliFixture::files() const
{
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(dir_)) names.insert(e.path().filename().string());
    return names;
}

CliRun CliFixture::run(const std::vector<std::string>& args) const
{
    std::string out = (dir_.parent_path() / (dir_.filename().string() + ".out")).string();
    std::string err = (dir_.parent_path() / (dir_.filename().string() + ".err")).string();
    ChildResult child = runChild(QUELLMOOR_CLI, args, out, err);
    CliRun r;
    r.status = child.status;
    for (auto [from, to] : {std::pair{&out, &r.out}, std::pair{&err, &r.err}}) {
        std::ifstream f(*from, std::ios::binary);
        *to = std::string(std::istreambuf_iterator<char>(f), {});
        fs::remove(*from);
    }
    return r;
}

void CliFixture::expectError(const CliRun& r, const std::vector<std::string>& fragments)
{
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_EQ(r.out, "");
    ASSERT_FALSE(r.err.empty());
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    EXPECT_EQ(r.err.back(), '\n');
    for (const std::string& f : fragments) EXPECT_NE(r.err.find(f), std::string::npos) << "no \"" << f << "\" in " << r.err;
}
