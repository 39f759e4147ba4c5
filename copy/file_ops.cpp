// Plain copy and the four rewriters.
//
// Sections:
//   1. Case rule and the two primitives
//   2. Reading a whole source, writing a whole destination
//   3. The operations

#include "file_ops.h"

#include "platform.h"

#include <algorithm>
#include <cstring>
#include <vector>

unsigned char FileBuffer[kFileBufferSize];

//----------------------------------------------------------------------------
// 1. Case rule and the two primitives
//----------------------------------------------------------------------------
namespace {

// Only A-Z and a-z have a second form. Bytes from 0x80 up match only
// themselves whatever the locale: model files are full of them.
inline bool MatchesByte(unsigned char b, unsigned char p) { return b == AsciiUpper(p) || b == AsciiLower(p); }

} // namespace

void MatchAndOverwrite(unsigned char* pos, const char* pattern, const char* replacement, int n) {
    for (int k = 0; k < n; ++k)
        if (!MatchesByte(pos[k], static_cast<unsigned char>(pattern[k]))) return;
    std::memcpy(pos, replacement, static_cast<std::size_t>(n));
}

int OverwriteTitle(unsigned char* pos, const char* keyword, const char* newStem, int n,
                   const unsigned char* end) {
    for (int k = 0; k < 5; ++k)
        if (!MatchesByte(pos[k], static_cast<unsigned char>(keyword[k]))) return 0;
    // "=" goes over whatever follows the keyword (a blank, a line end...);
    // the file keeps its length, so nothing is written past the data.
    unsigned char* p = pos + 5;
    if (p < end) *p++ = '=';
    for (int k = 0; k < n && p < end; ++k) *p++ = static_cast<unsigned char>(newStem[k]);
    return 1;
}

void SubstitutionPass(unsigned char* data, int length, const char* pattern, const char* replacement, int n) {
    if (n <= 0 || length < n) return;
    const unsigned char upper = AsciiUpper(static_cast<unsigned char>(pattern[0]));
    const unsigned char lower = AsciiLower(static_cast<unsigned char>(pattern[0]));
    // memchr (vectorised in every C library) finds the next byte that can
    // start a match, in either letter case; the positions it skips cannot
    // match. After each position tried, the search starts again at the next
    // one on the buffer as it now is, so bytes just written are examined
    // again, exactly as the position-by-position scan does.
    const int end = length - n + 1;  // positions tried: 0 .. end-1
    auto next = [&](unsigned char c, int from) {
        const void* p = std::memchr(data + from, c, static_cast<std::size_t>(end - from));
        return p ? static_cast<int>(static_cast<const unsigned char*>(p) - data) : end;
    };
    int i = std::min(next(upper, 0), next(lower, 0));
    while (i < end) {
        MatchAndOverwrite(data + i, pattern, replacement, n);
        if (i + 1 >= end) break;
        i = std::min(next(upper, i + 1), next(lower, i + 1));
    }
}

//----------------------------------------------------------------------------
// 2. Reading a whole source, writing a whole destination
//----------------------------------------------------------------------------
namespace {

// The bytes of one source file: in FileBuffer when they fit, otherwise in
// `spill`, so files of any size are rewritten whole.
struct SourceData {
    unsigned char* data = nullptr;
    int length = 0;
    std::vector<unsigned char> spill;
};

// Reads the whole source. The source is closed before anything is written,
// so a rewrite works even when source and destination are the same file.
// A read error ends the data like end of file.
bool ReadSource(const char* source, SourceData* out) {
    std::FILE* f = PlatformOpenRead(source);
    if (!f) return false;
    std::size_t got = std::fread(FileBuffer, 1, kFileBufferSize, f);
    out->data = FileBuffer;
    out->length = static_cast<int>(got);
    if (got == kFileBufferSize) {
        unsigned char chunk[65536];
        std::size_t more;
        while ((more = std::fread(chunk, 1, sizeof chunk, f)) > 0) {
            if (out->spill.empty()) out->spill.assign(FileBuffer, FileBuffer + got);
            out->spill.insert(out->spill.end(), chunk, chunk + more);
        }
        if (!out->spill.empty()) {
            out->data = out->spill.data();
            out->length = static_cast<int>(out->spill.size());
        }
    }
    std::fclose(f);
    return true;
}

// Writes `length` bytes to a new or emptied destination. A failed write or
// close counts: a short model file would be worse than none.
FileOutcome WriteDest(const char* dest, const unsigned char* data, std::size_t length) {
    std::FILE* f = PlatformOpenWrite(dest);
    if (!f) return FileWriteFailed;
    bool ok = std::fwrite(data, 1, length, f) == length;
    ok = (std::fclose(f) == 0) && ok;
    return ok ? FileWritten : FileWriteFailed;
}

// Reads, applies `edit` to the whole data, writes.
template <typename Edit>
FileOutcome Rewrite(const char* source, const char* dest, Edit edit) {
    SourceData src;
    if (!ReadSource(source, &src)) return FileSourceMissing;
    edit(src.data, src.length);
    return WriteDest(dest, src.data, static_cast<std::size_t>(src.length));
}

// The Bf109e models name their side textures "l_side", "r_side" and "wing",
// and the aircraft "Bf109": the copy renames those textures to the new stem
// followed by "09l", "09r" and "w", so the model words must change alike.
// Each template's first characters are overwritten by the new stem.
struct TextureWord {
    const char* pattern;
    const char* replacementTemplate;
};
const TextureWord kBf109eTextureWords[] = {
    {"l_side", "me109l"},
    {"r_side", "me109r"},
    {"wing", "me1w"},
    {"Bf109", "me109"},
};

} // namespace

//----------------------------------------------------------------------------
// 3. The operations
//----------------------------------------------------------------------------

FileOutcome CopyFileBytes(const char* source, const char* dest) {
    std::FILE* in = PlatformOpenRead(source);
    if (!in) return FileSourceMissing;
    std::FILE* out = PlatformOpenWrite(dest);
    if (!out) {
        std::fclose(in);
        return FileWriteFailed;
    }
    static unsigned char chunk[1 << 16];
    bool ok = true;
    std::size_t got;
    while (ok && (got = std::fread(chunk, 1, sizeof chunk, in)) > 0)
        ok = std::fwrite(chunk, 1, got, out) == got;
    std::fclose(in);
    ok = (std::fclose(out) == 0) && ok;
    return ok ? FileWritten : FileWriteFailed;
}

FileOutcome ReplaceStemInFile(const char* source, const char* dest, const char* stem, const char* newStem) {
    const int n = static_cast<int>(std::strlen(stem));
    return Rewrite(source, dest, [&](unsigned char* data, int length) {
        SubstitutionPass(data, length, stem, newStem, n);
    });
}

FileOutcome ReplaceBf109eTextureNames(const char* source, const char* dest, const char* newStem) {
    // Formed afresh on every call: nothing of an earlier copy's stem carries over.
    char words[4][8];
    const std::size_t k = std::strlen(newStem);
    for (int w = 0; w < 4; ++w) {
        std::strcpy(words[w], kBf109eTextureWords[w].replacementTemplate);
        std::memcpy(words[w], newStem, k < std::strlen(words[w]) ? k : std::strlen(words[w]));
    }
    return Rewrite(source, dest, [&](unsigned char* data, int length) {
        for (int w = 0; w < 4; ++w) {
            const char* pattern = kBf109eTextureWords[w].pattern;
            SubstitutionPass(data, length, pattern, words[w], static_cast<int>(std::strlen(pattern)));
        }
    });
}

FileOutcome ReplaceHurricaneTextureNames(const char* source, const char* dest, const char* newStem) {
    // "hurr" also catches the start of every "Hurricane", so no separate stem
    // pass is needed; "hawk" gives the hawkTex textures' names the new stem.
    const int n = static_cast<int>(std::strlen(newStem));
    return Rewrite(source, dest, [&](unsigned char* data, int length) {
        SubstitutionPass(data, length, "hurr", newStem, n);
        SubstitutionPass(data, length, "hawk", newStem, n);
    });
}

FileOutcome RewriteConfigWithTitle(const char* source, const char* dest, const char* stem, const char* newStem) {
    const int n = static_cast<int>(std::strlen(stem));
    return Rewrite(source, dest, [&](unsigned char* data, int length) {
        SubstitutionPass(data, length, stem, newStem, n);
        // Only the first "title" is rewritten, wherever it stands, even inside
        // "subtitle": kept exactly so that copies match those of earlier releases.
        for (int i = 0; i + 5 <= length; ++i)
            if (OverwriteTitle(data + i, "title", newStem, n, data + length)) break;
    });
}
