// The repaint benchmarks, in vantorel-bench beside the copy's.
//
//   Texture/ExportApplyCli/<aircraft>  vantorel-cli export, then apply of a
//       painted PNG for every texture, as whole processes, on the demo
//       aircraft with the most texture bytes (a copy of it)
//   Texture/Quantise256/<picture>      one 256 x 256 reduction to 256 colours
//       without dithering, with its PSNR and ImageMagick's
//       (`convert -colors 256 +dither`) on the same picture, measured here
//
// The demo simulator is written to its own temporary folder; the trash that
// apply moves old textures to is inside it too (XDG_DATA_HOME).
#include "bmp.h"
#include "catalogue.h"
#include "copy_aircraft.h"
#include "demo_paint.h"
#include "demo_sim.h"
#include "png.h"
#include "quantise.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void WriteAll(const fs::path& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

Image DecodeFile(const fs::path& path) {
    const std::string bytes = ReadAll(path);
    Image image;
    std::string reason;
    DecodePng(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(), &image, &reason);
    return image;
}

double Psnr(const Image& a, const Image& b) {
    if (a.width != b.width || a.height != b.height) return 0;
    double squared = 0;
    for (std::size_t i = 0; i < a.rgba.size(); ++i)
        if (i % 4 != 3) squared += std::pow(double(a.rgba[i]) - b.rgba[i], 2);
    return squared ? 10 * std::log10(255.0 * 255.0 * double(a.rgba.size() / 4 * 3) / squared) : 99;
}

double Seconds(std::chrono::steady_clock::duration d) { return std::chrono::duration<double>(d).count(); }

// The simulator, the copy of the aircraft with the most texture bytes, and
// a painted PNG for each of its textures.
class TextureBench {
public:
    TextureBench() {
        const char* base = std::getenv("VANTOREL_BENCH_DIR");
        root_ = fs::path(base ? base : fs::temp_directory_path().string()) /
                ("vantorel-bench-texture-" + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
        fs::create_directories(root_);
        setenv("XDG_DATA_HOME", (root_ / "trash").string().c_str(), 1);
        WriteDemoSimulator(root_.string().c_str());
        aircraft_ = root_ / "Aircraft";
        std::uintmax_t most = 0;
        for (int i = 0; i < GetAircraftCount(); ++i) {
            std::uintmax_t bytes = 0;
            for (const auto& e : fs::directory_iterator(aircraft_ / GetAircraftName(i) / "Texture")) bytes += e.file_size();
            if (bytes > most) most = bytes, index_ = i;
        }
        MakeCopy();
        painted_ = root_ / "painted";
        Run("export " + copy_ + " " + painted_.string());
        for (const auto& e : fs::directory_iterator(painted_)) {
            if (e.path().extension() != ".png") continue;
            Image image = DecodeFile(e.path());
            PaintDemo(&image);
            WriteAll(e.path(), EncodePng(image, false));
            pngs_ += " " + e.path().string();
            ++textures_;
            if (image.width == 256 && painted256_.rgba.empty()) painted256_ = image;
        }
    }
    ~TextureBench() {
        std::error_code ec;
        fs::remove_all(root_, ec);
    }
    // A fresh copy, so every apply replaces the copy's own textures.
    void MakeCopy() {
        CopyNames names;
        DeriveCopyNames(index_, "XY", &names);
        copy_ = names.newFolder;
        fs::remove_all(aircraft_ / copy_);
        CopyAircraft(aircraft_.string().c_str(), "XY", index_);
        fs::remove_all(root_ / "trash");
    }
    // Runs vantorel-cli with `args` and the Aircraft folder; its wall time.
    double Run(const std::string& args) {
        const std::string command = std::string(VANTOREL_CLI_PATH) + " " + args + " --aircraft-dir " +
                                    aircraft_.string() + " >/dev/null";
        const auto start = std::chrono::steady_clock::now();
        const int status = std::system(command.c_str());
        const double seconds = Seconds(std::chrono::steady_clock::now() - start);
        if (status != 0) std::fprintf(stderr, "vantorel-bench: failed (%d): %s\n", status, command.c_str());
        return seconds;
    }
    const fs::path& Root() const { return root_; }
    const char* Stock() const { return GetAircraftName(index_); }
    const std::string& CopyFolder() const { return copy_; }
    const std::string& Pngs() const { return pngs_; }
    int Textures() const { return textures_; }
    const Image& Painted256() const { return painted256_; }

private:
    fs::path root_, aircraft_, painted_;
    int index_ = 0, textures_ = 0;
    std::string copy_, pngs_;
    Image painted256_;
};

TextureBench& Bench() {
    static TextureBench bench;
    return bench;
}

void BM_ExportApplyCli(benchmark::State& state) {
    TextureBench& b = Bench();
    std::vector<double> exports, applies;
    for (auto _ : state) {
        const fs::path out = b.Root() / "export";
        const double e = b.Run("export " + b.CopyFolder() + " " + out.string());
        const double a = b.Run("apply " + b.CopyFolder() + b.Pngs());
        state.SetIterationTime(e + a);
        exports.push_back(e);
        applies.push_back(a);
        state.PauseTiming();
        fs::remove_all(out);
        b.MakeCopy();
        state.ResumeTiming();
    }
    auto median = [](std::vector<double> v) {
        std::sort(v.begin(), v.end());
        return v.empty() ? 0 : v[v.size() / 2];
    };
    state.counters["export_ms"] = 1000 * median(exports);
    state.counters["apply_ms"] = 1000 * median(applies);
    state.counters["total_ms"] = 1000 * (median(exports) + median(applies));
    state.counters["textures"] = b.Textures();
}

// ImageMagick's reduction of the same picture: PSNR and the wall time of
// the whole convert process; -1 when convert is not installed.
void ImageMagick(const Image& picture, double* psnr, double* ms) {
    *psnr = *ms = -1;
    const fs::path in = Bench().Root() / "im_in.png", out = Bench().Root() / "im_out.png";
    WriteAll(in, EncodePng(picture, false));
    const auto start = std::chrono::steady_clock::now();
    const std::string command = "convert " + in.string() + " +dither -colors 256 " + out.string() + " 2>/dev/null";
    if (std::system(command.c_str()) != 0) return;
    *ms = 1000 * Seconds(std::chrono::steady_clock::now() - start);
    *psnr = Psnr(picture, DecodeFile(out));
}

void BM_Quantise(benchmark::State& state, bool gradient) {
    const Image picture = gradient ? Gradient(256, 256) : Bench().Painted256();
    if (picture.rgba.empty()) {
        state.SkipWithError("no 256 x 256 texture to paint");
        return;
    }
    Quantised q;
    for (auto _ : state) {
        q = Quantise(picture, 256, false, false);
        benchmark::DoNotOptimize(q.indices.data());
    }
    Image reduced(picture.width, picture.height);
    for (std::size_t i = 0; i < q.indices.size(); ++i)
        std::copy_n(&q.palette[4 * q.indices[i]], 4, &reduced.rgba[4 * i]);
    double imPsnr = 0, imMs = 0;
    ImageMagick(picture, &imPsnr, &imMs);
    state.counters["colours_in"] = static_cast<double>(q.distinct);
    state.counters["psnr_dB"] = Psnr(picture, reduced);
    state.counters["im_psnr_dB"] = imPsnr;
    state.counters["gain_dB"] = Psnr(picture, reduced) - imPsnr;
    state.counters["im_ms"] = imMs;
}

const bool kRegistered = [] {
    benchmark::RegisterBenchmark("Texture/ExportApplyCli/largest", BM_ExportApplyCli)
        ->UseManualTime()
        ->Iterations(10)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("Texture/Quantise256/gradient", [](benchmark::State& s) { BM_Quantise(s, true); })
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("Texture/Quantise256/painted", [](benchmark::State& s) { BM_Quantise(s, false); })
        ->Unit(benchmark::kMillisecond);
    return true;
}();

} // namespace
