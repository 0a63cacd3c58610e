#include "CommandLine.h"

#include "Utf8.h"

#include <charconv>
#include <functional>
#include <map>

namespace pexa::cli {
namespace {

std::u16string_view trimBlanks(std::u16string_view text)
{
    auto isBlank = [](char16_t unit) {
        return unit == u' ' || unit == u'\t' || unit == u'\r' || unit == u'\u3000';
    };
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

// Splits at any of `separators`, keeping the trimmed, non-empty pieces.
std::vector<std::u16string> nonEmptyPieces(std::u16string_view text, std::u16string_view separators)
{
    std::vector<std::u16string> pieces;
    while (true) {
        const std::size_t cut = text.find_first_of(separators);
        const std::u16string_view piece = trimBlanks(text.substr(0, cut));
        if (!piece.empty())
            pieces.emplace_back(piece);
        if (cut == std::u16string_view::npos)
            return pieces;
        text.remove_prefix(cut + 1);
    }
}

template <typename Number> std::optional<Number> parseNumber(const std::string& text)
{
    Number value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

// Applies one option's value; returns the reason when the value is not acceptable.
using ValueHandler = std::function<std::string(Options&, const std::string&)>;

// Handlers for options whose value is taken as given: one file or folder name.
ValueHandler storedIn(std::optional<std::string> Options::*field)
{
    return [field](Options& options, const std::string& value) {
        options.*field = value;
        return std::string();
    };
}

ValueHandler appendedTo(std::vector<std::string> Options::*list)
{
    return [list](Options& options, const std::string& value) {
        (options.*list).push_back(value);
        return std::string();
    };
}

const std::map<std::string, ValueHandler, std::less<>>& valueOptions()
{
    static const std::map<std::string, ValueHandler, std::less<>> handlers = {
        {"--output-dir", storedIn(&Options::outputDir)},
        {"--seed",
         [](Options& options, const std::string& value) {
             options.seed = parseNumber<std::uint64_t>(value);
             return options.seed ? std::string() : "--seed needs a whole number, not " + value;
         }},
        {"--protect",
         [](Options& options, const std::string& value) {
             const std::optional<std::u16string> list = utf8::decode(value);
             if (!list)
                 return std::string("--protect needs UTF-8 text");
             for (std::u16string& term : splitTermList(*list))
                 options.protectedTerms.push_back(std::move(term));
             return std::string();
         }},
        {"--protect-file", appendedTo(&Options::protectFiles)},
        {"--dictionary", appendedTo(&Options::dictionaryFiles)},
        {"--without", appendedTo(&Options::withoutFiles)},
        {"--compare", storedIn(&Options::comparePage)},
        {"--jobs",
         [](Options& options, const std::string& value) {
             const std::optional<unsigned> jobs = parseNumber<unsigned>(value);
             options.jobs = jobs.value_or(0);
             return options.jobs > 0 ? std::string()
                                     : "--jobs needs a number of at least 1, not " + value;
         }},
    };
    return handlers;
}

const std::map<std::string, bool Options::*, std::less<>>& switchOptions()
{
    static const std::map<std::string, bool Options::*, std::less<>> switches = {
        {"--shuffle", &Options::shuffle},
        {"--traditional", &Options::traditional},
        {"--stats", &Options::stats},
        {"--no-builtin", &Options::noBuiltin},
    };
    return switches;
}

std::string longName(const std::string& argument)
{
    if (argument == "-o")
        return "--output-dir";
    if (argument == "-j")
        return "--jobs";
    if (argument == "-h")
        return "--help";
    return argument;
}

std::string checkCombination(const Options& options)
{
    if (options.seed && !options.shuffle)
        return "--seed only applies together with --shuffle";
    if (options.outputDir && options.inputs.empty())
        return "--output-dir needs files or folders to rewrite";
    if (options.noBuiltin && options.dictionaryFiles.empty())
        return "--no-builtin needs at least one --dictionary";
    if (options.noBuiltin && !options.withoutFiles.empty())
        return "--without names built-in entries, which --no-builtin leaves out anyway";
    return {};
}

CommandLine refuse(std::string reason)
{
    return {Action::RefuseUsage, {}, std::move(reason)};
}

} // namespace

CommandLine parseCommandLine(const std::vector<std::string>& arguments)
{
    CommandLine parsed;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (optionsEnded || !argument.starts_with("-")) {
            parsed.options.inputs.push_back(argument);
            continue;
        }
        if (argument == "--") {
            optionsEnded = true;
            continue;
        }
        const std::size_t equals = argument.find('=');
        const std::string name = longName(argument.substr(0, equals));
        if (name == "--help")
            return {Action::ShowHelp, {}, {}};
        if (name == "--version")
            return {Action::ShowVersion, {}, {}};
        if (name == "--list-builtin")
            return {Action::ListBuiltin, {}, {}};
        if (const auto found = switchOptions().find(name); found != switchOptions().end()) {
            if (equals != std::string::npos)
                return refuse(name + " takes no value");
            parsed.options.*(found->second) = true;
            continue;
        }
        const auto handler = valueOptions().find(name);
        if (handler == valueOptions().end())
            return refuse("unknown option " + argument);
        std::string value;
        if (equals != std::string::npos)
            value = argument.substr(equals + 1);
        else if (i + 1 < arguments.size())
            value = arguments[++i];
        else
            return refuse(name + " needs a value");
        if (std::string reason = handler->second(parsed.options, value); !reason.empty())
            return refuse(std::move(reason));
    }
    if (std::string reason = checkCombination(parsed.options); !reason.empty())
        return refuse(std::move(reason));
    return parsed;
}

std::vector<std::u16string> splitTermList(std::u16string_view list)
{
    return nonEmptyPieces(list, u",，");
}

std::vector<std::u16string> termsOfLines(std::u16string_view text)
{
    return nonEmptyPieces(text, u"\n");
}

std::string usageText()
{
    return R"(Usage: pexa-rewrite [OPTIONS] [FILE|FOLDER ...]

Rewrites articles with the built-in phrase dictionary, exactly as the window's
开始伪原创 button does, and with your own entries after it. With no file, reads
standard input and writes standard output; with one file and no --output-dir,
writes the result to standard output.

  -o, --output-dir DIR   write each result into DIR under the input's own name;
                         a folder is searched for .txt files and its results
                         go to DIR/<folder name>/ with sub-folders kept.
                         Inputs are never overwritten.
      --shuffle          shuffle the sentences, as the 打乱次序 button does
      --seed N           make the shuffle repeatable (with --shuffle)
      --traditional      convert the result to traditional characters (简→繁)
      --protect TERMS    terms the dictionary must not touch, separated by commas
      --protect-file F   terms the dictionary must not touch, one per line
      --stats            report replacements and change rate on standard error
      --compare FILE     write one HTML page that shows every article and its
                         result side by side, with each change marked
      --dictionary FILE  apply the entries of FILE (source=replacement, one a
                         line, UTF-8 or GBK, # comments) after the built-in
                         ones; may be given more than once
      --without FILE     leave out the built-in entries FILE names, whole
                         (系统=体系) or by source (系统), one a line
      --no-builtin       apply only the --dictionary entries
      --list-builtin     print the built-in dictionary, ready to edit
  -j, --jobs N           rewrite N files at a time (default and most: one per
                         core)
  -h, --help             show this text
      --version          show the version

Input may be UTF-8 or GBK/GB18030; results are UTF-8 with the input's line ends.
A malformed dictionary line is reported as FILE:LINE: reason, and nothing runs.
Exit status: 0 all files rewritten, 1 some file failed, 2 the command line or a
dictionary file was wrong (nothing is written then).
)";
}

} // namespace pexa::cli
