// Parse and parse+write throughput of our XML library and its peers on generated
// documents; a table of MB/s and of our time over each peer's follows the run.
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <time.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "xml_bench_documents.h"
#include "xml_bench_parsers.h"

namespace {

struct Document {
    std::string name;
    std::string text;
};

const BenchParser *const PARSERS[] = {&oursParser, &pugixmlParser, &tinyxml2Parser, &libxml2Parser, &expatParser};
const char *const OPERATIONS[] = {"parse", "parse+write"};

// CPU time of this thread: the figures hold on a machine busy with other work.
double cpuSeconds()
{
    timespec now;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// Seconds per run in the fastest repetition, by document, operation and parser. Other
// work on the machine only ever adds time, so the fastest repetition is the steadiest
// figure of what a library costs; each repetition averages over at least 0.1 s, which
// a single short run would be too brief for the CPU clock to measure.
std::map<std::string, std::map<std::string, std::map<std::string, double>>> fastestRepetition;

void run(benchmark::State &state, const Document *doc, const BenchParser *parser, bool write)
{
    std::vector<char> copy(doc->text.size());
    // One untimed run first: the heap as the benchmark before left it is not part of
    // the figure.
    memcpy(copy.data(), doc->text.data(), copy.size());
    parser->release(parser->parse(copy.data(), copy.size()));
    double total = 0;
    for (auto _ : state) {
        memcpy(copy.data(), doc->text.data(), copy.size());  // a fresh buffer, outside the timing
        double start = cpuSeconds();
        void *parsed = parser->parse(copy.data(), copy.size());
        if (write)
            benchmark::DoNotOptimize(parser->write(parsed));
        double seconds = cpuSeconds() - start;
        parser->release(parsed);
        state.SetIterationTime(seconds);
        total += seconds;
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * doc->text.size()));
    double perRun = total / static_cast<double>(state.iterations());
    double &best = fastestRepetition[doc->name][OPERATIONS[write]][parser->name];
    best = best > 0 ? std::min(best, perRun) : perRun;
}

// A library takes part in an operation when it can carry it out: expat does not write.
bool takesPart(const BenchParser *parser, bool write) { return !write || parser->write; }

void printTable(const std::vector<Document> &docs)
{
    printf("\nFastest of the repetitions, thread CPU time; - where a library does not write.\n");
    printf("%-14s %-12s", "document", "operation");
    for (const BenchParser *parser : PARSERS)
        printf(" %8s", parser->name);
    printf("        our time / peer time:");
    for (const BenchParser *parser : PARSERS)
        if (parser != &oursParser)
            printf(" %s", parser->name);
    printf("\n");
    for (const Document &doc : docs) {
        for (bool write : {false, true}) {
            auto &seconds = fastestRepetition[doc.name][OPERATIONS[write]];
            if (!seconds.count(oursParser.name))
                continue;  // not run
            double megabytes = static_cast<double>(doc.text.size()) / 1e6;
            printf("%-14s %-12s", doc.name.c_str(), OPERATIONS[write]);
            for (const BenchParser *parser : PARSERS)
                if (seconds.count(parser->name))
                    printf(" %8.1f", megabytes / seconds[parser->name]);
                else
                    printf(" %8s", "-");
            printf("  MB/s  ");
            for (const BenchParser *parser : PARSERS) {
                if (parser == &oursParser)
                    continue;
                if (seconds.count(parser->name))
                    printf(" %8.2f", seconds[oursParser.name] / seconds[parser->name]);
                else
                    printf(" %8s", "-");
            }
            printf("\n");
        }
    }
    // How much more a byte costs in a large document than in a small one (the 16 MB and
    // the 1 MB configuration).
    const Document &small = docs[1], &large = docs[2];
    auto &smallSeconds = fastestRepetition[small.name]["parse"], &largeSeconds = fastestRepetition[large.name]["parse"];
    printf("\nparse time per byte, %s over %s:", large.name.c_str(), small.name.c_str());
    for (const BenchParser *parser : PARSERS)
        if (smallSeconds.count(parser->name) && largeSeconds.count(parser->name))
            printf(" %s %.2f", parser->name,
                   largeSeconds[parser->name] / static_cast<double>(large.text.size()) /
                       (smallSeconds[parser->name] / static_cast<double>(small.text.size())));
    printf("\n");
}

}  // namespace

int main(int argc, char **argv)
{
    // Keep freed memory in the process: otherwise every run of every library pays the
    // kernel again for the pages of its nodes, which is what the figures would show.
    mallopt(M_TRIM_THRESHOLD, 1 << 30);
    mallopt(M_MMAP_THRESHOLD, 1 << 30);
    const std::vector<Document> docs = {
        {"config-10K", configDocument(10 * 1024)}, {"config-1M", configDocument(1 << 20)},
        {"config-16M", configDocument(16 << 20)},  {"attributes-1M", attributeDocument(1 << 20)},
        {"text-1M", textDocument(1 << 20)},        {"children-100k", wideDocument(100000)},
    };
    for (const Document &doc : docs)
        for (bool write : {false, true})
            for (const BenchParser *parser : PARSERS) {
                if (!takesPart(parser, write))
                    continue;
                benchmark::RegisterBenchmark((doc.name + "/" + OPERATIONS[write] + "/" + parser->name).c_str(), run,
                                             &doc, parser, write)
                    ->UseManualTime()
                    ->MinTime(0.1)
                    ->Repetitions(6)
                    ->ReportAggregatesOnly()
                    ->Unit(benchmark::kMicrosecond);
            }
    // Repetitions of all benchmarks run interleaved in random order, so that a busy
    // spell of the machine does not fall on one library only.
    std::vector<char *> args(argv, argv + argc);
    char interleave[] = "--benchmark_enable_random_interleaving=true";
    args.insert(args.begin() + 1, interleave);
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    printTable(docs);
    return 0;
}
