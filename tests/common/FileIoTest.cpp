#include "AtomicFileWriter.h"
#include "FileError.h"
#include "InputFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {
std::string slurp(const fs::path& p)
{
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}
}

TEST(AtomicFileWriter, ReplacesTheTargetOnlyOnCommit)
{
    fs::path dir = fs::temp_directory_path() / "qm_atomic_test";
    fs::remove_all(dir);
    fs::create_directories(dir);
    fs::path target = dir / "a.bin";
    std::ofstream(target) << "old";
    {
        AtomicFileWriter w(target.string());
        w.write("new contents");
        EXPECT_EQ(slurp(target), "old");
    } // dropped without commit
    EXPECT_EQ(slurp(target), "old");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), {}), 1);
    {
        AtomicFileWriter w(target.string());
        std::string big(3 << 20, 'x');
        w.write(big);
        w.write("tail");
        w.commit();
        EXPECT_EQ(slurp(target), big + "tail");
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), {}), 1);
    EXPECT_THROW(AtomicFileWriter((dir / "missing" / "x").string()), FileError);
    EXPECT_THROW(AtomicFileWriter(dir.string()), FileError);
    fs::remove_all(dir);
}

TEST(InputFile, ReadsExactRangesAndRefusesMore)
{
    fs::path p = fs::temp_directory_path() / "qm_input_test.bin";
    std::ofstream(p, std::ios::binary) << "0123456789";
    InputFile f(p.string());
    EXPECT_EQ(f.size(), 10u);
    char buf[4];
    f.readAt(6, buf, 4);
    EXPECT_EQ(std::string(buf, 4), "6789");
    EXPECT_THROW(f.readAt(8, buf, 4), FileError);
    fs::remove(p);
    try {
        InputFile missing("/nonexistent/q.tlk");
        FAIL();
    } catch (const FileError& e) {
        EXPECT_STREQ(e.what(), "Cannot open file /nonexistent/q.tlk");
    }
}

TEST(AtomicFileWriter, DoesNotReplaceAFileThatMayNotBeWritten)
{
    if (::geteuid() == 0) GTEST_SKIP() << "root may write any file (the save fault tests cover it as nobody)";
    fs::path dir = fs::temp_directory_path() / "qm_atomic_readonly_test";
    fs::remove_all(dir);
    fs::create_directories(dir);
    fs::path target = dir / "a.bin";
    std::ofstream(target) << "old";
    fs::permissions(target, fs::perms::owner_read);
    EXPECT_THROW(AtomicFileWriter(target.string()), FileError);
    EXPECT_EQ(slurp(target), "old");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), {}), 1);
    fs::remove_all(dir);
}
