// vlib: the command-line library tool.
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "app/vlib/command.h"
#include "app/vlib/manual.h"
#include "vyne_config.h"

namespace vlib {
namespace {
std::vector<CommandInfo>& registry() {
    static std::vector<CommandInfo> r;
    return r;
}
}  // namespace

Command::Command(std::string name, std::string synopsis, std::string help, Run run) {
    registry().push_back({std::move(name), std::move(synopsis), std::move(help), std::move(run)});
}

const std::vector<CommandInfo>& commands() { return registry(); }

std::vector<const CommandInfo*> commandsByName() {
    std::vector<const CommandInfo*> sorted;
    for (const CommandInfo& c : registry()) sorted.push_back(&c);
    std::sort(sorted.begin(), sorted.end(), [](auto* a, auto* b) { return a->name < b->name; });
    return sorted;
}

int fail(int code, const std::string& message) {
    std::fprintf(stderr, "vlib: %s\n", message.c_str());
    return code;
}

bool Args::has(const std::string& name) const {
    for (auto& o : options)
        if (o.first == name) return true;
    return false;
}

std::string Args::value(const std::string& name, const std::string& fallback) const {
    for (auto& o : options)
        if (o.first == name) return o.second;
    return fallback;
}

bool parseArgs(const std::vector<std::string>& raw, const std::vector<std::string>& known,
               const std::vector<std::string>& withValue, Args& out) {
    auto listed = [](const std::vector<std::string>& v, const std::string& s) {
        for (auto& x : v)
            if (x == s) return true;
        return false;
    };
    for (size_t i = 0; i < raw.size(); ++i) {
        const std::string& a = raw[i];
        if (a.size() > 2 && a.rfind("--", 0) == 0) {
            std::string name = a.substr(2), value;
            if (auto eq = name.find('='); eq != std::string::npos) {
                value = name.substr(eq + 1);
                name = name.substr(0, eq);
            } else if (listed(withValue, name)) {
                if (i + 1 >= raw.size()) {
                    fail(Usage, "option --" + name + " needs a value");
                    return false;
                }
                value = raw[++i];
            }
            if (!listed(known, name) && !listed(withValue, name)) {
                fail(Usage, "unknown option --" + name);
                return false;
            }
            out.options.emplace_back(name, value);
        } else if (a.size() == 2 && a[0] == '-' && a[1] != '-') {
            std::string name(1, a[1]);
            if (!listed(known, name)) {
                fail(Usage, "unknown option " + a);
                return false;
            }
            out.options.emplace_back(name, "");
        } else {
            out.positional.push_back(a);
        }
    }
    return true;
}

}  // namespace vlib

namespace {

void printUsage(FILE* to) {
    std::fprintf(to, "Usage: vlib COMMAND [ARGS...]\n"
                     "Makes, reads and changes book libraries from the command line.\n\nCommands:\n");
    for (auto* c : vlib::commandsByName()) std::fprintf(to, "  %s\n", c->synopsis.c_str());
    std::fprintf(to, "\n'vlib COMMAND --help' describes a command.\n"
                     "  -h, --help     show this help and exit\n"
                     "  --version      show the version and exit\n");
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) {
        printUsage(stderr);
        return vlib::Usage;
    }
    if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        printUsage(stdout);
        return vlib::Ok;
    }
    if (args[0] == "--version") {
        std::printf("vlib (VYNE Browser) %s\n", VYNE_VERSION);
        return vlib::Ok;
    }
    // Not in the usage: the command names one a line, for shell completion; the manual page.
    if (args[0] == "--commands") {
        for (auto* c : vlib::commandsByName()) std::printf("%s\n", c->name.c_str());
        return vlib::Ok;
    }
    if (args[0] == "--man") {
        std::fputs(vlib::manualPage().c_str(), stdout);
        return vlib::Ok;
    }
    for (auto& c : vlib::commands()) {
        if (c.name != args[0]) continue;
        std::vector<std::string> rest(args.begin() + 1, args.end());
        for (auto& a : rest)
            if (a == "--help" || a == "-h") {
                std::printf("Usage: vlib %s\n\n%s\n", c.synopsis.c_str(), c.help.c_str());
                return vlib::Ok;
            }
        return c.run(rest);
    }
    vlib::fail(vlib::Usage, "unknown command '" + args[0] + "'");
    printUsage(stderr);
    return vlib::Usage;
}
