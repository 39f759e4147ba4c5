#include "alias.h"
#include "engine_support.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct Writer {
    int (*write)(const char*, const char*);
    const char* name;
    const char* fixedTarget;  // null: the stock folder name given
    const char* kind;
};
const Writer kWriters[] = {
    {WriteSoundAlias, "WriteSoundAlias", nullptr, "sound"},
    {WriteSoundAliasSpitfire, "WriteSoundAliasSpitfire", "spitfire_mki", "sound"},
    {WriteSoundAliasP47d, "WriteSoundAliasP47d", "p47d", "sound"},
    {WriteSoundAliasBf109e, "WriteSoundAliasBf109e", "bf109e", "sound"},
    {WritePanelAlias, "WritePanelAlias", nullptr, "panel"},
    {WritePanelAliasSpitfire, "WritePanelAliasSpitfire", "spitfire_mki", "panel"},
    {WritePanelAliasP47d, "WritePanelAliasP47d", "p47d", "panel"},
    {WritePanelAliasBf109e, "WritePanelAliasBf109e", "bf109e", "panel"},
};

class AliasWriters : public ::testing::Test {
protected:
    TempDir dir;
    std::string path = JoinPath({dir.str(), "sound.cfg"});
};

// The simulator reads these byte for byte: LF only, a backslash on every platform.
TEST_F(AliasWriters, WorkedExamplesAreByteExact) {
    ASSERT_EQ(WriteSoundAlias(path.c_str(), "P51d"), 0);
    EXPECT_EQ(ReadBytes(path), "[fltsim]\x0A" "alias=P51d\x5C" "sound\x0A");
    ASSERT_EQ(WritePanelAliasP47d(path.c_str(), "Spitfire_MkI"), 0);
    EXPECT_EQ(ReadBytes(path), "[fltsim]\x0A" "alias=p47d\x5C" "panel\x0A");
}

TEST_F(AliasWriters, EachWriterNamesItsTargetAndFixedOnesIgnoreTheName) {
    for (const Writer& w : kWriters) {
        for (const char* stock : {"Hurricane_I", "P38"}) {
            SCOPED_TRACE(std::string(w.name) + " given " + stock);
            // Start from a longer file: the alias must replace it, not overwrite its start.
            WriteBytes(path, std::string(200, 'x'));
            ASSERT_EQ(w.write(path.c_str(), stock), 0);
            const std::string target = w.fixedTarget ? w.fixedTarget : stock;
            const std::string got = ReadBytes(path);
            EXPECT_EQ(got, RefAlias(target, w.kind));
            EXPECT_EQ(got.size(), 16 + target.size() + 6);
        }
    }
}

TEST_F(AliasWriters, UnwritableFileFails) {
    std::vector<std::string> paths = {JoinPath({dir.str(), "no-such-folder", "panel.cfg"}), dir.str()};
#ifndef _WIN32
    paths.push_back("/dev/full");
#endif
    for (const std::string& p : paths)
        for (const Writer& w : kWriters) EXPECT_EQ(w.write(p.c_str(), "P51d"), -1) << w.name << " writing " << p;
}

} // namespace
