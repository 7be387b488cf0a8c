// The options of one sonmira-cli command, each declared once: its names, its
// value, the field it fills and its help text. The declarations are CLI11
// options, and the option lines of the command's --help are CLI11's lines of
// them; the reading is the tool's own (options.cpp says why).
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace cli {

// Options are read kind by kind, each kind in the order declared: flags,
// counts, once-only values, repeated values, refusals, last-wins values;
// then what is left: late flags, unknown options and the positionals. That
// is the order the tool has always read them in. It decides which of two
// mistakes is named, and that an option's name standing where the value of
// an option read later goes is read as that option.
//
// A value is "NAME VALUE" or "NAME=VALUE", wherever it stands (a "--" does
// not end the options). A help text may hold line breaks; nullptr hides the
// option from the help.
class OptionSet {
public:
    OptionSet();
    ~OptionSet();
    OptionSet(const OptionSet&) = delete;
    OptionSet& operator=(const OptionSet&) = delete;

    // "--yes,-y": taken wherever it stands, before any value is read.
    void Flag(const char* names, bool* target, const char* help);
    // Read with the positionals, after every value.
    void LateFlag(const char* names, bool* target, const char* help);
    // Any number of times; the last one counts.
    void Value(const char* name, const char* valueName, std::string* target, const char* help);
    // Once at most: which of two record files was meant is anyone's guess.
    void Single(const char* name, const char* valueName, std::optional<std::string>* target, const char* help);
    // A whole number of 1 or more, the last one counts (only it is checked);
    // `what` names it in the error ("a number of chips").
    void Count(const char* name, const char* valueName, int* target, const char* what, const char* help);
    // Every value, in the order given.
    void Many(const char* name, const char* valueName, std::vector<std::string>* target, const char* help);
    // Any argument that begins with `prefix` is refused with `error`.
    void Refuse(const char* prefix, const char* error);

    // Fills the declared fields and *positionals (argv[0] is the command's
    // name). Returns "" or the error for the usage message. argv is not changed.
    std::string Parse(int argc, char** argv, std::vector<std::string>* positionals) const;

    // One line per shown option, "  --port PORT        scan only ...\n", the
    // help texts in one column after the widest name.
    std::string HelpLines() const;

private:
    struct Declared;
    std::unique_ptr<Declared> d_;
};

}  // namespace cli
