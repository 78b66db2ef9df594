#include "IniFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/stat.h>

namespace fs = std::filesystem;

class IniFileTest : public testing::Test {
protected:
    void SetUp() override
    {
        dir = fs::temp_directory_path() / ("qm_ini_" + std::to_string(::getpid()));
        fs::remove_all(dir);
        fs::create_directories(dir);
        path = (dir / "varnholdstd.conf").string();
    }
    void TearDown() override
    {
        fs::permissions(dir, fs::perms::owner_all);
        fs::remove_all(dir);
    }
    void put(const std::string& s) { std::ofstream(path, std::ios::binary) << s; }
    std::string get()
    {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    fs::path dir;
    std::string path;
};

TEST_F(IniFileTest, DefaultsWhenFileSectionOrKeyIsMissing)
{
    IniFile ini(path);
    EXPECT_EQ(ini.readString("settings", "TlkInitialDirectory", "/exe/"), "/exe/");
    EXPECT_FALSE(fs::exists(path));
    put("[other]\r\nTlkInitialDirectory=/no/\r\n[Settings]\r\ntlkinitialdirectory = /a/b/ \r\n_2daInitialDirectory=\r\n");
    EXPECT_EQ(ini.readString("SETTINGS", "TlkInitialDirectory", "/exe/"), "/a/b/");
    EXPECT_EQ(ini.readString("settings", "_2daInitialDirectory", "/exe/"), "");
    EXPECT_EQ(ini.readString("settings", "Missing", "/exe/"), "/exe/");
}

TEST_F(IniFileTest, LongValuesAreCut)
{
    put("[settings]\nk=" + std::string(3000, 'x') + "\n");
    EXPECT_EQ(IniFile(path).readString("settings", "k", "").size(), 2047u);
}

TEST_F(IniFileTest, WritesKeepOtherLines)
{
    IniFile ini(path);
    ini.writeString("settings", "TlkInitialDirectory", "/a/");
    EXPECT_EQ(get(), "[settings]\r\nTlkInitialDirectory=/a/\r\n");
    put("; note\n[Settings]\nTLKINITIALDIRECTORY=/old/\nother=1\n[x]\ny=2");
    ini.writeString("settings", "TlkInitialDirectory", "/new/");
    ini.writeString("settings", "_2daInitialDirectory", "/2da/");
    EXPECT_EQ(get(), "; note\n[Settings]\nTlkInitialDirectory=/new/\nother=1\n_2daInitialDirectory=/2da/\r\n[x]\ny=2");
    EXPECT_EQ(ini.readString("settings", "_2daInitialDirectory", ""), "/2da/");
    EXPECT_EQ(ini.readString("x", "y", ""), "2");
}

TEST_F(IniFileTest, WriteFailureNamesTheFile)
{
    if (::geteuid() == 0) {
        // root may write anywhere; a missing folder fails for everyone.
        IniFile ini((dir / "missing" / "varnholdstd.conf").string());
        EXPECT_THROW(ini.writeString("settings", "k", "v"), IniWriteError);
        return;
    }
    fs::permissions(dir, fs::perms::owner_read | fs::perms::owner_exec);
    IniFile ini(path);
    try {
        ini.writeString("settings", "k", "v");
        FAIL();
    } catch (const IniWriteError& e) {
        EXPECT_EQ(std::string(e.what()), "Unable to write to " + path);
    }
}

TEST_F(IniFileTest, FolderAtThePathReadsAsMissingAndRefusesWrites)
{
    fs::create_directory(path);
    IniFile ini(path);
    EXPECT_EQ(ini.readString("settings", "TlkInitialDirectory", "/exe/"), "/exe/");
    try {
        ini.writeString("settings", "TlkInitialDirectory", "/a/");
        FAIL();
    } catch (const IniWriteError& e) {
        EXPECT_EQ(std::string(e.what()), "Unable to write to " + path);
    }
    EXPECT_TRUE(fs::is_directory(path));
}
