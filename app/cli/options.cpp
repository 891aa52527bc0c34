#include "app/cli/options.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <iostream>
#include <optional>
#include <system_error>

#include "app/cli/cli.h"

namespace vanto::cli {

namespace {

// Parses "a,b,c" into `count` numbers; nullopt when a part is not a number.
std::optional<std::vector<double>> numberList(const std::string& text, std::size_t count) {
    std::vector<double> out;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find(',', start);
        if (end == std::string::npos) end = text.size();
        const std::string part = text.substr(start, end - start);
        double v = 0;
        const auto res = std::from_chars(part.data(), part.data() + part.size(), v);
        if (part.empty() || res.ec != std::errc() || res.ptr != part.data() + part.size())
            return std::nullopt;
        out.push_back(v);
        start = end + 1;
    }
    if (out.size() != count) return std::nullopt;
    return out;
}

std::string countWord(std::size_t n) {
    static const char* const words[] = {"cero", "un", "dos", "tres", "cuatro", "cinco", "seis"};
    return n < std::size(words) ? words[n] : std::to_string(n);
}

std::string withArg(const Option& o) {
    return o.arg.empty() ? o.name : o.name + ' ' + o.arg;
}

// The value of option `o` or why it is wrong.
std::string readValue(const Option& o, const std::string& text, std::vector<double>& numbers) {
    if (o.kind == Kind::Text) return "";
    const auto v = numberList(text, o.count);
    if (!v) return o.name + " necesita " + countWord(o.count) + " números separados por comas";
    if (o.kind == Kind::Counts)
        for (double n : *v)
            if (n < 0 || n != std::floor(n)) return o.what + " debe ser un entero no negativo";
    numbers = *v;
    return "";
}

}  // namespace

const std::string& Invocation::text(std::string_view option) const {
    return values_.find(option)->second.text;
}

const std::vector<double>& Invocation::numbers(std::string_view option) const {
    return values_.find(option)->second.numbers;
}

int Invocation::usageError(const std::string& message) const {
    std::cerr << "vanto-cli: " << message << "\nUso: vanto-cli " << command_->name << ' '
              << synopsis(*command_) << '\n';
    return Usage;
}

std::string Invocation::parse(const Args& args) {
    const Command& c = *command_;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (!a.starts_with("--")) {
            if (args_.size() == c.positionals.size())
                return c.positionals.size() == 1 ? "sobra el argumento: " + a : "sobran argumentos";
            args_.push_back(a);
            continue;
        }
        const std::size_t equals = a.find('=');
        const std::string name = a.substr(0, equals);
        const auto o = std::find_if(c.options.begin(), c.options.end(),
                                    [&](const Option& x) { return x.name == name; });
        if (o == c.options.end() || (o->kind == Kind::Flag && equals != std::string::npos))
            return "opción desconocida: " + a;
        Value v;
        if (o->kind != Kind::Flag) {
            if (equals != std::string::npos) {
                v.text = a.substr(equals + 1);
            } else if (i + 1 < args.size()) {
                v.text = args[++i];
            } else {
                return o->kind == Kind::Text
                           ? "falta " + o->what + " tras " + name
                           : name + " necesita " + countWord(o->count) + " números";
            }
            if (std::string why = readValue(*o, v.text, v.numbers); !why.empty()) return why;
        }
        values_[name] = std::move(v);
    }
    if (args_.size() < c.positionals.size())
        return c.positionals.size() == 1 ? "falta el directorio de la estructura"
                                         : "faltan argumentos";
    for (std::size_t i = 0; i < args_.size(); ++i) {
        const auto& allowed = c.positionals[i].choices;
        if (!allowed.empty() &&
            std::find(allowed.begin(), allowed.end(), args_[i]) == allowed.end())
            return c.positionals[i].what + " desconocido: " + args_[i];
    }
    for (std::size_t i = 0; i < c.options.size(); ++i) {
        const Option& o = c.options[i];
        if (o.required && !has(o.name)) return "falta " + o.name;
        // Each group is checked at its first member.
        if (o.group == 0 || (i > 0 && c.options[i - 1].group == o.group)) continue;
        std::string names;
        int given = 0;
        for (const Option& m : c.options)
            if (m.group == o.group) {
                names += (names.empty() ? "" : " o ") + withArg(m);
                given += has(m.name);
            }
        if (given != 1) return "indique " + names + ", uno de los dos";
    }
    return "";
}

int run(const Command& command, const Args& args) {
    Invocation call(command);
    if (const std::string why = call.parse(args); !why.empty()) return call.usageError(why);
    return command.run(call);
}

std::string synopsis(const Command& command) {
    std::string out;
    const auto add = [&](const std::string& part) { out += (out.empty() ? "" : " ") + part; };
    for (const Positional& p : command.positionals) {
        if (p.choices.empty()) {
            add(p.name);
            continue;
        }
        std::string words;
        for (const std::string& w : p.choices)
            words += (words.empty() ? "" : "|") + w;
        add('(' + words + ')');
    }
    int lastGroup = 0;
    for (const Option& o : command.options) {
        if (o.group != 0 && o.group == lastGroup) {
            out.insert(out.size() - 1, " | " + withArg(o));
        } else if (o.group != 0) {
            add('(' + withArg(o) + ')');
        } else {
            add(o.required ? withArg(o) : '[' + withArg(o) + ']');
        }
        lastGroup = o.group;
    }
    return out;
}

void describe(std::ostream& out, const Command& command, std::string_view indent) {
    out << indent << command.summary << '\n';
    std::size_t width = 0;
    for (const Option& o : command.options)
        width = std::max(width, withArg(o).size());
    for (const Option& o : command.options) {
        const std::string left = withArg(o);
        out << indent << left << std::string(width - left.size() + 2, ' ') << o.help << '\n';
    }
}

}  // namespace vanto::cli
