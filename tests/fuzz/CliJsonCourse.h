#pragma once

#include "CliError.h"
#include "CodePage.h"
#include "FuzzCheck.h"
#include "FuzzTempFile.h"
#include "JsonOutput.h"

#include <fcntl.h>
#include <functional>
#include <optional>
#include <string>
#include <unistd.h>

// The course of a target for a JSON reader of quellmoor-cli: the reader runs
// on the input file under each code page the program offers. Where it
// refuses the input it must throw CliError; where it accepts it, check gets
// what it read and says whether to go on; then what the program's printer
// makes of it is read back by the same reader and handed to reprinted with
// the original.
template <typename Value>
void runCliJsonCourse(const FuzzTempFile& input, Value (*read)(const std::string&, const CodePage&),
                      void (*print)(const Value&, JsonOutput&),
                      const std::function<bool(const Value&, const CodePage&)>& check,
                      const std::function<void(const Value& original, const Value& reprinted)>& reprinted)
{
    static FuzzTempFile printed("printed.json");
    for (const CodePage* page : {&CodePage::cp1251(), &CodePage::cp1252()}) {
        std::optional<Value> value;
        try {
            value = read(input.path(), *page);
        } catch (const CliError&) {
            continue;
        }
        if (!check(*value, *page)) continue;
        int fd = ::open(printed.path().c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        FUZZ_CHECK(fd >= 0);
        JsonOutput out(fd, *page);
        print(*value, out);
        out.finish();
        ::close(fd);
        reprinted(*value, read(printed.path(), *page));
    }
}
