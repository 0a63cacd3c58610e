#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace pexa::cli {

// What the writer asked for on the command line.
struct Options
{
    std::vector<std::string> inputs;      // files and folders; none means standard input
    std::optional<std::string> outputDir; // where results go; without it, standard output
    bool shuffle = false;
    std::optional<std::uint64_t> seed; // a repeatable shuffle
    bool traditional = false;
    std::vector<std::u16string> protectedTerms; // from --protect
    std::vector<std::string> protectFiles;      // from --protect-file, read later
    bool stats = false;
    unsigned jobs = 0;                        // 0: one per core
    std::vector<std::string> dictionaryFiles; // the writer's own entries, after the built-in ones
    std::vector<std::string> withoutFiles;    // built-in entries to leave out
    bool noBuiltin = false;                   // only the writer's own entries
    std::optional<std::string> comparePage;   // where the side-by-side page goes
};

enum class Action
{
    Run,
    ShowHelp,
    ShowVersion,
    ListBuiltin,
    RefuseUsage, // the reason is in `error`
};

struct CommandLine
{
    Action action = Action::Run;
    Options options;
    std::string error;
};

// Reads the arguments (without the program name). Options take their value as the next argument or
// after "=" (--jobs=4); "--" ends the options.
CommandLine parseCommandLine(const std::vector<std::string>& arguments);

// Splits a --protect value at ASCII and full-width commas, trims blanks, drops empty terms.
std::vector<std::u16string> splitTermList(std::u16string_view list);

// Terms of a --protect-file text, one a line; blank lines are skipped.
std::vector<std::u16string> termsOfLines(std::u16string_view text);

// The --help text.
std::string usageText();

} // namespace pexa::cli
