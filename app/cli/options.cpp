#include "options.h"

#include <CLI/CLI.hpp>

#include <algorithm>

#include "text/numbers.h"

// CLI11 keeps the declarations and writes the help lines; it does not read
// the arguments, because its reading differs from the tool's in what scripts
// see: "--" ends its options, "-yy" is two -y to it, "--yes=no" a flag with a
// value, an option's name after another option takes that option's value,
// and the first mistake from the left is named. Each of those would change
// a command's exit code or message.

namespace cli {

namespace {

enum class Kind { Flag, Count, Single, Many, Refuse, Value, LateFlag };

// The order kinds are read in (see options.h).
constexpr Kind kReadOrder[] = {Kind::Flag, Kind::Count, Kind::Single, Kind::Many, Kind::Refuse, Kind::Value};

struct Entry {
    Kind kind = Kind::Flag;
    CLI::Option* option = nullptr;  // nullptr for a refusal
    std::string name;               // the long name; for a refusal, the prefix
    std::string what, error;        // Count's value in its error; Refuse's error
    bool* flag = nullptr;
    std::string* value = nullptr;
    std::optional<std::string>* single = nullptr;
    int* count = nullptr;
    std::vector<std::string>* many = nullptr;
};

// "--yes, -y" and " NAME" in the layout the tool's help always had.
class HelpFormatter : public CLI::Formatter {
public:
    std::string make_option_name(const CLI::Option* o, bool) const override {
        std::string names;
        for (const auto& l : o->get_lnames()) names += (names.empty() ? "--" : ", --") + l;
        for (const auto& s : o->get_snames()) names += (names.empty() ? "-" : ", -") + s;
        return names;
    }
    std::string make_option_opts(const CLI::Option* o) const override {
        return o->get_type_name().empty() ? "" : " " + o->get_type_name();
    }
    std::string make_option_desc(const CLI::Option* o) const override { return o->get_description(); }
};

bool Named(const CLI::Option& o, const std::string& arg) {
    for (const auto& l : o.get_lnames())
        if (arg == "--" + l) return true;
    for (const auto& s : o.get_snames())
        if (arg == "-" + s) return true;
    return false;
}

// Removes every "NAME VALUE" and "NAME=VALUE" from args, adding the values
// to *values in order. Returns "" or the error.
std::string TakeValues(std::vector<std::string>* args, const std::string& name, std::vector<std::string>* values) {
    const std::string withEq = name + "=";
    std::string error;
    std::vector<std::string> kept;
    for (size_t i = 0; i < args->size(); ++i) {
        const std::string& a = (*args)[i];
        if (a == name) {
            if (i + 1 >= args->size()) {
                error = "option '" + name + "' needs a value";
                continue;
            }
            values->push_back((*args)[++i]);
        } else if (a.compare(0, withEq.size(), withEq) == 0) {
            values->push_back(a.substr(withEq.size()));
        } else {
            kept.push_back(a);
        }
    }
    *args = std::move(kept);
    return error;
}

std::string Take(const Entry& e, std::vector<std::string>* args) {
    if (e.kind == Kind::Flag) {
        const auto named = [&](const std::string& a) { return Named(*e.option, a); };
        if (std::any_of(args->begin(), args->end(), named)) *e.flag = true;
        args->erase(std::remove_if(args->begin(), args->end(), named), args->end());
        return "";
    }
    if (e.kind == Kind::Refuse) {
        for (const auto& a : *args)
            if (a.rfind(e.name, 0) == 0) return e.error;
        return "";
    }
    std::vector<std::string> given;
    const std::string error = TakeValues(args, e.name, &given);
    if (!error.empty() || given.empty()) return error;
    switch (e.kind) {
        case Kind::Value: *e.value = given.back(); break;
        case Kind::Many: e.many->insert(e.many->end(), given.begin(), given.end()); break;
        case Kind::Single:
            if (given.size() > 1) return "option '" + e.name + "' is given twice";
            *e.single = given[0];
            break;
        case Kind::Count: {
            int32_t n = 0;
            if (!text::TryStrToInt(given.back(), &n) || n < 1)
                return "option '" + e.name + "' needs " + e.what + ", 1 or more ('" + given.back() + "')";
            *e.count = n;
            break;
        }
        default: break;
    }
    return "";
}

}  // namespace

struct OptionSet::Declared {
    CLI::App app;
    std::vector<Entry> entries;  // in the order declared

    Entry& Add(Kind kind, CLI::Option* option, const char* help) {
        if (help)
            option->description(help);
        else
            option->group("");  // CLI11's mark of a hidden option
        Entry e;
        e.kind = kind;
        e.option = option;
        e.name = "--" + option->get_lnames().front();
        entries.push_back(e);
        return entries.back();
    }
    Entry& AddValue(Kind kind, const char* name, const char* valueName, const char* help) {
        return Add(kind, app.add_option(name)->type_name(valueName), help);
    }
};

OptionSet::OptionSet() : d_(std::make_unique<Declared>()) { d_->app.set_help_flag(); }

OptionSet::~OptionSet() = default;

void OptionSet::Flag(const char* names, bool* target, const char* help) {
    d_->Add(Kind::Flag, d_->app.add_flag(names), help).flag = target;
}

void OptionSet::LateFlag(const char* names, bool* target, const char* help) {
    d_->Add(Kind::LateFlag, d_->app.add_flag(names), help).flag = target;
}

void OptionSet::Value(const char* name, const char* valueName, std::string* target, const char* help) {
    d_->AddValue(Kind::Value, name, valueName, help).value = target;
}

void OptionSet::Single(const char* name, const char* valueName, std::optional<std::string>* target, const char* help) {
    d_->AddValue(Kind::Single, name, valueName, help).single = target;
}

void OptionSet::Count(const char* name, const char* valueName, int* target, const char* what, const char* help) {
    Entry& e = d_->AddValue(Kind::Count, name, valueName, help);
    e.count = target;
    e.what = what;
}

void OptionSet::Many(const char* name, const char* valueName, std::vector<std::string>* target, const char* help) {
    d_->AddValue(Kind::Many, name, valueName, help).many = target;
}

void OptionSet::Refuse(const char* prefix, const char* error) {
    Entry e;
    e.kind = Kind::Refuse;
    e.name = prefix;
    e.error = error;
    d_->entries.push_back(e);
}

std::string OptionSet::Parse(int argc, char** argv, std::vector<std::string>* positionals) const {
    std::vector<std::string> args(argv + std::min(argc, 1), argv + argc);
    for (Kind kind : kReadOrder) {
        for (const Entry& e : d_->entries) {
            if (e.kind != kind) continue;
            const std::string error = Take(e, &args);
            if (!error.empty()) return error;
        }
    }
    for (const std::string& a : args) {
        const auto late = std::find_if(d_->entries.begin(), d_->entries.end(),
                                       [&](const Entry& e) { return e.kind == Kind::LateFlag && Named(*e.option, a); });
        if (late != d_->entries.end())
            *late->flag = true;
        else if (a.size() > 1 && a[0] == '-' && a != "--")
            return "unknown option '" + a + "'";
        else if (a != "--")
            positionals->push_back(a);
    }
    return "";
}

std::string OptionSet::HelpLines() const {
    HelpFormatter format;
    std::vector<const CLI::Option*> shown;
    for (const Entry& e : d_->entries)
        if (e.option && !e.option->get_group().empty()) shown.push_back(e.option);
    size_t width = 0;
    for (const CLI::Option* o : shown)
        width = std::max(width, format.make_option_name(o, false).size() + format.make_option_opts(o).size());
    format.column_width(width + 4);  // two spaces before the name, two after the widest
    std::string lines;
    for (const CLI::Option* o : shown) lines += format.make_option(o, false);
    return lines;
}

}  // namespace cli
