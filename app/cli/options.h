#pragma once
// The command line of each subcommand, declared as data: its arguments and
// options give the parsing, the usage line, the help and the usage errors.

#include <cstddef>
#include <map>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace vanto::cli {

using Args = std::vector<std::string>;

enum class Kind {
    Flag,     // --name
    Text,     // --name VALUE or --name=VALUE
    Numbers,  // `count` numbers separated by commas
    Counts,   // the same, each a whole number not below zero
};

struct Option {
    std::string name{};  // with its "--"
    Kind kind = Kind::Flag;
    std::string arg{};   // the value's placeholder in the usage line
    std::string help{};  // one line, Spanish
    bool required = false;
    int group = 0;          // adjacent options sharing a nonzero group: exactly one of them
    std::size_t count = 0;  // numbers of a Numbers or Counts value
    std::string what{};     // the value in messages: "falta el nudo tras --from"
};

// Arguments without "--", in order. Structure directories start with "-", so
// they are never taken for options.
struct Positional {
    std::string name{};
    std::vector<std::string> choices{};  // the words allowed, when limited
    std::string what{};                  // names a word not allowed: "formato desconocido: x"
};

class Invocation;

struct Command {
    std::string name{};
    std::vector<Positional> positionals{};
    std::vector<Option> options{};
    std::string summary{};  // one line, Spanish
    int (*run)(const Invocation& call) = nullptr;
};

// A command line that matches its command's declaration.
class Invocation {
  public:
    const Command& command() const { return *command_; }
    const std::string& arg(std::size_t i) const { return args_.at(i); }
    bool has(std::string_view option) const { return values_.contains(option); }
    // The value of a Text option that was given.
    const std::string& text(std::string_view option) const;
    // The numbers of a Numbers or Counts option that was given.
    const std::vector<double>& numbers(std::string_view option) const;
    // Prints "vanto-cli: " + message and the usage line; returns the usage status.
    int usageError(const std::string& message) const;

  private:
    friend int run(const Command& command, const Args& args);
    struct Value {
        std::string text;
        std::vector<double> numbers;
    };
    explicit Invocation(const Command& command) : command_(&command) {}
    // The reason the arguments do not match the declaration; empty when they do.
    std::string parse(const Args& args);

    const Command* command_;
    std::vector<std::string> args_;
    std::map<std::string, Value, std::less<>> values_;
};

// Parses `args` for `command` and runs it, or prints why they are wrong.
int run(const Command& command, const Args& args);

// "DIR (--from N | --all) [--save]": the arguments after the command's name.
std::string synopsis(const Command& command);

// The command's summary and its options with their help, each line after `indent`.
void describe(std::ostream& out, const Command& command, std::string_view indent);

}  // namespace vanto::cli
