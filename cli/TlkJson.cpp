#include "TlkJson.h"

#include "BatchPipeline.h"
#include "CliError.h"
#include "JsonReader.h"
#include "JsonOutput.h"
#include "TlkDocument.h"
#include "TlkEntryChecker.h"
#include "TlkJsonEntry.h"

namespace {

constexpr char kSeparator = '.';
// Entries handed to the checking thread at a time.
constexpr std::size_t kBatchEntries = 4096;

// Takes the JSON file apart into entries and hands them on in batches; the
// shape (an array of objects with the four keys and values of their types)
// is checked here, the values by the TlkEntryChecker.
class TlkJsonReader : public JsonReader {
public:
    explicit TlkJsonReader(BatchPipeline<TlkJsonBatch>& pipeline) : pipeline_(pipeline) {}

    bool start_array(std::size_t) override
    {
        if (at_ == At::Top) {
            at_ = At::Entries;
            return true;
        }
        return unexpected("an array");
    }
    bool end_array() override
    {
        at_ = At::Done;
        return true;
    }
    bool start_object(std::size_t) override
    {
        if (at_ != At::Entries) return unexpected("an object");
        at_ = At::Entry;
        entry_ = &pipeline_.current().open();
        entry_->index = index_;
        return true;
    }
    bool key(string_t& name) override
    {
        int k = 0;
        while (k < TlkJsonEntry::KeyCount && name != TlkJsonEntry::kKeyNames[k]) ++k;
        if (k == TlkJsonEntry::KeyCount)
            return fail(entryPlace(index_) + "unknown key \"" + printable(name) +
                        "\"; an entry has only \"strref\", \"text\", \"sound\" and \"duration\"");
        key_ = TlkJsonEntry::Key(k);
        if (entry_->has(key_)) return fail(entryPlace(index_) + "\"" + name + "\" is given twice");
        entry_->seen |= 1u << key_;
        return true;
    }
    bool end_object() override
    {
        at_ = At::Entries;
        ++index_;
        TlkJsonBatch& batch = pipeline_.current();
        batch.close();
        if (batch.count < kBatchEntries) return true;
        pipeline_.submit();
        // The checker refused an entry: its message is the one to give.
        return !pipeline_.stopped();
    }
    bool string(string_t& value) override
    {
        if (at_ != At::Entry || key_ == TlkJsonEntry::StrRef) return unexpected("a string");
        // Copied, not moved: the parser's buffer and the cell both keep
        // their room for the next entry.
        entry_->cells[key_].assign(value);
        return true;
    }
    bool number_unsigned(number_unsigned_t value) override
    {
        if (at_ != At::Entry || key_ != TlkJsonEntry::StrRef) return unexpected("a number");
        entry_->strref = value;
        return true;
    }

protected:
    bool unexpected(const std::string& kind) override
    {
        switch (at_) {
        case At::Top: return fail("the file must hold an array of talk table entries, not " + kind);
        case At::Entries: return fail(entryPlace(index_) + "each entry must be an object, not " + kind);
        default:
            if (key_ == TlkJsonEntry::StrRef)
                return fail(entryPlace(index_) + "\"strref\" must be a whole number from 0 to 16777215, not " + kind);
            return fail(entryPlace(index_) + "\"" + TlkJsonEntry::kKeyNames[key_] + "\" must be a string, not " + kind);
        }
    }

private:
    enum class At { Top, Entries, Entry, Done };

    BatchPipeline<TlkJsonBatch>& pipeline_;
    At at_ = At::Top;
    TlkJsonEntry::Key key_ = TlkJsonEntry::StrRef;
    TlkJsonEntry* entry_ = nullptr;
    std::uint64_t index_ = 0;
};

} // namespace

void writeTlkJson(const TlkDocument& doc, JsonOutput& out)
{
    const std::uint32_t n = doc.count();
    out.raw("[");
    for (std::uint32_t i = 0; i < n; ++i) {
        out.raw(i == 0 ? "\n{\"strref\": " : ",\n{\"strref\": ");
        out.number(i);
        if (BytesView text = doc.text(i); !text.empty()) {
            out.raw(", \"text\": ");
            out.string(text);
        }
        if (BytesView sound = doc.sound(i); !sound.empty()) {
            out.raw(", \"sound\": ");
            out.string(sound);
        }
        if (doc.duration(i).kind != TlkDocument::Duration::None) {
            out.raw(", \"duration\": ");
            out.string(doc.durationText(i, kSeparator));
        }
        out.raw("}");
    }
    out.raw(n == 0 ? "]\n" : "\n]\n");
}

TlkDocument readTlkJson(const std::string& path, const CodePage& page)
{
    // Parsing and checking run side by side; the first fault in the file's
    // order is reported, whichever side found it.
    TlkEntryChecker checker(page);
    BatchPipeline<TlkJsonBatch> pipeline([&](TlkJsonBatch& batch) {
        for (std::size_t i = 0; i < batch.count; ++i)
            if (!checker.add(batch.entries[i])) return false;
        return true;
    });
    TlkJsonReader reader(pipeline);
    std::string parseError;
    try {
        reader.parseFile(path);
    } catch (const CliError& e) {
        parseError = e.what();
    }
    // The entries before a fault in the JSON are checked too: a fault in
    // one of them comes first.
    pipeline.finish();
    if (!checker.error().empty()) throw CliError(path + ": " + checker.error());
    if (!parseError.empty()) throw CliError(parseError);
    return checker.finish();
}
