#include "engine_support.h"
#include "file_ops.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace {

enum Op { Copy, Stem, Config, Bf109e, Hurricane };
const char* const kOpNames[] = {"CopyFileBytes", "ReplaceStemInFile", "RewriteConfigWithTitle",
                                "ReplaceBf109eTextureNames", "ReplaceHurricaneTextureNames"};

int RunOp(Op op, const std::string& src, const std::string& dst, const std::string& stem, const std::string& newStem) {
    switch (op) {
    case Copy: return CopyFileBytes(src.c_str(), dst.c_str());
    case Stem: return ReplaceStemInFile(src.c_str(), dst.c_str(), stem.c_str(), newStem.c_str());
    case Config: return RewriteConfigWithTitle(src.c_str(), dst.c_str(), stem.c_str(), newStem.c_str());
    case Bf109e: return ReplaceBf109eTextureNames(src.c_str(), dst.c_str(), newStem.c_str());
    case Hurricane: return ReplaceHurricaneTextureNames(src.c_str(), dst.c_str(), newStem.c_str());
    }
    return 99;
}

// The file-list action whose result the reference model computes for `op`.
int ActionOf(Op op) { return op == Copy ? 0 : op == Stem ? 3 : op == Config ? 7 : op == Bf109e ? 4 : 5; }

class Rewriters : public ::testing::Test {
protected:
    TempDir dir;
    std::string src = JoinPath({dir.str(), "source.mdl"});
    std::string dst = JoinPath({dir.str(), "dest.mdl"});

    // Rewrites `data` with `op` and returns what the destination holds.
    std::string Rewrite(Op op, const std::string& data, const std::string& stem, const std::string& newStem) {
        WriteBytes(src, data);
        EXPECT_EQ(RunOp(op, src, dst, stem, newStem), 0) << kOpNames[op] << " reported a failure";
        EXPECT_EQ(ReadBytes(src), data) << kOpNames[op] << " modified its source";
        return ReadBytes(dst);
    }
};

struct Example {
    Op op;
    const char* stem;
    const char* newStem;
    std::string before, after;
};

// The stem is P51 and the new stem ab1 (P51d copied with the prefix ab) unless a row says otherwise.
const Example kExamples[] = {
    {Stem, "P51", "ab1", "P51D_c", "ab1D_c"},
    {Config, "P51", "ab1", "P51D_c", "ab1D_c"},
    {Stem, "P51", "ab1", "p51d_n.mdl", "ab1d_n.mdl"},
    {Stem, "P51", "ab1", "xxP5", "xxP5"},
    {Stem, "P38", "aP3", "P388", "aaP3"},  // the replacement matches again one byte on
    {Config, "P38", "aP3", "P388", "aaP3"},
    {Config, "P51", "ab1", "title=P-51D Mustang", "title=ab11D Mustang"},
    {Config, "P51", "ab1", "title=P51d Mustang", "title=ab1d Mustang"},
    {Config, "P51", "ab1", "TITLE = x", "TITLE=ab1"},
    {Config, "P51", "ab1", "; subtitle\ntitle=P-51D", "; subtitle=ab1le=P-51D"},
    {Config, "P51", "ab1", "title=P-51D\r\nsubtitle=x", "title=ab11D\r\nsubtitle=x"},  // the first one only
    {Config, "P51", "ab1", "title=XY", "title=ab"},
    {Config, "P51", "ab1", "title", "title"},
    {Config, "P51", "ab1", "titl", "titl"},
    {Config, "P51", "ab1", "Title\r\ntitle=P51", "Title=ab1tle=ab1"},  // the CR LF is overwritten too
    {Config, "abc", "tit", "abcle=xyz", "title=tit"},  // the title scan sees the stem pass's result
    {Bf109e, "", "XY1", "l_side.bmp R_SIDE.bmp Wing.bmp bf109Tx1.bmp bf109e_n",
     "XY109l.bmp XY109r.bmp XY1w.bmp XY109Tx1.bmp XY109e_n"},
    {Hurricane, "", "XYrr", "hurr_1.bmp hawkTex1.bmp Hurricane_I HAWK", "XYrr_1.bmp XYrrTex1.bmp XYrricane_I XYrr"},
    // Only A-Z and a-z fold: bytes from 0x80 up and look-alikes one bit away never match.
    {Stem, "P51", "ab1", "\xD0" "51 \xF0" "51 P\xB5" "1 p5\xB1 P\x15" "1 p5\x11",
     "\xD0" "51 \xF0" "51 P\xB5" "1 p5\xB1 P\x15" "1 p5\x11"},
    {Bf109e, "", "XY1", "l\x7Fside L_SIDE wInG", "l\x7Fside XY109l XY1w"},
    {Stem, "P51", "ab1", "\r\nP51\x1A\r\n\x80p51\xFF\r", "\r\nab1\x1A\r\n\x80" "ab1\xFF\r"},
    {Stem, "P51", "ab1", "", ""},
    {Config, "P51", "ab1", "", ""},
    {Bf109e, "", "XY1", "", ""},
    {Copy, "", "", "", ""},
    {Copy, "", "", std::string("P51\0\x1A\r\n\xFF", 8), std::string("P51\0\x1A\r\n\xFF", 8)},
};

TEST_F(Rewriters, WorkedExamplesGiveTheExactBytes) {
    for (const Example& e : kExamples) {
        SCOPED_TRACE(std::string(kOpNames[e.op]) + " on \"" + e.before + "\"");
        EXPECT_EQ(Rewrite(e.op, e.before, e.stem, e.newStem), e.after);
    }
}

TEST_F(Rewriters, BytesLeftInTheSharedBufferByALongerFileNeverMatch) {
    Rewrite(Stem, "xxP51xxxxxxx", "P51", "ab1");
    EXPECT_EQ(Rewrite(Stem, "xxP5", "P51", "ab1"), "xxP5");
    Rewrite(Config, "abcdefgh title", "P51", "ab1");
    EXPECT_EQ(Rewrite(Config, "title", "P51", "ab1"), "title") << "title rewrite wrote past the end of the file";
}

TEST_F(Rewriters, SecondBf109eCopyUsesOnlyItsOwnNewStem) {
    Rewrite(Bf109e, "l_side r_side wing Bf109", "", "XY1");
    EXPECT_EQ(Rewrite(Bf109e, "l_side r_side wing Bf109", "", "Zf1"), "Zf109l Zf109r Zf1w Zf109");
}

TEST_F(Rewriters, RewritingAFileOntoItselfGivesTheSameResult) {
    WriteBytes(src, "title=P-51D P51\r\n");
    ASSERT_EQ(RewriteConfigWithTitle(src.c_str(), src.c_str(), "P51", "ab1"), 0);
    EXPECT_EQ(ReadBytes(src), "title=ab11D ab1\r\n");
}

// Models of any size are rewritten whole, with matches across the 250,000-byte
// mark of the shared buffer, exactly as a position-by-position scan of the whole file.
TEST_F(Rewriters, LargeModelsAreRewrittenWholeAcrossTheBufferMark) {
    const std::string alphabet = "P38p8aP3l_sidewingrBf109hurrawktitle= \r\n\x1A\x80\xFF";
    std::mt19937 rng(1234);
    for (std::size_t size : {249999u, 250000u, 250001u, 250003u, 300000u, 700001u}) {
        std::string data(size, ' ');
        for (char& c : data) c = alphabet[rng() % alphabet.size()];
        // Words straddling the mark, and one the replacement makes match again.
        if (size > 250004) {
            data.replace(249998, 4, "P388");
            data.replace(249990, 6, "L_SIDE");
        }
        for (Op op : {Copy, Stem, Config, Bf109e, Hurricane}) {
            SCOPED_TRACE(std::string(kOpNames[op]) + " on " + std::to_string(size) + " bytes");
            const std::string newStem = op == Hurricane ? "XYrr" : op == Bf109e ? "XY1" : "aP3";
            const std::string got = Rewrite(op, data, "P38", newStem);
            ASSERT_EQ(got.size(), size) << "rewritten model changed length";
            const std::string want = RefRewrite(ActionOf(op), data, "P38", newStem);
            std::size_t diff = 0;
            while (diff < size && got[diff] == want[diff]) ++diff;
            EXPECT_EQ(diff, size) << "first wrong byte at offset " << diff;
        }
    }
}

TEST_F(Rewriters, MissingSourceFailsAndCreatesNoDestination) {
    for (Op op : {Copy, Stem, Config, Bf109e, Hurricane}) {
        EXPECT_EQ(RunOp(op, JoinPath({dir.str(), "absent.mdl"}), dst, "P51", "ab1"), -1) << kOpNames[op];
        EXPECT_FALSE(Exists(dst)) << kOpNames[op] << " created a destination without a source";
    }
}

TEST_F(Rewriters, UnwritableDestinationFails) {
    // Larger than any stream buffer, so a failing write shows before the close.
    const std::string data = "P51 title=P51" + std::string(300000, '\x80');
    WriteBytes(src, data);
    std::vector<std::string> dests = {JoinPath({dir.str(), "no-such-folder", "dest.mdl"}), dir.str()};
#ifndef _WIN32
    dests.push_back("/dev/full");  // opens, but every write fails
#endif
    for (const std::string& d : dests)
        for (Op op : {Copy, Stem, Config, Bf109e, Hurricane}) {
            EXPECT_EQ(RunOp(op, src, d, "P51", "ab1"), -1) << kOpNames[op] << " writing " << d;
            EXPECT_EQ(ReadBytes(src), data);
        }
}

} // namespace
