// Parse and parse+write throughput of our XML library and its peers on generated
// documents; a table of MB/s and of our time over each peer's follows the run.
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <time.h>

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

const BenchParser *const PARSERS[] = {&oursParser, &pugixmlParser, &tinyxml2Parser, &libxml2Parser};
const char *const OPERATIONS[] = {"parse", "parse+write"};

// CPU time of this thread: the figures hold on a machine busy with other work.
double cpuSeconds() {
    timespec now;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// Seconds per run, by document, operation and parser.
std::map<std::string, std::map<std::string, std::map<std::string, double>>> secondsPerRun;

void run(benchmark::State &state, const Document *doc, const BenchParser *parser, bool write) {
    std::vector<char> copy(doc->text.size());
    double total = 0;
    for (auto _ : state) {
        memcpy(copy.data(), doc->text.data(), copy.size());  // a fresh buffer, outside the timing
        double start = cpuSeconds();
        void *parsed = parser->parse(copy.data(), copy.size());
        if (write) benchmark::DoNotOptimize(parser->write(parsed));
        double seconds = cpuSeconds() - start;
        parser->release(parsed);
        state.SetIterationTime(seconds);
        total += seconds;
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * doc->text.size()));
    secondsPerRun[doc->name][OPERATIONS[write]][parser->name] = total / static_cast<double>(state.iterations());
}

void printTable(const std::vector<Document> &docs) {
    printf("\n%-16s %-12s %9s %9s %9s %9s   %s\n", "document", "operation", "ours", "pugixml", "tinyxml2",
           "libxml2", "our time / peer time (pugixml tinyxml2 libxml2)");
    for (const Document &doc : docs) {
        for (const char *operation : OPERATIONS) {
            auto &times = secondsPerRun[doc.name][operation];
            double megabytes = static_cast<double>(doc.text.size()) / 1e6;
            printf("%-16s %-12s", doc.name.c_str(), operation);
            for (const BenchParser *parser : PARSERS) printf(" %9.1f", megabytes / times[parser->name]);
            printf("   MB/s   ");
            for (size_t peer = 1; peer < sizeof PARSERS / sizeof *PARSERS; ++peer)
                printf(" %6.2f", times["ours"] / times[PARSERS[peer]->name]);
            printf("\n");
        }
    }
}

}  // namespace

int main(int argc, char **argv) {
    // Keep freed memory in the process: otherwise every run of every library pays the
    // kernel again for the pages of its nodes, which is what the figures would show.
    mallopt(M_TRIM_THRESHOLD, 1 << 30);
    mallopt(M_MMAP_THRESHOLD, 1 << 30);
    const std::vector<Document> docs = {
        {"config-10K", configDocument(10 * 1024)},   {"config-1M", configDocument(1 << 20)},
        {"config-16M", configDocument(16 << 20)},    {"attributes-1M", attributeDocument(1 << 20)},
        {"text-1M", textDocument(1 << 20)},          {"children-100k", wideDocument(100000)},
    };
    for (const Document &doc : docs)
        for (bool write : {false, true})
            for (const BenchParser *parser : PARSERS)
                benchmark::RegisterBenchmark((doc.name + "/" + OPERATIONS[write] + "/" + parser->name).c_str(), run,
                                             &doc, parser, write)
                    ->UseManualTime()
                    ->Unit(benchmark::kMicrosecond);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    printTable(docs);
    return 0;
}
