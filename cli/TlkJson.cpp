#include "TlkJson.h"

#include "CodePage.h"
#include "JsonInput.h"
#include "JsonOutput.h"
#include "NumberText.h"
#include "TlkDocument.h"
#include "TlkDocumentBuilder.h"


namespace {

constexpr char kSeparator = '.';

class TlkJsonReader : public JsonReader {
public:
    explicit TlkJsonReader(const CodePage& page) : page_(page) {}

    TlkDocument finish() { return builder_.finish(); }

    bool start_array(std::size_t) override
    {
        if (at_ == At::Top) {
            at_ = At::Items;
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
        if (at_ != At::Items) return unexpected("an object");
        at_ = At::Item;
        item_.seen = 0;
        for (std::string& cell : item_.cells) cell.clear();
        return true;
    }
    bool key(string_t& name) override
    {
        Key k = Key::None;
        for (int i = 0; i < kKeyCount; ++i)
            if (name == kKeyNames[i]) k = Key(i);
        if (k == Key::None)
            return fail(where() + "unknown key \"" + printable(name) +
                        "\"; an entry has only \"strref\", \"text\", \"sound\" and \"duration\"");
        if (item_.seen & (1u << int(k))) return fail(where() + "\"" + name + "\" is given twice");
        item_.seen |= 1u << int(k);
        key_ = k;
        return true;
    }
    bool end_object() override
    {
        at_ = At::Items;
        return finishItem();
    }
    bool string(string_t& value) override
    {
        if (at_ != At::Item || key_ == Key::StrRef) return unexpected("a string");
        // Copied, not moved: the parser's buffer and the cell both keep
        // their room for the next entry.
        item_.cells[int(key_)].assign(value);
        return true;
    }
    bool number_unsigned(number_unsigned_t value) override
    {
        if (at_ != At::Item || key_ != Key::StrRef) return unexpected("a number");
        item_.strref = value;
        return true;
    }

protected:
    bool unexpected(const std::string& kind) override
    {
        switch (at_) {
        case At::Top: return fail("the file must hold an array of talk table entries, not " + kind);
        case At::Items: return fail(where() + "each entry must be an object, not " + kind);
        default:
            if (key_ == Key::StrRef)
                return fail(where() + "\"strref\" must be a whole number from 0 to 16777215, not " + kind);
            return fail(where() + "\"" + kKeyNames[int(key_)] + "\" must be a string, not " + kind);
        }
    }

private:
    enum class At { Top, Items, Item, Done };
    enum class Key { StrRef, Text, Sound, Duration, None };
    static constexpr int kKeyCount = 4;
    static constexpr const char* kKeyNames[kKeyCount] = {"strref", "text", "sound", "duration"};

    struct Item {
        unsigned seen = 0;
        std::uint64_t strref = 0;
        std::string cells[kKeyCount]; // UTF-8, indexed by Key
    };

    // Entries are counted from 0 like the array's items.
    std::string where() const { return "entry " + std::to_string(index_) + ": "; }

    bool encode(Key k, Bytes& out)
    {
        std::string problem;
        if (encodeJsonText(item_.cells[int(k)], page_, out, problem)) return true;
        return fail(where() + "\"" + kKeyNames[int(k)] + "\" " + problem);
    }

    bool finishItem()
    {
        std::uint64_t strref = next_;
        if (item_.seen & (1u << int(Key::StrRef))) {
            strref = item_.strref;
            if (strref < next_)
                return fail(where() + "\"strref\" " + std::to_string(strref) + " is below the next StrRef " +
                            std::to_string(next_) + "; StrRefs must rise from entry to entry");
            if (strref > tlk::kMaxStrRef)
                return fail(where() + "\"strref\" " + std::to_string(strref) +
                            " is above 16777215, the largest StrRef");
        } else if (strref > tlk::kMaxStrRef) {
            return fail(where() + "a talk table holds at most 16777216 entries");
        }
        TlkRecord record;
        if (!encode(Key::Text, record.text) || !encode(Key::Sound, record.sound) ||
            !encode(Key::Duration, record.duration))
            return false;
        if (record.sound.size() > tlk::kSoundRefSize)
            return fail(where() + "\"sound\" is " + std::to_string(record.sound.size()) +
                        " bytes long; a sound reference holds at most 16");
        if (record.sound.find('\0') != Bytes::npos)
            return fail(where() + "\"sound\" holds a zero character, which would end the sound reference");
        if (!record.duration.empty() && !durationTextToFloat(record.duration, kSeparator))
            return fail(where() + "\"duration\": '" + printable(page_.decodeToUtf8(record.duration)) +
                        "' is not a valid floating point value");

        if (strref > next_) builder_.appendBlank(std::uint32_t(strref - next_));
        builder_.append(std::move(record));
        next_ = strref + 1;
        ++index_;
        return true;
    }

    const CodePage& page_;
    TlkDocumentBuilder builder_;
    At at_ = At::Top;
    Key key_ = Key::None;
    Item item_;
    std::uint64_t index_ = 0;
    std::uint64_t next_ = 0;
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
    TlkJsonReader reader(page);
    reader.parseFile(path);
    return reader.finish();
}
