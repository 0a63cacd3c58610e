// Rewrite benchmarks: the fast rewriter against the literal reference on real Chinese prose, one
// automaton pass alone (the floor of the fast rewriter), and building the dictionary and automaton.
// The prose comes from scripts/bench.sh (PEXA_BENCH_CORPUS names its folder). Ratios are taken from
// figures of the same run and printed at the end.

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "BuiltinDictionary.h"
#include "PhraseSubstitution.h"
#include "StandInDictionary.h"
#include "Utf8.h"

using namespace pexa;

namespace {

struct Corpus
{
    std::string name;
    std::u16string text;
};

std::u16string readProse(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    std::stringstream bytes;
    bytes << file.rdbuf();
    const auto text = utf8::decode(bytes.str());
    if (!file || !text || text->empty())
        throw std::runtime_error("cannot read the prose file " + path);
    return *text;
}

// The real lists once they are built in (the provisional ones hold a handful of entries), otherwise
// a stand-in of the same shape made from the prose.
bool builtinListsAreReal()
{
    return loadBuiltinDictionary().size() >= 5000;
}

std::vector<std::u16string> dictionaryEntries(const std::u16string& prose)
{
    if (!builtinListsAreReal())
        return bench::standInEntries(prose);
    std::vector<std::u16string> merged;
    for (const PhraseList& list : builtinPhraseLists())
        merged.insert(merged.end(), list.begin(), list.end());
    return merged;
}

// The text with every code unit removed that no source holds: one piece with no place to cut.
std::u16string withoutSeparators(const std::u16string& text, const PhraseDictionary& dictionary)
{
    const PhraseAutomaton automaton(dictionary);
    std::u16string piece;
    for (char16_t unit : text)
        if (automaton.classOf(unit) != 0)
            piece += unit;
    return piece;
}

void checkIdentical(const Corpus& corpus, const PhraseRewriter& rewriter)
{
    if (rewriter.rewrite(corpus.text) != applyDictionaryLiterally(corpus.text, rewriter.dictionary()))
        throw std::runtime_error("the fast rewrite differs from the literal one on " + corpus.name);
    std::cout << "identical output on " << corpus.name << " (" << corpus.text.size()
              << " code units)\n";
}

void registerRewrites(const Corpus& corpus, const PhraseRewriter& rewriter)
{
    const auto measure = [&](const char* engine, auto rewrite) {
        benchmark::RegisterBenchmark((std::string(engine) + "/" + corpus.name).c_str(),
                                     [&corpus, rewrite](benchmark::State& state) {
                                         for (auto _ : state)
                                             benchmark::DoNotOptimize(rewrite(corpus.text));
                                         state.SetBytesProcessed(std::int64_t(
                                             state.iterations() * corpus.text.size() * 2));
                                     })
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
    };
    measure("Literal", [&rewriter](const std::u16string& text) {
        return applyDictionaryLiterally(text, rewriter.dictionary());
    });
    measure("Fast", [&rewriter](const std::u16string& text) { return rewriter.rewrite(text); });
}

void registerAutomatonPass(const Corpus& corpus, const PhraseDictionary& dictionary)
{
    benchmark::RegisterBenchmark(("AutomatonPass/" + corpus.name).c_str(),
                                 [&corpus, &dictionary](benchmark::State& state) {
                                     const PhraseAutomaton automaton(dictionary);
                                     for (auto _ : state) {
                                         std::size_t matches = 0;
                                         PhraseAutomaton::State at = PhraseAutomaton::rootState;
                                         for (char16_t unit : corpus.text) {
                                             at = automaton.advance(at, unit);
                                             matches += automaton.hasMatches(at);
                                         }
                                         benchmark::DoNotOptimize(matches);
                                     }
                                 })
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
}

void registerBuild(const std::vector<std::u16string>& entries)
{
    const char* name = builtinListsAreReal() ? "Build/builtin-dictionary-and-automaton"
                                             : "Build/stand-in-dictionary-and-automaton";
    benchmark::RegisterBenchmark(name, [&entries](benchmark::State& state) {
        for (auto _ : state) {
            if (builtinListsAreReal())
                benchmark::DoNotOptimize(PhraseRewriter(loadBuiltinDictionary()));
            else
                benchmark::DoNotOptimize(PhraseRewriter(PhraseDictionary::fromEntries(entries)));
        }
    })->Unit(benchmark::kMillisecond);
}

// Prints the figures as they come, then literal ÷ fast for every text measured both ways.
class RatioReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Iteration && run.iterations > 0)
                m_realSeconds[run.benchmark_name()] = run.real_accumulated_time / double(run.iterations);
    }

    void Finalize() override
    {
        ConsoleReporter::Finalize();
        std::cout << "\nLiteral / fast, same run:\n";
        for (const auto& [name, seconds] : m_realSeconds) {
            if (!name.starts_with("Literal/"))
                continue;
            const std::string text = name.substr(std::string("Literal/").size());
            const auto fast = m_realSeconds.find("Fast/" + text);
            if (fast == m_realSeconds.end())
                continue;
            std::cout << "  " << text << ": literal " << seconds * 1e3 << " ms, fast "
                      << fast->second * 1e3 << " ms, " << seconds / fast->second << " times faster\n";
        }
    }

private:
    std::map<std::string, double> m_realSeconds;
};

} // namespace

int main(int argc, char* argv[])
{
    benchmark::Initialize(&argc, argv);
    const char* folder = std::getenv("PEXA_BENCH_CORPUS");
    if (!folder) {
        std::cerr << "PEXA_BENCH_CORPUS must name the prose folder; run scripts/bench.sh\n";
        return 2;
    }
    std::vector<Corpus> corpora;
    for (const char* name : {"prose-3k", "prose-100k", "prose-1m"})
        corpora.push_back({name, readProse(std::string(folder) + "/" + name + ".txt")});

    const std::vector<std::u16string> entries = dictionaryEntries(corpora.back().text);
    const PhraseRewriter rewriter(PhraseDictionary::fromEntries(entries));
    std::cout << (builtinListsAreReal() ? "built-in" : "stand-in") << " dictionary of "
              << rewriter.dictionary().size() << " entries\n";
    corpora.push_back({"one-piece-1m", withoutSeparators(corpora.back().text, rewriter.dictionary())});

    for (const Corpus& corpus : corpora) {
        checkIdentical(corpus, rewriter);
        registerRewrites(corpus, rewriter);
    }
    registerAutomatonPass(corpora[2], rewriter.dictionary());
    registerBuild(entries);

    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
