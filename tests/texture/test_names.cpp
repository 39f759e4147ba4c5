// Texture names inside models, in any chunking, and the folders an
// Aircraft.cfg's variations pick.
#include "names.h"
#include "texture_support.h"

namespace {

TEST(TextureNames, FoundWhereverTheChunksEnd) {
    const std::string model = std::string("\x80\x01", 2) + "P51_l_side.bmp" + std::string(1, '\0') + "\x1a" +
                              "XY1tex1.BMP" + std::string(3, '\0') + "p51_L_SIDE.bmp" + std::string(1, '\0') +
                              "notatexture.bmpx" + std::string(1, '\0') + ".bmp" + std::string(1, '\0') + "\xff" +
                              "end.bmp";
    const std::vector<std::string> want = {"P51_l_side.bmp", "XY1tex1.BMP", "end.bmp"};
    for (std::size_t cut = 0; cut <= model.size(); ++cut)
        for (std::size_t second = cut; second <= model.size(); second += 7) {
            TextureNameScanner scanner;
            scanner.Feed(model.data(), cut);
            scanner.Feed(model.data() + cut, second - cut);
            scanner.Feed(model.data() + second, model.size() - second);
            scanner.Finish();
            ASSERT_EQ(scanner.Names(), want) << "chunks end at " << cut << " and " << second;
        }
}

TEST(TextureNames, VariationsPickTheirFolders) {
    const std::string cfg =
        "[fltsim]\r\ntitle=A\r\ntexture=\r\nmodel=\r\n\r\n[FLTSIM.1]\r\ntexture = alt \r\n\r\n"
        "[fltsim.2]\r\ntexture=ALT\r\n[General]\r\ntexture=ignored\r\n[fltsim.3]\r\nmodel=b\r\ntexture=red\r\n";
    const std::vector<Variation> v = ReadVariations(cfg);
    ASSERT_EQ(v.size(), 3u);  // fltsim.2 is fltsim.1 again, letter case aside
    EXPECT_EQ(VariationFolder("Texture", v[0].texture), "Texture");
    EXPECT_EQ(VariationFolder("Texture", v[1].texture), "Texture.alt");
    EXPECT_EQ(VariationFolder("Model", v[2].model) + "," + v[2].texture, "Model.b,red");
    EXPECT_EQ(ReadVariations("no sections").size(), 1u);
}

} // namespace
