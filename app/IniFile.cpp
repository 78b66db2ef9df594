#include "IniFile.h"

#include "AtomicFileWriter.h"
#include "FileError.h"
#include "InputFile.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <optional>
#include <sys/stat.h>
#include <vector>

namespace {

struct Line {
    std::string text;  // without its line end
    std::string end;   // "\r\n", "\n", "\r" or "" for a last line without one
};

std::vector<Line> splitLines(const std::string& s)
{
    std::vector<Line> lines;
    size_t i = 0;
    while (i < s.size()) {
        size_t j = s.find_first_of("\r\n", i);
        if (j == std::string::npos) {
            lines.push_back({s.substr(i), ""});
            break;
        }
        size_t endLen = (s[j] == '\r' && j + 1 < s.size() && s[j + 1] == '\n') ? 2 : 1;
        lines.push_back({s.substr(i, j - i), s.substr(j, endLen)});
        i = j + endLen;
    }
    return lines;
}

std::string trim(const std::string& s)
{
    size_t b = s.find_first_not_of(" \t");
    if (b == std::string::npos) return {};
    size_t e = s.find_last_not_of(" \t");
    return s.substr(b, e - b + 1);
}

bool sameName(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](unsigned char x, unsigned char y) {
               return std::tolower(x) == std::tolower(y);
           });
}

std::optional<std::string> sectionName(const std::string& text)
{
    std::string t = trim(text);
    if (t.size() >= 2 && t.front() == '[' && t.back() == ']') return trim(t.substr(1, t.size() - 2));
    return std::nullopt;
}

// The key of a "key=value" line, if it is one.
std::optional<std::string> keyName(const std::string& text)
{
    size_t eq = text.find('=');
    if (eq == std::string::npos) return std::nullopt;
    return trim(text.substr(0, eq));
}

// The file's text, or nothing when there is no file. Throws FileError when
// something is there that cannot be read (a folder, a file without read
// permission): a write must not replace such a file with only its own line.
std::optional<std::string> loadFile(const std::string& path)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 && errno == ENOENT) return std::nullopt;
    InputFile in(path);
    std::string text(in.size(), '\0');
    in.readAt(0, text.data(), text.size());
    return text;
}

// Finds the key's line and the last line of the section; -1 where missing.
void locate(const std::vector<Line>& lines, const std::string& section, const std::string& key, long& sectionLast,
            long& keyLine)
{
    sectionLast = keyLine = -1;
    bool inSection = false;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (auto name = sectionName(lines[i].text)) {
            inSection = sameName(*name, section);
            if (inSection && sectionLast < 0) sectionLast = long(i);
            continue;
        }
        if (!inSection) continue;
        if (!trim(lines[i].text).empty()) sectionLast = long(i);
        if (keyLine < 0) {
            if (auto k = keyName(lines[i].text); k && sameName(*k, key)) keyLine = long(i);
        }
    }
}

} // namespace

std::string IniFile::readString(const std::string& section, const std::string& key, const std::string& def) const
{
    std::optional<std::string> content;
    try {
        content = loadFile(path_);
    } catch (const FileError&) {
        // Unreadable counts as missing: the defaults are used.
    }
    if (!content) return def;
    auto lines = splitLines(*content);
    long sectionLast, keyLine;
    locate(lines, section, key, sectionLast, keyLine);
    if (keyLine < 0) return def;
    const std::string& text = lines[size_t(keyLine)].text;
    std::string value = trim(text.substr(text.find('=') + 1));
    if (value.size() > kMaxValue) value.resize(kMaxValue);
    return value;
}

void IniFile::writeString(const std::string& section, const std::string& key, const std::string& value)
{
    std::optional<std::string> content;
    try {
        content = loadFile(path_);
    } catch (const FileError&) {
        throw IniWriteError("Unable to write to " + path_);
    }
    auto lines = splitLines(content.value_or(std::string()));
    long sectionLast, keyLine;
    locate(lines, section, key, sectionLast, keyLine);
    Line entry{key + "=" + value, "\r\n"};
    if (keyLine >= 0) {
        entry.end = lines[size_t(keyLine)].end.empty() ? "" : lines[size_t(keyLine)].end;
        lines[size_t(keyLine)].text = entry.text;
    } else {
        if (sectionLast < 0) {
            if (!lines.empty() && lines.back().end.empty()) lines.back().end = "\r\n";
            lines.push_back({"[" + section + "]", "\r\n"});
            sectionLast = long(lines.size()) - 1;
        }
        Line& before = lines[size_t(sectionLast)];
        if (before.end.empty()) before.end = "\r\n";
        lines.insert(lines.begin() + sectionLast + 1, entry);
    }
    std::string out;
    for (const auto& l : lines) out += l.text + l.end;
    try {
        AtomicFileWriter w(path_);
        w.write(out);
        w.commit();
    } catch (const FileError&) {
        throw IniWriteError("Unable to write to " + path_);
    }
}
