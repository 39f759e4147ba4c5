// The plain copy, the four rewriters and the alias writers: every kind of file
// an aircraft copy writes, and what each does when a file cannot be read or
// written.
#include "alias.h"
#include "engine_support.h"
#include "file_ops.h"

#include <cerrno>
#include <cstring>
#include <random>

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace {

// `action`: the file-list action whose result the reference model computes.
struct Op { const char* name; FileAction action; FileResult (*run)(const char*, const char*, const char*, const char*); };
const Op kCopy = {"CopyFileBytes", FileAction::CopyNewStem,
                  [](auto s, auto d, auto, auto) { return CopyFileBytes(s, d); }};
const Op kStem = {"ReplaceStemInFile", FileAction::RewriteStem,
                  [](auto s, auto d, auto o, auto n) { return ReplaceStemInFile(s, d, o, n); }};
const Op kConfig = {"RewriteConfigWithTitle", FileAction::RewriteAircraftCfg,
                    [](auto s, auto d, auto o, auto n) { return RewriteConfigWithTitle(s, d, o, n); }};
const Op kBf109e = {"ReplaceBf109eTextureNames", FileAction::RewriteBf109eModel,
                    [](auto s, auto d, auto, auto n) { return ReplaceBf109eTextureNames(s, d, n); }};
const Op kHurricane = {"ReplaceHurricaneTextureNames", FileAction::RewriteHurricaneModel,
                       [](auto s, auto d, auto, auto n) { return ReplaceHurricaneTextureNames(s, d, n); }};
const Op* const kOps[] = {&kCopy, &kStem, &kConfig, &kBf109e, &kHurricane};

const char* NewStemFor(const Op* op) { return op == &kHurricane ? "XYrr" : op == &kBf109e ? "XY1" : "aP3"; }

class Rewriters : public ::testing::Test {
protected:
    TempDir dir;
    std::string src = Path(dir.path, "source.mdl"), dst = Path(dir.path, "dest.mdl");
    void TearDown() override { SetFileChunkSize(0); }

    // Rewrites `data` with `op` and returns what the destination holds.
    std::string Rewrite(const Op& op, const std::string& data, const char* stem, const char* newStem) {
        WriteBytes(src, data);
        const FileResult r = op.run(src.c_str(), dst.c_str(), stem, newStem);
        EXPECT_EQ(r.outcome, FileWritten) << op.name << " reported a failure, errno " << r.error;
        EXPECT_EQ(ReadBytes(src), data) << op.name << " modified its source";
        return ReadBytes(dst);
    }

    // Offset of the first byte where `op`'s output differs from the reference
    // model's, or the data's size when none does.
    std::size_t FirstWrongByte(const Op& op, const std::string& data, const char* stem, const char* newStem) {
        const std::string got = Rewrite(op, data, stem, newStem);
        const std::string want = RefRewrite(op.action, data, stem, newStem);
        if (got.size() != want.size()) return std::min(got.size(), want.size());
        return static_cast<std::size_t>(std::mismatch(got.begin(), got.end(), want.begin()).first - got.begin());
    }
};

struct Example { const Op* op; const char* stem; const char* newStem; std::string before, after; };

// The stem is P51 and the new stem ab1 (P51d copied with the prefix ab) unless a row says otherwise.
// Rows run in order through the one shared buffer.
const Example kExamples[] = {
    {&kStem, "P51", "ab1", "xxp51d_n.mdl", "xxab1d_n.mdl"},
    {&kStem, "P51", "ab1", "xxP5", "xxP5"},  // "1" after the end, left by the longer file, never matches
    {&kStem, "P38", "aP3", "P388", "aaP3"},  // a replacement matches again one byte on
    {&kConfig, "P51", "ab1", "title=P-51D\r\nsubtitle=x", "title=ab11D\r\nsubtitle=x"},  // the first one only
    {&kConfig, "P51", "ab1", "TITLE = x", "TITLE=ab1"},
    {&kConfig, "P51", "ab1", "title=XY", "title=ab"},
    {&kConfig, "P51", "ab1", "titl", "titl"},
    {&kConfig, "P51", "ab1", "x title", "x title"},  // "title" as the last five bytes: nothing after the data
    // The value ends at its line end: the next line keeps its key.
    {&kConfig, "Bf109", "ABCDE", "title=XY\nsim=bf109g", "title=AB\nsim=ABCDEg"},
    {&kConfig, "P51", "ab1", "title=P\r\nsim=p51d", "title=a\r\nsim=ab1d"},
    {&kConfig, "P51", "ab1", "; subtitle\ntitle=P-51D", "; subtitle\ntitle=P-51D"},  // the first title ends its line
    {&kConfig, "P51", "ab1", "Title\r\ntitle=P51", "Title\r\ntitle=ab1"},
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

// Files stream through the buffer in chunks; the result must be the whole-file
// result wherever the chunk ends fall: inside a match, inside a replacement
// that matches again, between the passes of a multi-pass rewrite, inside the
// "title" or its value, before a stem pass that makes a "title", and across
// the real 250,000-byte buffer's refills (chunk size 0) in large models.
TEST_F(Rewriters, ChunkEndsAnywhereGiveTheWholeFileBytes) {
    const std::vector<std::string> tokens = {"P38", "p3", "8", "a", "title", "TITL", "e=", "tit", "le=", "\r\n", "\n",
                                             "p388", "l_side", "L_SID", "wing", "wI", "Bf109", "bF10", "hurr", "hU",
                                             "hawk", "x", "\x80", "\xFF\x1A", " "};
    std::mt19937 rng(99);
    std::vector<std::pair<std::size_t, std::size_t>> runs;  // chunk size, file size
    for (std::size_t chunk : {1u, 2u, 3u, 5u, 7u, 13u, 64u})
        for (int round = 0; round < 4; ++round) runs.push_back({chunk, 200 + rng() % 200});
    for (std::size_t size : {249999u, 250001u, 700001u}) runs.push_back({0, size});
    for (std::size_t k = 0; k < runs.size(); ++k) {
        SetFileChunkSize(runs[k].first);
        std::string data;
        while (data.size() < runs[k].second) data += tokens[rng() % tokens.size()];
        data.resize(runs[k].second);
        // Words straddling the buffer mark, and one the replacement makes match again.
        if (data.size() > 250004) data.replace(249998, 4, "P388").replace(249990, 6, "L_SIDE").replace(499997, 4, "hAwK");
        for (const Op* op : kOps) {
            // "P38" -> "tit" before "le=" lets the stem pass write a "title" the title scan must see.
            const char* newStem = op == &kConfig && k % 2 ? "tit" : NewStemFor(op);
            SCOPED_TRACE(std::string(op->name) + ", chunk " + std::to_string(runs[k].first) + ", data \"" +
                         data.substr(0, 400) + "\"");
            EXPECT_EQ(FirstWrongByte(*op, data, "P38", newStem), data.size());
        }
    }
}

#ifndef _WIN32
// A stock entry that is absent, or there but not a readable regular file:
// each gives its own outcome and errno, never hangs, and leaves no destination.
TEST_F(Rewriters, SourcesThatCannotBeReadFailWithTheirReason) {
    const std::string file = Path(dir.path, "plain.mdl"), folder = Path(dir.path, "folder.mdl"),
                      fifo = Path(dir.path, "fifo.mdl"), zero = Path(dir.path, "zero.mdl");
    WriteBytes(file, "P51 title=P51");
    std::filesystem::create_directory(folder);
    mkfifo(fifo.c_str(), 0666);
    symlink("/dev/zero", zero.c_str());
    std::filesystem::permissions(dir.path, std::filesystem::perms::all);
    chmod(file.c_str(), 0);
    struct Row { std::string source; FileOutcome outcome; int error; bool asNobody = false; };
    const Row rows[] = {
        {Path(dir.path, "absent.mdl"), FileSourceMissing, ENOENT},
        {file + "/x.mdl", FileSourceMissing, ENOTDIR},
        {folder, FileSourceUnreadable, EISDIR},
        {fifo, FileSourceUnreadable, EINVAL},  // no writer: opening it must not wait for one
        {zero, FileSourceUnreadable, EINVAL},  // endless
        {"/proc/self/mem", FileSourceUnreadable, EIO},  // a regular file whose first read fails
        {file, FileSourceUnreadable, EACCES, geteuid() == 0},
    };
    for (const Row& row : rows)
        for (const Op* op : kOps) {
            SCOPED_TRACE(std::string(op->name) + " on " + row.source);
            // chmod denies nothing to root: such a row runs as "nobody".
            const FileResult r = InChild([&] {
                if (row.asNobody && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(1);
                return op->run(row.source.c_str(), dst.c_str(), "P51", "ab1");
            }, FileResult{static_cast<FileOutcome>(-1), 0});
            EXPECT_EQ(r.outcome, row.outcome);
            EXPECT_EQ(r.error, row.error) << std::strerror(r.error);
            EXPECT_EQ(ReadBytes(dst), "<missing>") << "a destination was left";
        }
}

// A destination that cannot be opened or fails part-way (a full device, a
// file size limit) gives FileWriteFailed with its errno and leaves no partial
// file; a device is never removed. An alias file that cannot be written is a
// failure too.
TEST_F(Rewriters, DestinationsThatCannotBeWrittenFailWithTheirReason) {
    const std::string small = Path(dir.path, "small.mdl"), large = Path(dir.path, "large.mdl");
    WriteBytes(small, "P51 title=P51");
    WriteBytes(large, "P51 title=P51" + std::string(600000, '\x80'));
    struct Row { std::string dest; const std::string* source; int error; };
    const Row rows[] = {
        {Path(dir.path, "no-such-folder/dest.mdl"), &small, ENOENT},
        {"/dev/full", &small, ENOSPC},
        {"/dev/full", &large, ENOSPC},
        {small, &small, EINVAL},  // the source itself: emptied before it could be read
        {dst, &large, EFBIG},     // under an 8,192-byte file-size limit
    };
    for (const Row& row : rows)
        for (const Op* op : kOps) {
            SCOPED_TRACE(std::string(op->name) + " writing " + *row.source + " to " + row.dest);
            FileResult r;
            {
                FileSizeLimit limit(row.error == EFBIG ? 8192 : RLIM_INFINITY);
                r = op->run(row.source->c_str(), row.dest.c_str(), "P51", "ab1");
            }
            EXPECT_EQ(r.outcome, FileWriteFailed);
            EXPECT_EQ(r.error, row.error) << std::strerror(r.error);
            if (row.dest.rfind("/dev/", 0) != 0 && row.dest != *row.source) {
                EXPECT_EQ(ReadBytes(row.dest), "<missing>") << "a partial destination was left";
            }
        }
    EXPECT_EQ(ReadBytes(small), "P51 title=P51") << "a source written to itself was damaged";
    struct stat st;
    EXPECT_TRUE(stat("/dev/full", &st) == 0 && S_ISCHR(st.st_mode)) << "/dev/full was removed";
    for (const std::string& d : {Path(dir.path, "no-such-folder/dest.cfg"), std::string("/dev/full")})
        EXPECT_EQ(WriteAliasConfig(d.c_str(), "bf109e", "panel"), -1) << "an alias file written to " << d;
}
#endif

} // namespace
