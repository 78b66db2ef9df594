#include "CliArguments.h"

#include "CliError.h"
#include "CodePage.h"

CliArguments parseCliArguments(const std::vector<std::string>& args)
{
    CliArguments out;
    out.codePage = &CodePage::cp1251();
    auto setEncoding = [&](const std::string& name) {
        if (name != "cp1251" && name != "cp1252")
            throw CliError("unknown encoding \"" + name + "\": use cp1251 or cp1252");
        out.codePage = CodePage::byName(name);
    };
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (optionsEnded || a.size() < 2 || a[0] != '-') {
            if (out.command.empty())
                out.command = a;
            else
                out.files.push_back(a);
        } else if (a == "--") {
            optionsEnded = true;
        } else if (a == "--help" || a == "-h") {
            out.help = true;
        } else if (a == "--force") {
            out.force = true;
        } else if (a == "--encoding") {
            if (i + 1 == args.size()) throw CliError("--encoding needs a value: cp1251 or cp1252");
            setEncoding(args[++i]);
        } else if (a.rfind("--encoding=", 0) == 0) {
            setEncoding(a.substr(11));
        } else {
            throw CliError("unknown option " + a + " (see quellmoor-cli --help)");
        }
    }
    return out;
}
