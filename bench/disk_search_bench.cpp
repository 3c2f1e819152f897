// The disk search's walk beside find(1) over the same generated tree of 100,000 files: both look
// for icons and icon libraries by extension, letter case ignored, without following links and
// without leaving the tree's file system, and both hand every match on (our sink counts them,
// find's output is read through a pipe and counted). BM_WalkBesideFind times the two in turn in
// every iteration and reports x_find, find's time over ours: above 1 the walk is the faster.
#include "import/disk_scan.h"

#include <benchmark/benchmark.h>

#include <QByteArray>
#include <QDir>
#include <QTemporaryDir>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <string>
#include <unistd.h>

namespace {

constexpr int kTop = 10, kMiddle = 10, kLeaves = 10, kFilesPerLeaf = 100; // 100,000 files

// One file in ten is an icon or a library, in mixed letter case; the rest are pictures and other
// files the icon kind passes over.
const char* const kNames[] = {"a.ico", "b.PNG", "c.txt", "d.bmp", "e.jpg", "f.dat", "g.gif", "h.dll", "i.cur", "j.png"};

struct TTree {
    QTemporaryDir Dir;
    std::string Root;
    int64_t Icons = 0;

    TTree()
    {
        Root = Dir.path().toStdString() + "/tree";
        for (int t = 0; t < kTop; ++t)
            for (int m = 0; m < kMiddle; ++m)
                for (int l = 0; l < kLeaves; ++l) {
                    const std::string folder = Root + "/t" + std::to_string(t) + "/m" + std::to_string(m) + "/l" + std::to_string(l);
                    QDir().mkpath(QString::fromStdString(folder));
                    for (int f = 0; f < kFilesPerLeaf; ++f) {
                        const char* name = kNames[f % 10];
                        std::string path = folder + "/" + std::to_string(f) + name;
                        if (f % 20 == 0) { // every other icon is a library written in capitals
                            path = folder + "/" + std::to_string(f) + "L.ICL";
                        }
                        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
                        if (fd >= 0)
                            ::close(fd);
                        if (f % 10 == 0)
                            ++Icons;
                    }
                }
        // A link back to the root: neither walk may enter it.
        (void)::symlink(Root.c_str(), (Root + "/t0/loop").c_str());
    }
};

const TTree& Tree()
{
    static TTree tree;
    return tree;
}

int64_t Walk()
{
    std::atomic<bool> stop{false};
    int64_t found = 0;
    ScanFolder(QString::fromStdString(Tree().Root), QString(), TSearchKind::Icons, stop,
               [&](const TSearchResult& r, const QString&) {
                   benchmark::DoNotOptimize(r.Size);
                   ++found;
               });
    return found;
}

int64_t Find()
{
    const std::string command = "find '" + Tree().Root + "' -xdev -type f \\( -iname '*.ico' -o -iname '*.icl' \\) 2>/dev/null";
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe)
        return -1;
    int64_t lines = 0;
    char buffer[1 << 16];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        for (size_t i = 0; i < n; ++i)
            lines += buffer[i] == '\n';
    ::pclose(pipe);
    return lines;
}

// Times one way of finding the tree's icons; every run must find all of them.
void TimeSearch(benchmark::State& state, int64_t (*search)(), const char* mismatch)
{
    Tree();
    for (auto _ : state)
        if (search() != Tree().Icons)
            state.SkipWithError(mismatch);
    state.counters["files/s"] = benchmark::Counter(double(kTop * kMiddle * kLeaves * kFilesPerLeaf) * double(state.iterations()),
                                                   benchmark::Counter::kIsRate);
}

void BM_Walk(benchmark::State& state) { TimeSearch(state, Walk, "the walk found a different number of icons"); }
BENCHMARK(BM_Walk)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Find(benchmark::State& state) { TimeSearch(state, Find, "find is missing or found a different number of icons"); }
BENCHMARK(BM_Find)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_WalkBesideFind(benchmark::State& state)
{
    Tree();
    using Clock = std::chrono::steady_clock;
    Clock::duration ours{}, theirs{};
    for (auto _ : state) {
        const auto a = Clock::now();
        const int64_t walked = Walk();
        const auto b = Clock::now();
        const int64_t found = Find();
        const auto c = Clock::now();
        if (walked != found) {
            state.SkipWithError("the walk and find disagree");
            break;
        }
        ours += b - a;
        theirs += c - b;
    }
    if (ours.count() > 0)
        state.counters["x_find"] = double(theirs.count()) / double(ours.count());
}
BENCHMARK(BM_WalkBesideFind)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10);

} // namespace

BENCHMARK_MAIN();
