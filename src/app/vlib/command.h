// vlib's commands: each lives in its own file and registers itself with a static Command.
//
// Exit codes: 0 success, 1 the file is not a library (or the work failed), 2 usage errors,
// 130 interrupted by Ctrl-C.
// Messages go to stderr in plain words; results go to stdout (UTF-8).
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace vlib {

enum Exit { Ok = 0, Failed = 1, Usage = 2, Interrupted = 130 };

struct Command {
    using Run = std::function<int(const std::vector<std::string>& args)>;
    // name: "info"; synopsis: "info FILE"; help: what it does, its options, one paragraph or more.
    Command(std::string name, std::string synopsis, std::string help, Run run);
};

struct CommandInfo {
    std::string name, synopsis, help;
    Command::Run run;
};
const std::vector<CommandInfo>& commands();
// The same in name order.
std::vector<const CommandInfo*> commandsByName();

// Prints "vlib: <message>" on stderr and returns code.
int fail(int code, const std::string& message);

// Splits args into options ("--force", "--under=5" or "--under 5" when listed in withValue)
// and positional arguments. Unknown options are a usage error reported by the caller.
struct Args {
    std::vector<std::string> positional;
    std::vector<std::pair<std::string, std::string>> options;  // name without "--", value or ""
    bool has(const std::string& name) const;
    std::string value(const std::string& name, const std::string& fallback = "") const;
};
// Returns false (after printing the reason) when an option is not in `known`.
bool parseArgs(const std::vector<std::string>& raw, const std::vector<std::string>& known,
               const std::vector<std::string>& withValue, Args& out);

}  // namespace vlib
