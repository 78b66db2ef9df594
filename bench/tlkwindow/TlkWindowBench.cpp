// How long the talk table editor window keeps the event loop waiting while
// it opens and saves a large table: the longest stretch between two runs of
// the loop, and the total time of each command.
//
//   tlk_window_bench [--entries 1000000] [--dir FOLDER]
//
// Runs the real window (offscreen unless QT_QPA_PLATFORM says otherwise)
// with scripted file dialogs. Prints one figure per line: name value unit.
// A 1 ms timer stamps every run of the loop; where the longest gap fell
// (the progress display's caption and position before and after it) goes
// to stderr, with the times of the reader's and writer's phases between the
// points where the window can let the loop run, measured on the same file
// without the window.

#include "Application.h"
#include "Mainunit.h"
#include "ScriptedDialogs.h"
#include "StringGrid.h"
#include "TlkDocument.h"
#include "TlkFile.h"
#include "TlkFormat.h"
#include "TlkWriter.h"
#include "Tlkeditunit.h"

#include <QDir>
#include <QLabel>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QTimer>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

using Clock = std::chrono::steady_clock;

namespace {

struct Random {
    std::uint64_t state = 0x9E3779B97F4A7C15ull;
    std::uint32_t below(std::uint32_t n)
    {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        return std::uint32_t(state >> 11) % n;
    }
};

// count entries: texts of about 60 bytes, one in ten empty; a quarter with a
// sound reference, four in five of those with a duration.
void writeTable(const std::string& path, std::uint32_t count)
{
    static const char* const words[] = {"the", "guard", "says", "you", "shall", "not", "pass", "gate", "of",
                                        "night", "silver", "river", "merchant", "gold", "road", "north",
                                        "\xE3\xEE\xF0\xEE\xE4", "\xE4\xEE\xF0\xEE\xE3\xE0", "\xEC\xE0\xE3"};
    Random random;
    std::string table(std::size_t(count) * tlk::kEntrySize, '\0');
    std::string strings;
    strings.reserve(std::size_t(count) * 56);
    for (std::uint32_t i = 0; i < count; ++i) {
        char* e = table.data() + std::size_t(i) * tlk::kEntrySize;
        std::uint32_t flags = 0;
        const std::size_t offset = strings.size();
        if (random.below(10) != 0) {
            flags |= tlk::TextPresent;
            const std::size_t length = 40 + random.below(41);
            while (strings.size() - offset < length) {
                strings += words[random.below(sizeof words / sizeof *words)];
                strings += ' ';
            }
        }
        if (random.below(4) == 0) {
            flags |= tlk::SoundPresent;
            const std::string sound = "vo_" + std::to_string(i);
            std::memcpy(e + tlk::kSoundRefAt, sound.data(), std::min<std::size_t>(sound.size(), 16));
            if (random.below(5) != 0) {
                flags |= tlk::SoundLengthPresent;
                tlk::writeU32(e + tlk::kSoundLengthAt, tlk::floatToBits(0.5f + float(random.below(2000)) / 100));
            }
        }
        tlk::writeU32(e + tlk::kFlagsAt, flags);
        tlk::writeU32(e + tlk::kStringOffsetAt, std::uint32_t(offset));
        tlk::writeU32(e + tlk::kStringSizeAt, std::uint32_t(strings.size() - offset));
    }
    char header[tlk::kHeaderSize];
    std::memcpy(header, "TLK V3.0", 8);
    tlk::writeU32(header + 8, 0);
    tlk::writeU32(header + 12, count);
    tlk::writeU32(header + 16, std::uint32_t(tlk::kHeaderSize + table.size()));
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(header, sizeof header);
    out.write(table.data(), std::streamsize(table.size()));
    out.write(strings.data(), std::streamsize(strings.size()));
    if (!out) throw std::runtime_error("cannot write " + path);
}

// Stamps every run of the event loop while a command runs.
class LoopGaps {
public:
    explicit LoopGaps(TTlkEditForm& form) : form_(form)
    {
        timer_.setTimerType(Qt::PreciseTimer);
        timer_.setInterval(1);
        QObject::connect(&timer_, &QTimer::timeout, [this] { stamp(); });
    }

    template <typename Command>
    void measure(Command command)
    {
        stamps_.clear();
        timer_.start();
        stamp();
        const Clock::time_point start = stamps_.back().at;
        command();
        stamp();
        total_ = Clock::now() - start;
        timer_.stop();
    }

    double maxGapMs() const { return ms(longest().second); }
    double totalMs() const { return ms(total_); }
    // Where the longest gap fell.
    std::string where() const
    {
        const std::size_t i = longest().first;
        if (i == 0) return "no gap";
        return "between [" + stamps_[i - 1].state + "] and [" + stamps_[i].state + "]";
    }

private:
    struct Stamp {
        Clock::time_point at;
        std::string state;
    };

    static double ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

    void stamp()
    {
        std::string state = std::string(form_.isBusy() ? "in the loop" : "outside") + ", rows " +
                            std::to_string(form_.StringGrid1->model()->rowCount());
        if (!form_.ProgressLabel->isHidden())
            state += ", " + form_.ProgressLabel->text().toStdString() + " " +
                     std::to_string(form_.ProgressBar1->value()) + "/" + std::to_string(form_.ProgressBar1->maximum());
        stamps_.push_back({Clock::now(), state});
    }

    std::pair<std::size_t, Clock::duration> longest() const
    {
        std::pair<std::size_t, Clock::duration> best{0, Clock::duration::zero()};
        for (std::size_t i = 1; i < stamps_.size(); ++i)
            if (stamps_[i].at - stamps_[i - 1].at > best.second) best = {i, stamps_[i].at - stamps_[i - 1].at};
        return best;
    }

    TTlkEditForm& form_;
    QTimer timer_;
    std::vector<Stamp> stamps_;
    Clock::duration total_{};
};

// Stamps named points of the core's reader and writer.
class Phases {
public:
    void mark(const char* name) { marks_.push_back({name, Clock::now()}); }
    void report(const char* what) const
    {
        std::fprintf(stderr, "%s phases:", what);
        for (std::size_t i = 1; i < marks_.size(); ++i)
            std::fprintf(stderr, " %s %.1f ms;", marks_[i].first,
                         std::chrono::duration<double, std::milli>(marks_[i].second - marks_[i - 1].second).count());
        std::fprintf(stderr, "\n");
    }

private:
    std::vector<std::pair<const char*, Clock::time_point>> marks_;
};

// The reader's and the writer's stretches between the points at which the
// window can let the loop run: a stretch with no point inside is a gap that
// the window cannot shorten.
void reportCorePhases(const std::string& path)
{
    Phases read;
    TlkReadPoints rp;
    rp.afterEntryTable = [&] { read.mark("open, header and entry table"); };
    rp.afterClose = [&] { read.mark("string data and close"); };
    read.mark("start");
    auto file = ReadTlk(path, rp);
    read.mark("entry checks");
    TlkDocument doc;
    doc.assign(file);
    read.mark("document assign");
    read.report("read");

    Phases write;
    TlkWritePoints wp;
    wp.start = [&] { write.mark("create"); };
    wp.entry = [&](std::uint32_t i) {
        if (i == 0) write.mark("to first entry");
        if (i + 1 == doc.count()) write.mark("entry table");
    };
    wp.text = [&](std::uint32_t i) {
        if (i == 0) write.mark("first block of texts");
    };
    wp.end = [&] { write.mark("texts"); };
    write.mark("start");
    WriteTlk(doc, path + ".copy", '.', wp);
    write.mark("commit (flush, fsync, rename)");
    write.report("write");
    std::remove((path + ".copy").c_str());
}

void print(const std::string& name, double value, const char* unit)
{
    std::printf("%s %.0f %s\n", name.c_str(), value, unit);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    std::uint32_t entries = 1000000;
    QString folder;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--entries") == 0) entries = std::uint32_t(std::stoul(argv[i + 1]));
        else if (std::strcmp(argv[i], "--dir") == 0) folder = QString::fromLocal8Bit(argv[i + 1]);
    }
    Application app(argc, argv);
    QTemporaryDir dir(folder.isEmpty() ? QDir::tempPath() + "/tlk_window_bench-XXXXXX"
                                       : folder + "/tlk_window_bench-XXXXXX");
    if (!dir.isValid()) {
        std::fprintf(stderr, "cannot make a temporary folder\n");
        return 1;
    }
    const QString path = dir.path() + "/large.tlk";
    writeTable(QFile::encodeName(path).toStdString(), entries);

    ScriptedDialogs dialogs;
    app.setDialogs(&dialogs);
    TMainForm frame(dialogs, dir.path() + "/");
    MainForm = &frame;
    frame.show();
    frame.EditTlkExecute();
    TTlkEditForm& form = *TlkEditForm;
    QCoreApplication::processEvents();
    LoopGaps gaps(form);
    const std::string n = std::to_string(entries);

    dialogs.answerOpen({path});
    gaps.measure([&] { form.tbOpenFileClick(); });
    if (form.StringGrid1->model()->rowCount() != int(entries) + 1) {
        std::fprintf(stderr, "the open failed\n");
        return 1;
    }
    print("tlk.window.open." + n + ".max_gap", gaps.maxGapMs(), "ms");
    print("tlk.window.open." + n + ".total", gaps.totalMs(), "ms");
    std::fprintf(stderr, "open: longest gap %s\n", gaps.where().c_str());

    // A change, so that Save writes the opened file.
    dialogs.answerMessage(mbYes);
    form.tbClearRowClick();
    gaps.measure([&] { form.tbSaveClick(); });
    if (form.Modified || dialogs.unexpected()) {
        std::fprintf(stderr, "the save failed: %s\n", dialogs.problems().join("; ").toStdString().c_str());
        return 1;
    }
    print("tlk.window.save." + n + ".max_gap", gaps.maxGapMs(), "ms");
    print("tlk.window.save." + n + ".total", gaps.totalMs(), "ms");
    std::fprintf(stderr, "save: longest gap %s\n", gaps.where().c_str());
    reportCorePhases(QFile::encodeName(path).toStdString());

    app.setDialogs(nullptr);
    MainForm = nullptr;
    return 0;
}
