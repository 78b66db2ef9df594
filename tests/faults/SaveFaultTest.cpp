// Every save path under the faults a builder's disk can throw at it: a folder
// that does not exist, a folder or a file that may not be written, a target
// that is a folder, and a disk that fills up before the first byte or in the
// middle of the file. Each save runs in a child process (so that a file size limit or
// a dropped privilege stays there) and must fail with its own message or
// exit status, leave the earlier file byte for byte as it was, and leave no
// temporary file behind.

#include "FaultChild.h"
#include "FileError.h"
#include "IniFile.h"
#include "Sheet.h"
#include "TlkDocument.h"
#include "TlkFile.h"
#include "TlkWriter.h"
#include "TwoDaTexts.h"
#include "TwoDaWriter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <set>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

// Exit statuses of a saving child.
constexpr int kSaved = 0;
constexpr int kRefused = 1;    // failed the way the save path reports failures
constexpr int kWrongError = 2; // failed with something else
constexpr int kStateLost = 3;  // failed, but left the caller's state wrong

// Large enough that a save writes more than the file layer's 1 MB buffer,
// so a disk that fills up stops it between two writes.
constexpr std::size_t kBigText = 600 * 1024;

std::string readBytes(const fs::path& p)
{
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void writeBytes(const fs::path& p, const std::string& bytes)
{
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), std::streamsize(bytes.size()));
}

// Everything under a folder, folders marked with a trailing '/'.
std::set<std::string> listing(const fs::path& dir)
{
    std::set<std::string> names;
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(dir, ec); !ec && it != fs::recursive_directory_iterator(); it.increment(ec))
        names.insert(fs::relative(it->path(), dir).string() + (it->is_directory() ? "/" : ""));
    return names;
}

int runCli(const std::vector<std::string>& args, const std::string& stdoutPath = "/dev/null")
{
    int in = ::open("/dev/null", O_RDONLY);
    int out = ::open(stdoutPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (in < 0 || out < 0 || ::dup2(in, STDIN_FILENO) < 0 || ::dup2(out, STDOUT_FILENO) < 0) return kWrongError;
    std::vector<char*> argv{const_cast<char*>(QUELLMOOR_CLI)};
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    ::execv(QUELLMOOR_CLI, argv.data());
    return 127;
}

// One way of saving, run inside the child.
struct Saver {
    std::string name;
    std::string fileName; // the target's name
    // Files the save reads, made in the inputs folder before it runs.
    std::function<void(const fs::path& inputs)> prepare;
    // Saves to target; returns an exit status above, writing any message to fd.
    std::function<int(const fs::path& inputs, const std::string& target, int fd)> save;
    // Checks a failure's message.
    std::function<void(const std::string& message, const std::string& target)> checkMessage;
    // A command of quellmoor-cli, which must be known to the program.
    std::string cliCommand;
};

// ---- the savers --------------------------------------------------------

TlkDocument bigTalkTable()
{
    TlkDocument doc;
    doc.assign(std::make_shared<TlkFile>());
    doc.appendBlank(4);
    for (std::uint32_t i = 0; i < 3; ++i)
        doc.setRecord(i, {Bytes(kBigText, char('a' + i)), "snd" + std::to_string(i), "1.5"});
    return doc;
}

int saveTlk(const fs::path&, const std::string& target, int fd)
{
    TlkDocument doc = bigTalkTable();
    // The editor locks its tool bar at the start point and must get it back.
    bool started = false, ended = false;
    TlkWritePoints points;
    points.start = [&] { started = true; };
    points.end = [&] { ended = true; };
    try {
        WriteTlk(doc, target, '.', points);
        return kSaved;
    } catch (const FileError& e) {
        writeAll(fd, e.what());
        return started != ended ? kStateLost : kRefused;
    } catch (const std::exception& e) {
        writeAll(fd, std::string("unexpected error: ") + e.what());
        return kWrongError;
    }
}

Sheet bigSheet()
{
    Sheet sheet;
    sheet.setColCount(8);
    sheet.setRowCount(1500);
    for (int c = 1; c < 8; ++c) sheet.setCell(c, 0, "Column" + std::to_string(c));
    for (int r = 1; r < 1500; ++r) {
        sheet.setCell(0, r, std::to_string(10 * r)); // relabelled 0, 1, ... by a save that succeeds
        for (int c = 1; c < 8; ++c) sheet.setCell(c, r, std::string(120, char('a' + c)));
    }
    return sheet;
}

int save2da(const fs::path&, const std::string& target, int fd)
{
    Sheet sheet = bigSheet();
    try {
        Write2da(sheet, target);
        return kSaved;
    } catch (const TwoDaWriteError& e) {
        writeAll(fd, e.what());
        // A save that failed leaves the labels and the corner cell alone.
        for (int r = 1; r < sheet.rowCount(); ++r)
            if (sheet.cell(0, r) != std::to_string(10 * r)) return kStateLost;
        return kRefused;
    } catch (const std::exception& e) {
        writeAll(fd, std::string("unexpected error: ") + e.what());
        return kWrongError;
    }
}

int saveSettings(const fs::path&, const std::string& target, int fd)
{
    IniFile ini(target);
    try {
        ini.writeString("settings", "TlkInitialDirectory", "/home/builder/" + std::string(3000, 'd') + "/");
        return kSaved;
    } catch (const IniWriteError& e) {
        writeAll(fd, e.what());
        return kRefused;
    } catch (const std::exception& e) {
        writeAll(fd, std::string("unexpected error: ") + e.what());
        return kWrongError;
    }
}

void expectOneCliLine(const std::string& message, const std::string& target)
{
    EXPECT_EQ(message.rfind("quellmoor-cli: ", 0), 0u) << message;
    EXPECT_EQ(std::count(message.begin(), message.end(), '\n'), 1) << message;
    EXPECT_NE(message.find(target), std::string::npos) << "the message does not name the file: " << message;
}

std::string bigTlkJson()
{
    std::string json = "[";
    for (int i = 0; i < 3; ++i)
        json += std::string(i ? "," : "") + "{\"text\": \"" + std::string(kBigText, char('a' + i)) + "\", \"duration\": \"1.5\"}";
    return json + ",{}]";
}

std::string big2daJson()
{
    std::string json = "[[\" \", \"A\", \"B\", \"C\"]";
    for (int r = 0; r < 4000; ++r)
        json += ",[\"" + std::to_string(r) + "\", \"" + std::string(150, 'x') + "\", \"y z\", \"\"]";
    return json + "]";
}

std::string big2daFile()
{
    std::string text = "2DA V2.0\r\n\r\n   A B C\r\n";
    for (int r = 0; r < 4000; ++r) text += std::to_string(r) + " " + std::string(150, 'x') + " \"y z\" ****\r\n";
    return text;
}

const std::vector<Saver>& savers()
{
    static const std::vector<Saver> list = {
        {"WriteTlk", "dialog.tlk", {}, saveTlk,
         [](const std::string& m, const std::string& target) {
             EXPECT_NE(m.find(target), std::string::npos) << "the message does not name the file: " << m;
         },
         {}},
        {"Write2da", "spells.2da", {}, save2da,
         [](const std::string& m, const std::string&) {
             EXPECT_EQ(m.rfind(std::string(kWriteOpenFailedText), 0), 0u) << m;
         },
         {}},
        {"SettingsFile", "varnholdstd.conf", {}, saveSettings,
         [](const std::string& m, const std::string& target) { EXPECT_EQ(m, "Unable to write to " + target); }, {}},
        {"CliJsonToTlk", "out.tlk", [](const fs::path& in) { writeBytes(in / "in.json", bigTlkJson()); },
         [](const fs::path& in, const std::string& target, int) {
             return runCli({"json-to-tlk", (in / "in.json").string(), target});
         },
         expectOneCliLine, "json-to-tlk"},
        {"CliJsonTo2da", "out.2da", [](const fs::path& in) { writeBytes(in / "in.json", big2daJson()); },
         [](const fs::path& in, const std::string& target, int) {
             return runCli({"json-to-2da", (in / "in.json").string(), target});
         },
         expectOneCliLine, "json-to-2da"},
        {"Cli2daNormalize", "out.2da", [](const fs::path& in) { writeBytes(in / "in.2da", big2daFile()); },
         [](const fs::path& in, const std::string& target, int) {
             return runCli({"2da-normalize", (in / "in.2da").string(), target});
         },
         expectOneCliLine, "2da-normalize"},
    };
    return list;
}

// Whether quellmoor-cli knows the command yet (it is run with no files, which
// every known command refuses with its usage).
bool cliKnows(const std::string& command)
{
    FaultChildResult r = runFaultChild({}, [&](int) { return runCli({command}); });
    return r.message.find("unknown command") == std::string::npos;
}

// ---- the faults ---------------------------------------------------------

enum class Fault { None, MissingFolder, ReadOnlyFolder, ReadOnlyFile, TargetIsFolder, DiskFullAtStart, DiskFullMidWrite };

const char* faultName(Fault f)
{
    switch (f) {
    case Fault::None: return "NoFault";
    case Fault::MissingFolder: return "MissingFolder";
    case Fault::ReadOnlyFolder: return "ReadOnlyFolder";
    case Fault::ReadOnlyFile: return "ReadOnlyFile";
    case Fault::TargetIsFolder: return "TargetIsFolder";
    case Fault::DiskFullAtStart: return "DiskFullAtStart";
    case Fault::DiskFullMidWrite: return "DiskFullMidWrite";
    }
    return "?";
}

// Test names and messages show the fault by name.
void PrintTo(Fault f, std::ostream* os) { *os << faultName(f); }

class SaveFault : public ::testing::TestWithParam<std::tuple<std::size_t, Fault>> {
protected:
    void SetUp() override
    {
        std::string tmpl = (fs::temp_directory_path() / "qm-fault-XXXXXX").string();
        ASSERT_NE(::mkdtemp(tmpl.data()), nullptr);
        base_ = tmpl;
        // The user "nobody" must reach the inputs and the program's files.
        for (const char* d : {"in", "work", "control"}) fs::create_directory(base_ / d);
        for (const fs::path& d : {base_, base_ / "in", base_ / "work", base_ / "control"})
            fs::permissions(d, fs::perms(0755));
    }
    void TearDown() override
    {
        std::error_code ec;
        fs::permissions(base_ / "work", fs::perms(0755), ec);
        fs::remove_all(base_, ec);
    }

    fs::path base_;
};

TEST_P(SaveFault, FailsWithItsMessageAndLeavesTheEarlierFileAndNoTemporaryFile)
{
    const Saver& saver = savers()[std::get<0>(GetParam())];
    const Fault fault = std::get<1>(GetParam());
    if (!saver.cliCommand.empty() && !cliKnows(saver.cliCommand))
        GTEST_SKIP() << "quellmoor-cli has no command " << saver.cliCommand << " yet";
    const fs::path in = base_ / "in";
    if (saver.prepare) saver.prepare(in);
    auto run = [&](const std::string& target, const FaultLimits& limits) {
        return runFaultChild(limits, [&](int fd) { return saver.save(in, target, fd); });
    };

    // Without a fault the save works, over the same earlier file; its size
    // places the mid-write fault.
    const std::string earlier = "the earlier file, which must survive\r\n" + std::string(500, 'e');
    const fs::path control = base_ / "control" / saver.fileName;
    writeBytes(control, earlier);
    FaultChildResult ok = run(control.string(), {});
    ASSERT_EQ(ok.status, kSaved) << ok.message;
    const std::string saved = readBytes(control);
    ASSERT_GT(saved.size(), 1000u);
    ASSERT_EQ(listing(base_ / "control"), std::set<std::string>{saver.fileName});

    const fs::path work = base_ / "work";
    fs::path target = work / saver.fileName;
    FaultLimits limits;
    switch (fault) {
    case Fault::None:
    case Fault::DiskFullAtStart:
    case Fault::DiskFullMidWrite:
        writeBytes(target, earlier);
        if (fault == Fault::DiskFullAtStart) limits.fileSizeLimit = 0;
        if (fault == Fault::DiskFullMidWrite) limits.fileSizeLimit = saved.size() / 2;
        break;
    case Fault::MissingFolder:
        target = work / "no such folder" / saver.fileName;
        break;
    case Fault::ReadOnlyFolder:
        writeBytes(target, earlier);
        fs::permissions(work, fs::perms(0555));
        // root writes into any folder: the save then runs as "nobody".
        limits.dropPrivileges = ::geteuid() == 0;
        break;
    case Fault::ReadOnlyFile:
        // In a folder anyone may write to, where only the file's own
        // permission can stop a temporary file from being renamed over it.
        writeBytes(target, earlier);
        fs::permissions(target, fs::perms(0444));
        fs::permissions(work, fs::perms(0777));
        limits.dropPrivileges = ::geteuid() == 0;
        break;
    case Fault::TargetIsFolder:
        fs::create_directory(target);
        writeBytes(target / "inside", earlier);
        break;
    }
    const std::set<std::string> before = listing(work);

    FaultChildResult r = run(target.string(), limits);
    if (r.status == kFaultSetupFailed) GTEST_SKIP() << "this machine cannot set up the fault: " << r.message;

    if (fault == Fault::None) {
        EXPECT_EQ(r.status, kSaved) << r.message;
        EXPECT_EQ(readBytes(target), saved);
        EXPECT_EQ(listing(work), before);
        return;
    }
    EXPECT_EQ(r.status, kRefused) << r.message;
    saver.checkMessage(r.message, target.string());
    EXPECT_EQ(listing(work), before) << "a file was left behind or removed";
    if (fault == Fault::TargetIsFolder) {
        EXPECT_TRUE(fs::is_directory(target));
        EXPECT_EQ(readBytes(target / "inside"), earlier);
    } else if (fault != Fault::MissingFolder) {
        EXPECT_EQ(readBytes(target), earlier);
    }
}

std::vector<std::size_t> saverIndexes()
{
    std::vector<std::size_t> v(savers().size());
    for (std::size_t i = 0; i < v.size(); ++i) v[i] = i;
    return v;
}

INSTANTIATE_TEST_SUITE_P(
    EverySavePath, SaveFault,
    ::testing::Combine(::testing::ValuesIn(saverIndexes()),
                       ::testing::Values(Fault::None, Fault::MissingFolder, Fault::ReadOnlyFolder, Fault::ReadOnlyFile,
                                         Fault::TargetIsFolder, Fault::DiskFullAtStart, Fault::DiskFullMidWrite)),
    [](const auto& info) {
        return savers()[std::get<0>(info.param)].name + "_" + faultName(std::get<1>(info.param));
    });

// tlk-to-json and 2da-to-json print to standard output: output that cannot
// be written is an error, never a success with a cut JSON text.
struct PrintCase {
    const char* name;
    std::string command;
    std::string inputName;
    std::function<std::string()> input;
    bool fullDevice; // /dev/full, else a file with a size limit
};

void PrintTo(const PrintCase& c, std::ostream* os) { *os << c.name; }

class CliPrintFault : public ::testing::TestWithParam<PrintCase> {};

TEST_P(CliPrintFault, OutputThatCannotBeWrittenIsAnError)
{
    const PrintCase& c = GetParam();
    if (!cliKnows(c.command)) GTEST_SKIP() << "quellmoor-cli has no command " << c.command << " yet";
    if (c.fullDevice && ::access("/dev/full", W_OK) != 0) GTEST_SKIP() << "no /dev/full here";
    std::string tmpl = (fs::temp_directory_path() / "qm-print-XXXXXX").string();
    ASSERT_NE(::mkdtemp(tmpl.data()), nullptr);
    const fs::path dir = tmpl;
    writeBytes(dir / c.inputName, c.input());
    const std::string output = c.fullDevice ? "/dev/full" : (dir / "out.json").string();
    FaultLimits limits;
    if (!c.fullDevice) limits.fileSizeLimit = 64 * 1024;
    FaultChildResult r =
        runFaultChild(limits, [&](int) { return runCli({c.command, (dir / c.inputName).string()}, output); });
    EXPECT_EQ(r.status, 1) << r.message;
    EXPECT_EQ(r.message.rfind("quellmoor-cli: ", 0), 0u) << r.message;
    EXPECT_EQ(std::count(r.message.begin(), r.message.end(), '\n'), 1) << r.message;
    std::error_code ec;
    fs::remove_all(dir, ec);
}

std::string bigTlkFile()
{
    return writeTlkBytes(bigTalkTable(), '.');
}

INSTANTIATE_TEST_SUITE_P(
    Printing, CliPrintFault,
    ::testing::Values(PrintCase{"TlkToJsonFullDevice", "tlk-to-json", "in.tlk", bigTlkFile, true},
                      PrintCase{"TlkToJsonDiskFull", "tlk-to-json", "in.tlk", bigTlkFile, false},
                      PrintCase{"TwoDaToJsonFullDevice", "2da-to-json", "in.2da", big2daFile, true},
                      PrintCase{"TwoDaToJsonDiskFull", "2da-to-json", "in.2da", big2daFile, false}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
