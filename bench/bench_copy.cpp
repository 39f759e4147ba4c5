// vantorel-bench: the copy engine against a plain copy of the same bytes.
//
// Sections:
//   1. The demo simulator the benchmarks run on (a temporary folder)
//   2. Paired timing: engine and plain copy alternate in one run
//   3. CopyAircraft for every stock aircraft
//   4. The rewriters on a 250,000-byte model
//   5. Large models: a hostile 32 MB pattern, and 1 GB on request
//
// Each benchmark times the engine and, in the same loop, a plain
// std::filesystem::copy_file of the same stock bytes, alternating which goes
// first, so both see the same page cache and the same machine load. The
// benchmark's time is the engine's mean; the counters give the median times
// of both and their ratio engine / plain (the target is 1.3 or below for the
// largest aircraft). Folders made by an iteration are removed outside the timing.

#include "catalogue.h"
#include "copy_aircraft.h"
#include "demo_sim.h"
#include "file_ops.h"

#include <benchmark/benchmark.h>

#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <chrono>
#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// ---------------------------------------------------------------------------
// 1. The demo simulator
// ---------------------------------------------------------------------------

// Written once per run under $VANTOREL_BENCH_DIR or the system's temporary
// folder, and removed at exit.
class DemoSimulator {
public:
    DemoSimulator() {
        const char* base = std::getenv("VANTOREL_BENCH_DIR");
        root_ = fs::path(base ? base : fs::temp_directory_path().string()) /
                ("vantorel-bench-" + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
        fs::create_directories(root_);
        if (WriteDemoSimulator(root_.string().c_str()) != 0) {
            std::fprintf(stderr, "vantorel-bench: could not write the demo simulator in %s\n", root_.string().c_str());
            std::exit(1);
        }
        aircraft_ = root_ / "Aircraft";
        scratch_ = root_ / "scratch";
        fs::create_directories(scratch_);
    }
    ~DemoSimulator() {
        std::error_code ec;
        fs::remove_all(root_, ec);
    }
    const fs::path& Aircraft() const { return aircraft_; }
    const fs::path& Scratch() const { return scratch_; }

private:
    fs::path root_, aircraft_, scratch_;
};

DemoSimulator& Sim() {
    static DemoSimulator sim;
    return sim;
}

// What one CopyAircraft reads and makes, from the engine's own plan, as
// paths below the stock folder and the new folder: the subfolders it makes and
// the stock files it reads. Alias entries read nothing and are left out: the
// plain copy gets the folders, the engine writes 26-byte alias files.
struct StockFiles {
    std::vector<fs::path> folders;                      // below the new folder
    std::vector<std::pair<fs::path, fs::path>> files;   // source, destination below the new folder
    std::uintmax_t bytes = 0;
};

StockFiles ListStockFiles(int index, const char* prefix) {
    CopyNames names;
    DeriveCopyNames(index, prefix, &names);
    struct Walk {
        StockFiles out;
        fs::path newFolder;
    } walk{{}, Sim().Aircraft() / names.newFolder};
    const std::string dir = Sim().Aircraft().string();
    PlanCopySteps(dir.c_str(), prefix, index, [](const CopyStep& step, void* context) {
        Walk& w = *static_cast<Walk*>(context);
        const fs::path rel = fs::path(step.dest).lexically_relative(w.newFolder);
        if (step.entry->action == FileAction::MakeFolder) {
            w.out.folders.push_back(rel);
        } else if (*step.source) {
            w.out.files.emplace_back(step.source, rel);
            w.out.bytes += fs::file_size(step.source);
        }
    }, &walk);
    return walk.out;
}

// The reference: the same stock files into a fresh folder, same layout.
void PlainCopyAircraft(const fs::path& to, const StockFiles& list) {
    fs::create_directory(to);
    for (const fs::path& f : list.folders) fs::create_directory(to / f);
    for (const auto& [from, rel] : list.files) fs::copy_file(from, to / rel);
}

// ---------------------------------------------------------------------------
// 2. Paired timing
// ---------------------------------------------------------------------------

using Clock = std::chrono::steady_clock;

// Wall time, and the process's CPU time (user and system; the benchmark is
// single-threaded). On a machine shared with other work the wall time of an
// iteration can stall while the CPU time stays put, so both are reported.
struct Times {
    double wall = 0, cpu = 0;
};

Times Measure(const std::function<void()>& work) {
    const std::clock_t cpuStart = std::clock();
    const auto start = Clock::now();
    work();
    Times t;
    t.wall = std::chrono::duration<double>(Clock::now() - start).count();
    t.cpu = static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC;
    return t;
}

double Median(std::vector<double> v) {
    if (v.empty()) return 0;
    std::nth_element(v.begin(), v.begin() + static_cast<std::ptrdiff_t>(v.size() / 2), v.end());
    return v[v.size() / 2];
}

// Times `engine` and `plain` alternately, `cleanup` after each, untimed.
// The benchmark's own time is the engine's mean wall time (manual time). The
// counters use medians, which a few stalled iterations do not move:
//   engine_us, plain_us  median wall time of one engine / plain operation
//   ratio                engine_us / plain_us
//   cpu_ratio            the same for CPU time (steadier under load)
void RunPaired(benchmark::State& state, std::uintmax_t bytes, const std::function<void()>& engine,
               const std::function<void()>& plain, const std::function<void()>& cleanup) {
    std::vector<double> engineWall, plainWall, engineCpu, plainCpu;
    bool engineFirst = true;
    for (auto _ : state) {
        Times e, p;
        if (engineFirst) {
            e = Measure(engine);
            cleanup();
            p = Measure(plain);
        } else {
            p = Measure(plain);
            cleanup();
            e = Measure(engine);
        }
        cleanup();
        engineFirst = !engineFirst;
        engineWall.push_back(e.wall);
        plainWall.push_back(p.wall);
        engineCpu.push_back(e.cpu);
        plainCpu.push_back(p.cpu);
        state.SetIterationTime(e.wall);
    }
    auto ratio = [](double a, double b) { return b > 0 ? a / b : 0.0; };
    const double engineMedian = Median(engineWall), plainMedian = Median(plainWall);
    // std::clock can tick coarsely (every millisecond on some systems): use
    // totals for CPU time, a median of coarse ticks would mislead.
    double engineCpuTotal = 0, plainCpuTotal = 0;
    for (double t : engineCpu) engineCpuTotal += t;
    for (double t : plainCpu) plainCpuTotal += t;
    state.SetBytesProcessed(static_cast<std::int64_t>(bytes) * state.iterations());
    state.counters["KB"] = benchmark::Counter(static_cast<double>(bytes) / 1000.0);
    state.counters["engine_us"] = benchmark::Counter(engineMedian * 1e6);
    state.counters["plain_us"] = benchmark::Counter(plainMedian * 1e6);
    state.counters["ratio"] = benchmark::Counter(ratio(engineMedian, plainMedian));
    state.counters["cpu_ratio"] = benchmark::Counter(ratio(engineCpuTotal, plainCpuTotal));
}

// ---------------------------------------------------------------------------
// 3. CopyAircraft for every stock aircraft
// ---------------------------------------------------------------------------

void BM_CopyAircraft(benchmark::State& state, int index) {
    const AircraftEntry& a = GetAircraftEntry(index);
    const StockFiles list = ListStockFiles(index, "XY");
    const std::string dir = Sim().Aircraft().string();
    CopyNames names;
    DeriveCopyNames(index, "XY", &names);
    const fs::path made = Sim().Aircraft() / names.newFolder;
    const fs::path plainCopy = Sim().Scratch() / a.name;
    bool failed = false;
    RunPaired(
        state, list.bytes,
        [&] { failed |= CopyAircraft(dir.c_str(), "XY", index) != CopyOk; },
        [&] { PlainCopyAircraft(plainCopy, list); },
        [&] {
            fs::remove_all(made);
            fs::remove_all(plainCopy);
        });
    state.counters["files"] = benchmark::Counter(static_cast<double>(list.files.size()));
    if (failed) state.SkipWithError("CopyAircraft did not return CopyOk");
}

// ---------------------------------------------------------------------------
// 4. The rewriters on a 250,000-byte model
// ---------------------------------------------------------------------------

constexpr std::size_t kModelBytes = 250000;

// A stock model repeated to exactly 250,000 bytes: its own names, at its own
// density, so each rewriter finds what it looks for.
fs::path Model250k(const char* aircraft, const char* model) {
    fs::path out = Sim().Scratch() / (std::string(aircraft) + "_250k.mdl");
    if (fs::exists(out)) return out;
    std::ifstream in(Sim().Aircraft() / aircraft / "Model" / model, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::string data;
    while (data.size() < kModelBytes) data += bytes;
    data.resize(kModelBytes);
    std::ofstream(out, std::ios::binary).write(data.data(), static_cast<std::streamsize>(data.size()));
    return out;
}

void BM_Rewriter(benchmark::State& state, const char* aircraft, const char* model,
                 const std::function<FileResult(const char*, const char*)>& rewrite) {
    const fs::path source = Model250k(aircraft, model);
    const fs::path dest = Sim().Scratch() / "rewritten.mdl";
    const fs::path plain = Sim().Scratch() / "plain.mdl";
    const std::string src = source.string(), dst = dest.string();
    bool failed = false;
    RunPaired(
        state, kModelBytes,
        [&] { failed |= rewrite(src.c_str(), dst.c_str()).outcome != FileWritten; },
        [&] { fs::copy_file(source, plain, fs::copy_options::overwrite_existing); },
        [] {});
    if (failed) state.SkipWithError("the rewriter did not return FileWritten");
}

// The reference alone: its bytes/s stand beside the rewriters' in the table.
void BM_PlainCopy250k(benchmark::State& state) {
    const fs::path source = Model250k("P51d", "P51d_n.mdl");
    const fs::path plain = Sim().Scratch() / "plain.mdl";
    for (auto _ : state) fs::copy_file(source, plain, fs::copy_options::overwrite_existing);
    state.SetBytesProcessed(static_cast<std::int64_t>(kModelBytes) * state.iterations());
}

// The substitution pass alone, in memory: the CPU share of a rewrite.
void BM_SubstitutionPassInMemory(benchmark::State& state) {
    std::ifstream in(Model250k("P51d", "P51d_n.mdl"), std::ios::binary);
    std::vector<unsigned char> data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    for (auto _ : state) {
        SubstitutionPass(data.data(), data.size(), "P51", "XY1", 3);
        SubstitutionPass(data.data(), data.size(), "XY1", "P51", 3);  // undo: same work each time
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(2 * data.size()) * state.iterations());
}

// ---------------------------------------------------------------------------
// 5. Large models
// ---------------------------------------------------------------------------

// `size` bytes of `unit` repeated, written to the scratch folder once per run.
fs::path RepeatedFile(const std::string& name, const std::string& unit, std::uintmax_t size) {
    const fs::path out = Sim().Scratch() / name;
    if (fs::exists(out)) return out;
    std::string block;
    while (block.size() + unit.size() <= (1u << 20)) block += unit;
    std::ofstream file(out, std::ios::binary);
    for (std::uintmax_t left = size; left > 0;) {
        const std::size_t n = static_cast<std::size_t>(std::min<std::uintmax_t>(left, block.size()));
        file.write(block.data(), static_cast<std::streamsize>(n));
        left -= n;
    }
    return out;
}

// Mebibytes of a /proc/self/status line ("VmHWM:", "VmRSS:"), 0 where there is none.
double StatusMiB(const char* key) {
    std::ifstream in("/proc/self/status");
    for (std::string line; std::getline(in, line);)
        if (line.rfind(key, 0) == 0) return std::strtod(line.c_str() + std::strlen(key), nullptr) / 1024.0;
    return 0;
}

// Peak resident memory of a forked child that runs `work` once: the child
// starts with this process's resident pages, so its start is reported too.
struct Peak {
    double startMiB = 0, peakMiB = 0;
};
Peak PeakOfChild(const std::function<void()>& work) {
    Peak peak;
#ifndef _WIN32
    int fds[2];
    if (pipe(fds) != 0) return peak;
    const pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        Peak p;
        p.startMiB = StatusMiB("VmRSS:");
        work();
        p.peakMiB = StatusMiB("VmHWM:");
        _exit(write(fds[1], &p, sizeof p) == sizeof p ? 0 : 1);
    }
    close(fds[1]);
    if (read(fds[0], &peak, sizeof peak) != sizeof peak) peak = Peak{};
    close(fds[0]);
    waitpid(pid, nullptr, 0);
#endif
    return peak;
}

// ReplaceStemInFile on `source` paired with copy_file of it; with `peak`, the
// peak memory of one more rewrite in a child.
void BM_LargeModel(benchmark::State& state, const std::function<fs::path()>& make, bool peak) {
    const fs::path source = make();
    const fs::path dest = Sim().Scratch() / "large-rewritten.mdl";
    const fs::path plain = Sim().Scratch() / "large-plain.mdl";
    const std::string src = source.string(), dst = dest.string();
    bool failed = false;
    RunPaired(
        state, fs::file_size(source),
        [&] { failed |= ReplaceStemInFile(src.c_str(), dst.c_str(), "P51", "XY1").outcome != FileWritten; },
        [&] { fs::copy_file(source, plain, fs::copy_options::overwrite_existing); },
        [&] {
            fs::remove(dest);
            fs::remove(plain);
        });
    if (peak) {
        const Peak p = PeakOfChild([&] { ReplaceStemInFile(src.c_str(), dst.c_str(), "P51", "XY1"); });
        fs::remove(dest);
        state.counters["start_MiB"] = benchmark::Counter(p.startMiB);
        state.counters["peak_MiB"] = benchmark::Counter(p.peakMiB);
    }
    if (failed) state.SkipWithError("the rewrite did not return FileWritten");
}

// Only lower-case "p" occurs, every few bytes: a search for the first letter
// in either case that restarted from every candidate scanned to the end of
// the file for the absent "P" each time.
fs::path HostileModel() { return RepeatedFile("hostile_32m.mdl", std::string("p5\x80p51\0p", 7), 32000000); }

// A stock model repeated to 1,000,000,000 bytes.
fs::path Model1G() {
    std::ifstream in(Sim().Aircraft() / "P51d" / "Model" / "P51d_n.mdl", std::ios::binary);
    return RepeatedFile("model_1g.mdl", std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>()),
                        1000000000);
}

void RegisterAll() {
    for (int i = 0; i < GetAircraftCount(); ++i)
        benchmark::RegisterBenchmark((std::string("CopyAircraft/") + GetAircraftName(i)).c_str(),
                                     [i](benchmark::State& s) { BM_CopyAircraft(s, i); })
            ->UseManualTime()
            ->Unit(benchmark::kMicrosecond);

    struct Rewriter {
        const char* name;
        const char* aircraft;
        const char* model;
        std::function<FileResult(const char*, const char*)> run;
    };
    static const Rewriter kRewriters[] = {
        {"ReplaceStemInFile", "P51d", "P51d_n.mdl",
         [](const char* s, const char* d) { return ReplaceStemInFile(s, d, "P51", "XY1"); }},
        {"ReplaceBf109eTextureNames", "Bf109e", "bf109e_n.mdl",
         [](const char* s, const char* d) { return ReplaceBf109eTextureNames(s, d, "XY1"); }},
        {"ReplaceHurricaneTextureNames", "Hurricane_I", "hurricane_i_n.mdl",
         [](const char* s, const char* d) { return ReplaceHurricaneTextureNames(s, d, "XYrr"); }},
        {"RewriteConfigWithTitle", "P51d", "P51d_n.mdl",
         [](const char* s, const char* d) { return RewriteConfigWithTitle(s, d, "P51", "XY1"); }},
        {"CopyFileBytes", "P51d", "P51d_n.mdl",
         [](const char* s, const char* d) { return CopyFileBytes(s, d); }},
    };
    for (const Rewriter& r : kRewriters)
        benchmark::RegisterBenchmark((std::string("Model250k/") + r.name).c_str(),
                                     [&r](benchmark::State& s) { BM_Rewriter(s, r.aircraft, r.model, r.run); })
            ->UseManualTime()
            ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("Model250k/PlainCopy(std::filesystem::copy_file)", BM_PlainCopy250k)
        ->UseRealTime()
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("Model250k/SubstitutionPassInMemory", BM_SubstitutionPassInMemory)
        ->Unit(benchmark::kMicrosecond);

    benchmark::RegisterBenchmark("Hostile32M/ReplaceStemInFile",
                                 [](benchmark::State& s) { BM_LargeModel(s, HostileModel, true); })
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);
    // 2 GB of disk for the model and its copies: only when asked.
    if (const char* big = std::getenv("VANTOREL_BENCH_1G"); big && *big && std::string(big) != "0")
        benchmark::RegisterBenchmark("Model1G/ReplaceStemInFile",
                                     [](benchmark::State& s) { BM_LargeModel(s, Model1G, true); })
            ->UseManualTime()
            ->Iterations(4)
            ->Unit(benchmark::kMillisecond);
}

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    Sim();  // written before any timing, removed at exit
    RegisterAll();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
