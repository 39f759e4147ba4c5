#include "texture_cmd.h"

#include "catalogue.h"
#include "platform.h"

#include <cstdio>
#include <string>

namespace {

// The exit status of each outcome, in this table only.
struct RepaintExitCode { RepaintStatus status; int exit; };
constexpr RepaintExitCode kRepaintExitCodes[] = {
    {RepaintOk, 0}, {RepaintFailed, 1}, {RepaintRefused, 2}, {RepaintNotFound, 3},
};
int RepaintExit(RepaintStatus status) {
    for (const RepaintExitCode& e : kRepaintExitCodes)
        if (e.status == status) return e.exit;
    return 1;
}

int NotFound(const char* aircraftDir, const char* folder) {
    std::fprintf(stderr, "vantorel-cli: there is no aircraft folder %s in %s\n", folder, aircraftDir);
    return RepaintExit(RepaintNotFound);
}

std::string Rel(const std::string& folder, const std::string& name) { return folder + kPathSep + name; }

// "mean R 1.2 G 0.8 B 1.5, max R 9 G 6 B 11, PSNR 38.4 dB"
std::string ErrorText(const ColourError& e, bool alpha) {
    if (e.exact) return "exact";
    const char* names[] = {"R", "G", "B", "A"};
    const int channels = alpha ? 4 : 3;
    char buffer[64];
    std::string mean = "mean", max = "max";
    for (int ch = 0; ch < channels; ++ch) {
        std::snprintf(buffer, sizeof buffer, " %s %.1f", names[ch], e.mean[ch]);
        mean += buffer;
        std::snprintf(buffer, sizeof buffer, " %s %d", names[ch], e.max[ch]);
        max += buffer;
    }
    std::snprintf(buffer, sizeof buffer, ", PSNR %.1f dB", e.psnr);
    return "error " + mean + ", " + max + buffer;
}

} // namespace

int RunTexturesCommand(const char* aircraftDir, const char* folder) {
    TextureCheck check;
    const RepaintStatus status = CheckTextures(aircraftDir, folder, &check);
    if (status == RepaintNotFound) return NotFound(aircraftDir, folder);
    std::printf("Textures of %s:\n", check.path.c_str());
    if (check.files.empty()) std::printf("  (no .bmp files)\n");
    for (const TextureFile& t : check.files) {
        const std::string name = Rel(t.folder, t.name);
        if (!t.readable) {
            std::printf("  %-28s not a texture the simulator can read: %s\n", name.c_str(), t.problem.c_str());
            continue;
        }
        const std::string size = std::to_string(t.layout.width) + " x " + std::to_string(t.layout.height);
        std::printf("  %-28s %-11s %s", name.c_str(), size.c_str(), DescribeTexture(t.layout).c_str());
        if (!t.problem.empty()) std::printf("; not a texture the simulator can read: %s", t.problem.c_str());
        std::printf("\n");
    }
    for (const std::string& note : check.notes) std::printf("Note: %s\n", note.c_str());
    if (!check.missing.empty()) std::printf("Named by a model, but no file answers (shows white or not at all):\n");
    for (const MissingTexture& m : check.missing)
        std::printf("  %s (named by %s)\n", Rel(m.folder, m.name).c_str(), m.model.c_str());
    bool header = false;
    for (const TextureFile& t : check.files) {
        if (t.named) continue;
        if (!header) std::printf("Not named by any model:\n");
        header = true;
        std::printf("  %s\n", Rel(t.folder, t.name).c_str());
    }
    std::printf(status == RepaintOk ? "Every texture the models name is there and readable.\n"
                                    : "Some textures the models name are missing or unreadable.\n");
    return RepaintExit(status);
}

int RunExportCommand(const char* aircraftDir, const char* folder, const char* dir) {
    ExportReport report;
    const RepaintStatus status = ExportTextures(aircraftDir, folder, dir, &report);
    if (status == RepaintNotFound) return NotFound(aircraftDir, folder);
    if (status == RepaintRefused) {
        if (report.existing.empty()) {
            std::fprintf(stderr, "vantorel-cli: %s is inside the Aircraft folder %s: export to a folder of your own. "
                         "Nothing was written.\n", dir, aircraftDir);
        } else {
            std::fprintf(stderr, "vantorel-cli: these files are already there and are never overwritten (your "
                         "painting may be in them); export to an empty folder. Nothing was written.\n");
            for (const std::string& path : report.existing) std::fprintf(stderr, "  %s\n", path.c_str());
        }
        return RepaintExit(RepaintRefused);
    }
    int written = 0;
    for (const ExportedPng& p : report.pngs) {
        if (!p.problem.empty()) {
            std::fprintf(stderr, "vantorel-cli: %s: %s\n", p.texture.c_str(), p.problem.c_str());
            continue;
        }
        ++written;
        std::printf("  %-28s -> %s (%d x %d, %s)\n", p.texture.c_str(), p.png.c_str(), p.width, p.height,
                    p.alpha ? "RGBA: its transparency matters" : "RGB");
    }
    std::printf("%d PNG%s and README.txt written to %s\n", written, written == 1 ? "" : "s", dir);
    return RepaintExit(status);
}

int RunApplyCommand(const char* aircraftDir, const char* folder, const std::vector<std::string>& pngs,
                    const ApplyOptions& options) {
    ApplyReport report;
    const RepaintStatus status = ApplyTextures(aircraftDir, folder, pngs, options, &report);
    if (status == RepaintNotFound) return NotFound(aircraftDir, folder);
    if (status == RepaintRefused) {
        std::fprintf(stderr, "vantorel-cli: %s is not a copy Vantorel made (see 'vantorel-cli copies'): textures are "
                     "applied only to copies, never to a stock aircraft or another folder. Nothing was changed.\n",
                     folder);
        return RepaintExit(RepaintRefused);
    }
    for (const AppliedTexture& t : report.textures) {
        if (!t.problem.empty()) {
            std::fprintf(stderr, "vantorel-cli: %s: %s\n", t.png.c_str(), t.problem.c_str());
            continue;
        }
        std::string how = t.paletteKept ? "its palette kept"
                          : t.reduced ? "reduced from " + std::to_string(t.pngColours)
                                      : "its own colours";
        if (t.reduced && options.dither) how += ", dithered";
        std::printf("  %s -> %s: %d x %d%s, %d colours (%s), %s%s, %s\n", t.png.c_str(),
                    Rel("Texture", t.texture).c_str(), t.width, t.height,
                    t.pngWidth != t.width || t.pngHeight != t.height
                        ? (" resized from " + std::to_string(t.pngWidth) + " x " + std::to_string(t.pngHeight)).c_str()
                        : "",
                    t.colours, how.c_str(), t.alpha ? "palette alpha" : "opaque",
                    t.mipLevels ? (", " + std::to_string(t.mipLevels) + " mip levels").c_str() : "",
                    ErrorText(t.error, t.alpha).c_str());
        if (t.alphaLost)
            std::printf("    warning: the texture had transparency and the PNG has none: it is now opaque\n");
        if (t.written)
            std::printf("    the old texture went to %s\n",
                        t.trashPath.empty() ? "the Recycle Bin" : ("the trash: " + t.trashPath).c_str());
    }
    if (status != RepaintOk) {
        bool any = false;
        for (const AppliedTexture& t : report.textures) any = any || t.written;
        std::fprintf(stderr, "vantorel-cli: %s\n",
                     any ? "stopped: the textures listed with the trash were replaced, the others are as they were"
                         : "nothing was written: every texture is as it was");
        return RepaintExit(RepaintFailed);
    }
    if (options.dryRun) std::printf("Nothing was written (dry run).\n");
    return RepaintExit(RepaintOk);
}
