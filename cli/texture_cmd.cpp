#include "texture_cmd.h"

#include "catalogue.h"
#include "messages.h"
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


} // namespace

int RunTexturesCommand(const char* aircraftDir, const char* folder) {
    TextureCheck check;
    const RepaintStatus status = CheckTextures(aircraftDir, folder, &check);
    if (status == RepaintNotFound) return NotFound(aircraftDir, folder);
    std::printf("Textures of %s:\n", check.path.c_str());
    if (check.files.empty()) std::printf("  (no .bmp files)\n");
    for (const TextureFile& t : check.files) {
        const std::string name = JoinPaths(t.folder, t.name);
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
        std::printf("  %s (named by %s)\n", JoinPaths(m.folder, m.name).c_str(), m.model.c_str());
    bool header = false;
    for (const TextureFile& t : check.files) {
        if (t.named) continue;
        if (!header) std::printf("Not named by any model:\n");
        header = true;
        std::printf("  %s\n", JoinPaths(t.folder, t.name).c_str());
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
            std::fprintf(stderr, "vantorel-cli: ");
            std::fprintf(stderr, kMsgExportInsideAircraft, dir, aircraftDir);
            std::fprintf(stderr, "\n");
        } else {
            std::fprintf(stderr, "vantorel-cli: %s\n", kMsgExportExisting);
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
    std::printf("%s\n", ExportedText(written, dir).c_str());
    return RepaintExit(status);
}

int RunApplyCommand(const char* aircraftDir, const char* folder, const std::vector<std::string>& pngs,
                    const ApplyOptions& options) {
    ApplyReport report;
    const RepaintStatus status = ApplyTextures(aircraftDir, folder, pngs, options, &report);
    if (status == RepaintNotFound) return NotFound(aircraftDir, folder);
    if (status == RepaintRefused) {
        std::fprintf(stderr, "vantorel-cli: ");
        std::fprintf(stderr, kMsgApplyNotACopy, folder, " (see 'vantorel-cli copies')");
        std::fprintf(stderr, "\n");
        return RepaintExit(RepaintRefused);
    }
    for (const AppliedTexture& t : report.textures) {
        if (!t.problem.empty()) {
            std::fprintf(stderr, "vantorel-cli: %s: %s%s\n", t.png.c_str(), t.problem.c_str(),
                         t.wrongSize ? ", or use --resize" : "");
            continue;
        }
        std::printf("  %s -> %s\n", t.png.c_str(), AppliedText(t, options.dither).c_str());
        if (t.alphaLost)
            std::printf("    %s\n", kMsgAlphaLost);
        if (t.written)
            std::printf("    %s\n", TrashText(t).c_str());
    }
    if (status != RepaintOk) {
        bool any = false;
        for (const AppliedTexture& t : report.textures) any = any || t.written;
        std::fprintf(stderr, "vantorel-cli: %s\n", ApplyStoppedText(any));
        return RepaintExit(RepaintFailed);
    }
    if (options.dryRun) std::printf("Nothing was written (dry run).\n");
    return RepaintExit(RepaintOk);
}
