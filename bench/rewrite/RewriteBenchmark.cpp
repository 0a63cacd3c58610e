// Rewrite benchmarks: the fast rewriter against the literal reference on real Chinese prose, one
// automaton pass alone (the floor of the fast rewriter), and building the dictionary and automaton.
// The texts come from scripts/bench.sh (PEXA_BENCH_CORPUS names its folder). Ratios are taken from
// figures of the same run and printed at the end, with the peak memory of each fast rewrite.

#include <benchmark/benchmark.h>

#include <malloc.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <map>
#include <new>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "BenchCorpus.h"
#include "BuiltinDictionary.h"
#include "PhraseSubstitution.h"
#include "Utf8.h"

using namespace pexa;

// Heap use, counted by this program's own operator new, for the memory one rewrite needs.
namespace heap {
std::size_t inUse = 0;
std::size_t peak = 0;

void release(void* block) noexcept
{
    if (block)
        inUse -= malloc_usable_size(block);
    std::free(block);
}
} // namespace heap

void* operator new(std::size_t size)
{
    void* block = std::malloc(size);
    if (!block)
        throw std::bad_alloc();
    heap::inUse += malloc_usable_size(block);
    heap::peak = std::max(heap::peak, heap::inUse);
    return block;
}

void operator delete(void* block) noexcept
{
    heap::release(block);
}

void operator delete(void* block, std::size_t) noexcept
{
    heap::release(block);
}

namespace {

struct Corpus
{
    std::string name;
    std::u16string text;
};

std::u16string readText(const std::string& path)
{
    const auto text = utf8::decode(bench::readCorpusFile(path));
    if (!text)
        throw std::runtime_error("not UTF-8 text: " + path);
    return *text;
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
    if (rewriter.rewrite(corpus.text) !=
        applyDictionaryLiterally(corpus.text, rewriter.dictionary()))
        throw std::runtime_error("the fast rewrite differs from the literal one on " + corpus.name);
    std::cout << "identical output on " << corpus.name << " (" << corpus.text.size()
              << " code units)\n";
}

// The most heap memory the fast rewrite of a text holds at one time, its result included.
void reportPeakMemory(const Corpus& corpus, const PhraseRewriter& rewriter)
{
    const std::size_t before = heap::inUse;
    heap::peak = before;
    benchmark::DoNotOptimize(rewriter.rewrite(corpus.text));
    std::cout << "peak memory of the fast rewrite of " << corpus.name << ": "
              << (heap::peak - before) / 1024 << " KiB, for a text of "
              << corpus.text.size() * sizeof(char16_t) / 1024 << " KiB\n";
}

void registerRewrites(const Corpus& corpus, const PhraseRewriter& rewriter)
{
    const auto measure = [&](const char* engine, auto rewrite) {
        benchmark::RegisterBenchmark(
            (std::string(engine) + "/" + corpus.name).c_str(),
            [&corpus, rewrite](benchmark::State& state) {
                for (auto _ : state)
                    benchmark::DoNotOptimize(rewrite(corpus.text));
                state.SetBytesProcessed(std::int64_t(state.iterations() * corpus.text.size() * 2));
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

// Start-up's share of the rewrite: the built-in dictionary and its compiled-in automaton, and the
// automaton built at run time, as for a dictionary given then.
void registerBuild(const PhraseDictionary& dictionary)
{
    benchmark::RegisterBenchmark("Build/builtin-dictionary-and-automaton", [](benchmark::State&
                                                                                  state) {
        for (auto _ : state)
            benchmark::DoNotOptimize(PhraseRewriter(loadBuiltinDictionary()));
    })->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("Build/automaton-at-run-time", [&dictionary](
                                                                    benchmark::State& state) {
        for (auto _ : state)
            benchmark::DoNotOptimize(PhraseAutomaton(dictionary));
    })->Unit(benchmark::kMillisecond);
}

// Prints the figures as they come, then literal ÷ fast for every text measured both ways.
class RatioReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration || run.iterations == 0)
                continue;
            const double iterations = double(run.iterations);
            m_seconds[run.run_name.function_name] = {run.real_accumulated_time / iterations,
                                                     run.cpu_accumulated_time / iterations};
        }
    }

    void Finalize() override
    {
        ConsoleReporter::Finalize();
        std::cout << "\nLiteral / fast, same run (real time, and CPU time in brackets):\n";
        for (const auto& [name, literal] : m_seconds) {
            if (!name.starts_with("Literal/"))
                continue;
            const std::string text = name.substr(std::string("Literal/").size());
            const auto fast = m_seconds.find("Fast/" + text);
            if (fast == m_seconds.end())
                continue;
            std::cout << "  " << text << ": literal " << milliseconds(literal.real) << " ms, fast "
                      << milliseconds(fast->second.real) << " ms ("
                      << milliseconds(fast->second.cpu)
                      << "): " << std::lround(literal.real / fast->second.real) << " times faster ("
                      << std::lround(literal.cpu / fast->second.cpu) << ")\n";
        }
    }

private:
    struct Seconds
    {
        double real;
        double cpu;
    };

    static std::string milliseconds(double seconds)
    {
        std::ostringstream text;
        text.precision(seconds < 1e-3 ? 2 : 4);
        text << seconds * 1e3;
        return text.str();
    }

    std::map<std::string, Seconds> m_seconds;
};

} // namespace

int main(int argc, char* argv[])
{
    benchmark::Initialize(&argc, argv);
    const auto folder = bench::corpusFolder();
    if (!folder)
        return 2;
    std::vector<Corpus> corpora;
    for (const char* name : {"prose-3k", "prose-100k", "prose-1m"})
        corpora.push_back({name, readText(*folder + "/" + name + ".txt")});

    const PhraseRewriter rewriter(loadBuiltinDictionary());
    std::cout << "built-in dictionary of " << rewriter.dictionary().size() << " entries\n";
    corpora.push_back(
        {"one-piece-1m", withoutSeparators(corpora.back().text, rewriter.dictionary())});
    corpora.push_back({"dense-1m", readText(*folder + "/dense-1m.txt")});

    for (const Corpus& corpus : corpora) {
        checkIdentical(corpus, rewriter);
        reportPeakMemory(corpus, rewriter);
        registerRewrites(corpus, rewriter);
    }
    registerAutomatonPass(corpora[2], rewriter.dictionary());
    registerBuild(rewriter.dictionary());

    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
