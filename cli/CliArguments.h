#pragma once

#include <string>
#include <vector>

class CodePage;

// The command line as given: the command name, its files, and the options,
// which may stand anywhere after the program name.
struct CliArguments {
    std::string command;
    std::vector<std::string> files;
    const CodePage* codePage = nullptr; // never null after parsing; cp1251 unless --encoding says otherwise
    bool force = false;
    bool help = false;
};

// Throws CliError on an unknown option, an unknown encoding or a missing value.
// "--" ends the options, so that a file name may begin with "-".
CliArguments parseCliArguments(const std::vector<std::string>& args);
