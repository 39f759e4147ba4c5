#include "catalogue.h"
#include "engine_support.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <string>

namespace {

std::string Str(const char* s) { return s ? s : "<none>"; }

// The whole catalogue against our own transcription of the stock aircraft:
// every name, letter case, alternate name and action, in order.
TEST(Catalogue, HoldsTheNineteenStockAircraftWithTheirExactFileLists) {
    ASSERT_EQ(GetAircraftCount(), 19);
    int total = 0;
    for (int i = 0; i < 19; ++i) {
        const StockAircraft& want = kStockAircraft[i];
        SCOPED_TRACE(want.folder);
        EXPECT_STREQ(GetAircraftName(i), want.folder) << "aircraft " << i << " is listed under the wrong name";
        EXPECT_EQ(GetStemLength(i), want.stemLength);
        const AircraftEntry& a = GetAircraftEntry(i);
        EXPECT_STREQ(a.name, want.folder);
        EXPECT_EQ(a.StemLength, want.stemLength);

        const std::vector<StockFile> list = StockFileList(want);
        ASSERT_EQ(static_cast<int>(list.size()), want.entries) << "test transcription is inconsistent";
        int k = 0;
        for (; a.files[k].name && k < want.entries; ++k) {
            const FileEntry& e = a.files[k];
            EXPECT_EQ(Str(e.name), list[k].name) << "entry " << k;
            EXPECT_EQ(e.altName ? std::string(e.altName) : "", list[k].altName) << "entry " << k << " " << e.name;
            EXPECT_EQ(static_cast<int>(e.action), list[k].action) << "entry " << k << " " << e.name;
        }
        EXPECT_EQ(k, want.entries) << "file list has the wrong length";
        const FileEntry& zero = a.files[k];
        EXPECT_TRUE(zero.name == nullptr && zero.altName == nullptr && static_cast<int>(zero.action) == 0)
            << "file list does not end with an all-zero row";
        total += k;
    }
    EXPECT_EQ(total, 286);
}

// The rules the copy relies on when it renames files and rewrites models:
// a file name given the new stem must change exactly the characters that the
// in-file stem substitution changes, and every name must fit its buffer.
TEST(Catalogue, NamesFitTheStemRulesAndBuffers) {
    for (int i = 0; i < GetAircraftCount(); ++i) {
        const AircraftEntry& a = GetAircraftEntry(i);
        SCOPED_TRACE(a.name);
        const int L = a.StemLength;
        EXPECT_TRUE(L >= 3 && L <= 5);
        EXPECT_GE(static_cast<int>(std::strlen(a.name)), L);
        EXPECT_LE(std::strlen(a.name), 12u);
        std::string stem(a.name, static_cast<std::size_t>(L));
        for (const FileEntry* e = a.files; e->name; ++e) {
            const int action = static_cast<int>(e->action);
            EXPECT_LE(std::strlen(e->name), 22u) << e->name;
            EXPECT_EQ(action == 1, e->altName != nullptr) << e->name << ": alternate name only with action 1";
            if (action == 2) {
                const std::string folder = e->name;
                EXPECT_TRUE(folder == "Model" || folder == "Texture" || folder == "Sound" || folder == "Panel")
                    << folder;
                continue;
            }
            if (action == 0 || action == 1 || (action >= 3 && action <= 5)) {
                std::string renamed = action == 1 ? e->altName : e->name;
                EXPECT_LE(renamed.size(), 22u);
                EXPECT_GE(renamed.size(), static_cast<std::size_t>(L) + 3) << renamed;
                for (int c = 0; c < L; ++c)
                    EXPECT_EQ(std::tolower(renamed[c]), std::tolower(stem[c])) << renamed << " does not start with " << stem;
            }
            // The alias files come right after their own folder entry.
            if (action >= 8) {
                EXPECT_EQ(Str(e[-1].name), action <= 11 ? "Sound" : "Panel") << e->name;
            }
            if (e[1].name == nullptr) {
                EXPECT_STREQ(e->name, "panel.cfg") << "last entry";
            }
        }
    }
}

} // namespace
