// The repaint round trip on the demo simulator: check, export, apply. An
// unedited export comes back byte for byte; a painted one keeps the
// replaced texture's layout; bad input changes nothing.
#include "demo_paint.h"
#include "png.h"
#include "repaint.h"
#include "texture_support.h"

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace fs = std::filesystem;

namespace {

using Repaint = DemoSim;

TEST_F(Repaint, UneditedExportsComeBackByteForByteForEveryDemoAircraft) {
    for (int i = 0; i < GetAircraftCount(); ++i) {
        const std::string copy = Copy(i, "Q");
        const std::string folder = fs::path(copy).filename().string();
        const Tree before = Snapshot(copy);
        TempDir out;
        ExportReport exported;
        ASSERT_EQ(ExportTextures(aircraft.c_str(), folder.c_str(), out.path.c_str(), &exported), RepaintOk) << folder;
        std::vector<std::string> pngs;
        for (const ExportedPng& p : exported.pngs) pngs.push_back(p.png);
        ApplyReport applied;
        ASSERT_EQ(ApplyTextures(aircraft.c_str(), folder.c_str(), pngs, ApplyOptions(), &applied), RepaintOk) << folder;
        for (const AppliedTexture& t : applied.textures)
            EXPECT_TRUE(t.written && t.paletteKept && t.error.exact) << folder << "/" << t.texture;
        EXPECT_TRUE(SameTree(before, Snapshot(copy))) << folder;
    }
}

TEST_F(Repaint, CheckNamesMissingUnnamedAndUnreadableTextures) {
    const std::string copy = Copy(1, "XY");
    TextureCheck check;
    ASSERT_EQ(CheckTextures(aircraft.c_str(), "xy1d", &check), RepaintOk);
    EXPECT_EQ(check.files.size(), 5u);
    ASSERT_EQ(check.notes.size(), 1u);  // [fltsim.1] texture=alt, no Texture.alt folder
    EXPECT_NE(check.notes[0].find("Texture.alt"), std::string::npos);

    fs::remove(Path(copy, "Texture/XY1Tex2.bmp"));
    WriteBytes(Path(copy, "Texture/extra.bmp"), "not a bmp");
    WriteBytes(Path(copy, "Texture/XY1_wing.bmp"), "BM broken");
    ASSERT_EQ(CheckTextures(aircraft.c_str(), "XY1d", &check), RepaintFailed);
    ASSERT_EQ(check.missing.size(), 1u);
    EXPECT_TRUE(SameIgnoringCase(check.missing[0].name.c_str(), "XY1Tex2.bmp")) << check.missing[0].name;
    for (const TextureFile& t : check.files) {
        EXPECT_EQ(t.named, t.name != "extra.bmp") << t.name;
        EXPECT_EQ(t.readable, t.name != "XY1_wing.bmp" && t.name != "extra.bmp") << t.name;
    }
    // An unnamed file the simulator cannot read is reported but is no failure.
    WriteBytes(Path(copy, "Texture/XY1_wing.bmp"), MakeBmp(BmpShape()));
    WriteBytes(Path(copy, "Texture/XY1Tex2.bmp"), MakeBmp(BmpShape()));
    EXPECT_EQ(CheckTextures(aircraft.c_str(), "XY1d", &check), RepaintOk);
    // A Texture.alt that is there is checked on its own: a partial set fails.
    WriteBytes(Path(copy, "Texture.alt/XY1_wing.bmp"), MakeBmp(BmpShape()));
    ASSERT_EQ(CheckTextures(aircraft.c_str(), "XY1d", &check), RepaintFailed);
    EXPECT_EQ(check.missing.size(), 4u);
}

TEST_F(Repaint, OnlyCopiesAreWrittenAndBadInputChangesNothing) {
    for (int i = 0; i < GetAircraftCount(); ++i)  // a small Aircraft folder to compare after every row
        if (i != 1) fs::remove_all(Path(aircraft, GetAircraftName(i)));
    const std::string copy = Copy(1, "XY");
    TempDir work;
    ExportReport exported;
    ASSERT_EQ(ExportTextures(aircraft.c_str(), "XY1d", work.path.c_str(), &exported), RepaintOk);
    const std::string wingPng = Path(work.path, "XY1_wing.png"), png = ReadBytes(wingPng);
    auto file = [&](const std::string& name, const std::string& bytes) {
        WriteBytes(Path(work.path, name), bytes);
        return Path(work.path, name);
    };

    struct Row { const char* what; std::vector<std::string> pngs; std::string folder; ApplyOptions options; RepaintStatus status; const char* reason; };
    std::vector<Row> rows = {
        {"a stock aircraft", {wingPng}, "P51d", {}, RepaintRefused, ""},
        {"a foreign folder", {wingPng}, "Mine", {}, RepaintRefused, ""},
        {"no such folder", {wingPng}, "XY2d", {}, RepaintNotFound, ""},
        {"a folder outside", {wingPng}, "../Aircraft/XY1d", {}, RepaintNotFound, ""},
        {"not a PNG", {file("XY1_wing.png.bak", "hello")}, "XY1d", ApplyOptions{"XY1_wing"}, RepaintFailed, "not a PNG"},
        {"a truncated PNG", {file("t/XY1_wing.png", png.substr(0, png.size() / 2))}, "XY1d", {}, RepaintFailed, "cannot be used: a damaged"},
        {"another size", {file("s/XY1_wing.png", EncodePng(Image(128, 128), false))}, "XY1d", {}, RepaintFailed, "128 x 128, the texture XY1_wing.bmp is 256 x 256"},
        {"no such texture", {file("XY1_nose.png", png)}, "XY1d", {}, RepaintFailed, "no texture XY1_nose.bmp"},
        {"--as ..", {wingPng}, "XY1d", ApplyOptions{".."}, RepaintFailed, "--as"},
        {"--as with a path", {wingPng}, "XY1d", ApplyOptions{"../P51d/Texture/P51_wing"}, RepaintFailed, "--as"},
        {"not named .png", {file("XY1_wing.jpg", png)}, "XY1d", {}, RepaintFailed, ".png"},
        {"one good, one bad: neither", {wingPng, file("XY1Tex2.png", "x")}, "XY1d", {}, RepaintFailed, "not a PNG"},
        {"twice the same texture", {wingPng, file("u/xy1_WING.png", png)}, "XY1d", {}, RepaintFailed, "too"},
    };
    WriteBytes(Path(aircraft, "Mine/Texture/XY1_wing.bmp"), MakeBmp(BmpShape()));
#ifndef _WIN32
    ASSERT_EQ(mkfifo(Path(work.path, "fifo.png").c_str(), 0600), 0);
    rows.push_back({"a FIFO", {Path(work.path, "fifo.png")}, "XY1d", ApplyOptions{"XY1_wing.bmp"}, RepaintFailed, "not a regular file"});
    fs::rename(Path(copy, "Texture/XY1Tex1.bmp"), Path(copy, "real.bmp"));
    fs::create_symlink(Path(copy, "real.bmp"), Path(copy, "Texture/XY1Tex1.bmp"));
    rows.push_back({"a texture that is a link", {file("l/XY1Tex1.png", EncodePng(Image(64, 64), false))}, "XY1d", {}, RepaintFailed, "link"});
#endif
    const Tree before = Snapshot(aircraft);
    for (const Row& r : rows) {
        ApplyReport report;
        EXPECT_EQ(ApplyTextures(aircraft.c_str(), r.folder.c_str(), r.pngs, r.options, &report), r.status) << r.what;
        bool said = !*r.reason;
        for (const AppliedTexture& t : report.textures) said = said || t.problem.find(r.reason) != std::string::npos;
        EXPECT_TRUE(said) << r.what << ": " << (report.textures.empty() ? "" : report.textures.back().problem);
        ASSERT_TRUE(SameTree(before, Snapshot(aircraft))) << r.what;
    }
    // --resize takes the other size; --dry-run reports and writes nothing.
    const ApplyOptions resizeDry{"", false, true, true};
    ApplyReport report;
    EXPECT_EQ(ApplyTextures(aircraft.c_str(), "XY1d", {Path(work.path, "s/XY1_wing.png")}, resizeDry, &report), RepaintOk);
    EXPECT_EQ(report.textures[0].pngWidth * 2, report.textures[0].width);
    EXPECT_TRUE(SameTree(before, Snapshot(aircraft)));
}

TEST_F(Repaint, PaintedPngKeepsTheLayoutAlphaAndLevelsOfTheTextureItReplaces) {
    const std::string copy = Copy(1, "XY");
    BmpShape shape;
    shape.width = shape.height = 64;
    shape.levels = 5;  // to 2 x 2
    shape.padLevels = shape.fs70 = shape.alpha = true;
    shape.trailing = "zz";
    const std::string old = MakeBmp(shape);
    WriteBytes(Path(copy, "Texture/XY1_l_side.bmp"), old);
    TempDir work;
    ExportReport exported;
    ASSERT_EQ(ExportTextures(aircraft.c_str(), "XY1d", work.path.c_str(), &exported), RepaintOk);
    const std::string pngPath = Path(work.path, "XY1_l_side.png");
    Image painted;
    std::string reason, exportedPng = ReadBytes(pngPath);
    ASSERT_TRUE(DecodePng(Bytes(exportedPng), exportedPng.size(), &painted, &reason)) << reason;
    ASSERT_FALSE(painted.Opaque());  // exported as RGBA: palette alpha matters
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) std::fill(painted.At(x, y), painted.At(x, y) + 4, x < 32 ? 255 : 0);
    painted.At(0, 0)[3] = 128;
    WriteBytes(pngPath, EncodePng(painted, true));

    ApplyReport report;
    ASSERT_EQ(ApplyTextures(aircraft.c_str(), "XY1d", {pngPath}, ApplyOptions(), &report), RepaintOk);
    const AppliedTexture& t = report.textures[0];
    EXPECT_TRUE(t.written && t.alpha && !t.paletteKept && t.error.exact);
    EXPECT_EQ(t.colours, 3);
    const std::string now = ReadBytes(Path(copy, "Texture/XY1_l_side.bmp"));
    ASSERT_EQ(now.size(), old.size());
    EXPECT_EQ(now.substr(0, 54) + now.substr(now.size() - 2), old.substr(0, 54) + "zz");  // headers, trailing bytes
    TextureLayout l = ReadLayout(now);
    EXPECT_TRUE(l.mipLevels == 5 && l.mipRowsPadded && l.paletteAlpha);
    const std::vector<std::uint8_t> palette = ReadPalette(Bytes(now), l);
    // Each level: left half white and opaque, right half transparent (the corner pixel aside).
    for (int k = 1; k <= l.mipLevels; ++k) {
        const std::vector<std::uint8_t> level = ReadIndices(Bytes(now), l, k);
        const std::size_t w = static_cast<std::size_t>(LevelWidth(l, k));
        EXPECT_EQ(palette[4 * level[w - 1] + 3], 0) << "level " << k;
        EXPECT_EQ(palette[4 * level[w * (w - 1)] + 3], 255) << "level " << k;
    }
#ifndef _WIN32
    EXPECT_EQ(ReadBytes(Path(home.path, "data/Trash/files/XY1_l_side.bmp")), old);  // the old one, whole
#endif
    // An opaque PNG into a texture without alpha: reserved bytes stay 0.
    Image opaque = Gradient(256, 256);
    PaintDemo(&opaque);
    WriteBytes(Path(work.path, "XY1_wing.png"), EncodePng(opaque, false));
    const ApplyOptions dither{"", true};
    ASSERT_EQ(ApplyTextures(aircraft.c_str(), "XY1d", {Path(work.path, "XY1_wing.png")}, dither, &report), RepaintOk);
    EXPECT_TRUE(report.textures[0].reduced && !report.textures[0].alpha);
    EXPECT_GT(report.textures[0].error.psnr, 30);
    EXPECT_FALSE(ReadLayout(ReadBytes(Path(copy, "Texture/XY1_wing.bmp"))).paletteAlpha);
}

// What a paint program saves decodes through the round trips above; here the
// one thing checked before the decoder sees a file: its size.
TEST(Png, HugeOnesAreRefusedOnTheirHeaderAlone) {
    for (auto [w, h] : {std::pair<std::uint32_t, std::uint32_t>{20000, 20000}, {16, 20000}, {20000, 16}, {0, 4}}) {
        const std::string huge = PngStart(w, h, 2) + Chunk("IEND", "");
        Image image;
        std::string reason;
        EXPECT_FALSE(DecodePng(Bytes(huge), huge.size(), &image, &reason));
        EXPECT_NE(reason.find(std::to_string(w) + " x " + std::to_string(h)), std::string::npos) << reason;
    }
}

TEST_F(Repaint, ExportNeverWritesIntoTheAircraftFolderNorOverFiles) {
    Copy(1, "XY");
    const Tree before = Snapshot(aircraft);
    ExportReport report;
    EXPECT_EQ(ExportTextures(aircraft.c_str(), "P51d", Path(aircraft, "P51d/paint").c_str(), &report), RepaintRefused);
    EXPECT_EQ(ExportTextures(aircraft.c_str(), "P51d", Path(aircraft, "new/deeper").c_str(), &report), RepaintRefused);
    EXPECT_TRUE(SameTree(before, Snapshot(aircraft)));
    TempDir out;
    WriteBytes(Path(out.path, "P51_wing.png"), "my painting");
    EXPECT_EQ(ExportTextures(aircraft.c_str(), "P51d", out.path.c_str(), &report), RepaintRefused);
    ASSERT_EQ(report.existing.size(), 1u);
    EXPECT_EQ(ReadBytes(Path(out.path, "P51_wing.png")), "my painting");
    EXPECT_EQ(std::distance(fs::directory_iterator(out.path), fs::directory_iterator()), 1);
    // A stock aircraft exports (a paint kit); README.txt says where each PNG goes.
    fs::remove(Path(out.path, "P51_wing.png"));
    ASSERT_EQ(ExportTextures(aircraft.c_str(), "P51d", out.path.c_str(), &report), RepaintOk);
    EXPECT_NE(ReadBytes(Path(out.path, "README.txt")).find("P51_wing.png -> Texture"), std::string::npos);
    EXPECT_TRUE(SameTree(before, Snapshot(aircraft)));
}

} // namespace
