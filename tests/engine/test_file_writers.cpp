// The plain copy, the four rewriters and the alias writers: every kind of file
// an aircraft copy writes.
#include "alias.h"
#include "engine_support.h"
#include "file_ops.h"

#include <random>

namespace {

// `action`: the file-list action whose result the reference model computes.
struct Op { const char* name; FileAction action; FileOutcome (*run)(const char*, const char*, const char*, const char*); };
const Op kCopy = {"CopyFileBytes", FileAction::CopyNewStem,
                  [](auto s, auto d, auto, auto) { return CopyFileBytes(s, d); }};
const Op kStem = {"ReplaceStemInFile", FileAction::RewriteStem, ReplaceStemInFile};
const Op kConfig = {"RewriteConfigWithTitle", FileAction::RewriteAircraftCfg, RewriteConfigWithTitle};
const Op kBf109e = {"ReplaceBf109eTextureNames", FileAction::RewriteBf109eModel,
                    [](auto s, auto d, auto, auto n) { return ReplaceBf109eTextureNames(s, d, n); }};
const Op kHurricane = {"ReplaceHurricaneTextureNames", FileAction::RewriteHurricaneModel,
                       [](auto s, auto d, auto, auto n) { return ReplaceHurricaneTextureNames(s, d, n); }};
const Op* const kOps[] = {&kCopy, &kStem, &kConfig, &kBf109e, &kHurricane};

class Rewriters : public ::testing::Test {
protected:
    TempDir dir;
    std::string src = Path(dir.path, "source.mdl"), dst = Path(dir.path, "dest.mdl");

    // Rewrites `data` with `op` and returns what the destination holds.
    std::string Rewrite(const Op& op, const std::string& data, const char* stem, const char* newStem) {
        WriteBytes(src, data);
        EXPECT_EQ(op.run(src.c_str(), dst.c_str(), stem, newStem), FileWritten) << op.name << " reported a failure";
        EXPECT_EQ(ReadBytes(src), data) << op.name << " modified its source";
        return ReadBytes(dst);
    }
};

struct Example { const Op* op; const char* stem; const char* newStem; std::string before, after; };

// The stem is P51 and the new stem ab1 (P51d copied with the prefix ab) unless a row says otherwise.
// Rows run in order through the one shared buffer.
const Example kExamples[] = {
    {&kStem, "P51", "ab1", "xxp51d_n.mdl", "xxab1d_n.mdl"},
    {&kStem, "P51", "ab1", "xxP5", "xxP5"},  // "1" after the end, left by the longer file, never matches
    {&kConfig, "P51", "ab1", "; subtitle\ntitle=P-51D", "; subtitle=ab1le=P-51D"},
    {&kConfig, "P51", "ab1", "title=P-51D\r\nsubtitle=x", "title=ab11D\r\nsubtitle=x"},  // the first one only
    {&kConfig, "P51", "ab1", "title=XY", "title=ab"},
    {&kConfig, "P51", "ab1", "titl", "titl"},
    {&kConfig, "P51", "ab1", "Title\r\ntitle=P51", "Title=ab1tle=ab1"},  // the CR LF is overwritten too
    {&kConfig, "abc", "tit", "abcle=xyz", "title=tit"},  // the title scan sees the stem pass's result
    {&kBf109e, "", "XY1", "l_side.bmp R_SIDE Wing bf109Tx1 bf109e_n", "XY109l.bmp XY109r XY1w XY109Tx1 XY109e_n"},
    {&kBf109e, "", "Zf1", "l\x7Fside L_SIDE wInG Bf109", "l\x7Fside Zf109l Zf1w Zf109"},  // nothing of XY1 is left
    {&kHurricane, "", "XYrr", "hurr_1.bmp hawkTex1.bmp Hurricane_I HAWK", "XYrr_1.bmp XYrrTex1.bmp XYrricane_I XYrr"},
    // Only A-Z and a-z fold: bytes from 0x80 up and look-alikes one bit away never match.
    {&kStem, "P51", "ab1", "\xD0" "51 P\xB5" "1 p5\x11", "\xD0" "51 P\xB5" "1 p5\x11"},
    {&kConfig, "P51", "ab1", "", ""},
    {&kCopy, "", "", std::string("P51\0\x1A\r\n\xFF", 8), std::string("P51\0\x1A\r\n\xFF", 8)},
};

TEST_F(Rewriters, WorkedExamplesGiveTheExactBytes) {
    for (const Example& e : kExamples) {
        SCOPED_TRACE(std::string(e.op->name) + " on \"" + e.before + "\"");
        EXPECT_EQ(Rewrite(*e.op, e.before, e.stem, e.newStem), e.after);
    }
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
        if (size > 250004) data.replace(249998, 4, "P388").replace(249990, 6, "L_SIDE");
        for (const Op* op : kOps) {
            SCOPED_TRACE(std::string(op->name) + " on " + std::to_string(size) + " bytes");
            const char* newStem = op == &kHurricane ? "XYrr" : op == &kBf109e ? "XY1" : "aP3";
            const std::string got = Rewrite(*op, data, "P38", newStem);
            const std::string want = RefRewrite(op->action, data, "P38", newStem);
            EXPECT_EQ(std::mismatch(got.begin(), got.end(), want.begin(), want.end()).first - got.begin(),
                      static_cast<long>(size)) << "offset of the first wrong byte, or the length the model was cut to";
        }
    }
}

// A missing source creates nothing; a destination that cannot be opened, or
// fails on writing (a large file) or on closing (a small one), is a failure.
TEST_F(Rewriters, MissingSourceOrUnwritableDestinationFails) {
    const std::string absent = Path(dir.path, "absent.mdl"), large = Path(dir.path, "large.mdl");
    WriteBytes(src, "P51 title=P51");
    WriteBytes(large, "P51 title=P51" + std::string(300000, '\x80'));
    std::vector<std::string> dests = {Path(dir.path, "no-such-folder/dest.mdl")};
#ifndef _WIN32
    dests.push_back("/dev/full");  // opens, but every write fails
#endif
    for (const Op* op : kOps) {
        EXPECT_EQ(op->run(absent.c_str(), dst.c_str(), "P51", "ab1"), FileSourceMissing) << op->name << " without a source";
        EXPECT_EQ(ReadBytes(dst), "<missing>") << op->name << " created a destination without a source";
        for (const std::string& d : dests)
            for (const std::string& s : {src, large})
                EXPECT_EQ(op->run(s.c_str(), d.c_str(), "P51", "ab1"), FileWriteFailed)
                    << op->name << " writing " << s << " to " << d;
    }
    for (const std::string& d : dests)
        EXPECT_EQ(WriteAliasConfig(d.c_str(), "bf109e", "panel"), -1) << "an alias file written to " << d;
}

} // namespace
