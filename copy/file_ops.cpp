// Plain copy and the four rewriters.
//
// Sections:
//   1. Case rule and the two primitives
//   2. The substitution pass
//   3. Streaming a source through a pipeline of stages
//   4. The operations

#include "file_ops.h"

#include "platform.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

unsigned char FileBuffer[kFileBufferSize];

//----------------------------------------------------------------------------
// 1. Case rule and the two primitives
//----------------------------------------------------------------------------
namespace {

// Only A-Z and a-z have a second form. Bytes from 0x80 up match only
// themselves whatever the locale: model files are full of them.
inline bool MatchesByte(unsigned char b, unsigned char p) { return b == AsciiUpper(p) || b == AsciiLower(p); }

// MatchAndOverwrite, telling whether it wrote.
inline bool Overwrote(unsigned char* pos, const char* pattern, const char* replacement, int n) {
    for (int k = 0; k < n; ++k)
        if (!MatchesByte(pos[k], static_cast<unsigned char>(pattern[k]))) return false;
    std::memcpy(pos, replacement, static_cast<std::size_t>(n));
    return true;
}

} // namespace

void MatchAndOverwrite(unsigned char* pos, const char* pattern, const char* replacement, int n) {
    Overwrote(pos, pattern, replacement, n);
}

int OverwriteTitle(unsigned char* pos, const char* keyword, const char* newStem, int n,
                   const unsigned char* end) {
    for (int k = 0; k < 5; ++k)
        if (!MatchesByte(pos[k], static_cast<unsigned char>(keyword[k]))) return 0;
    // "=" goes over whatever follows the keyword (a blank, the old "="...).
    // The value ends with its line: a short value must not run into the next
    // line and take its key. The file keeps its length either way.
    unsigned char* p = pos + 5;
    for (int k = -1; k < n && p < end && *p != '\r' && *p != '\n'; ++k)
        *p++ = k < 0 ? '=' : static_cast<unsigned char>(newStem[k]);
    return 1;
}

//----------------------------------------------------------------------------
// 2. The substitution pass
//----------------------------------------------------------------------------
namespace {

// Where the next byte at or after `from` that can start a match lies, in
// either letter case of `first`: `stop` when there is none. Nearby bytes are
// looked at directly (dense candidates, as in a model full of the letter);
// beyond that memchr (vectorised in every C library) searches each case.
// Each case's last find is kept while it lies ahead, so every byte is
// searched at most once per case and a search stays linear even when one
// case never occurs (searching afresh for it from every candidate was
// quadratic). The caller guarantees that bytes from `from` on have not
// changed since the finds it kept.
struct CandidateFinder {
    static constexpr std::size_t kUnknown = static_cast<std::size_t>(-1);
    const unsigned char* data;
    std::size_t stop;
    unsigned char upper, lower;
    std::size_t nextUpper = kUnknown, nextLower = kUnknown;

    CandidateFinder(const unsigned char* d, std::size_t s, unsigned char first)
        : data(d), stop(s), upper(AsciiUpper(first)), lower(AsciiLower(first)) {}

    std::size_t Find(unsigned char c, std::size_t from) const {
        const void* p = std::memchr(data + from, c, stop - from);
        return p ? static_cast<std::size_t>(static_cast<const unsigned char*>(p) - data) : stop;
    }
    std::size_t Next(std::size_t from) {
        const std::size_t scanEnd = std::min(stop, from + 32);
        for (; from < scanEnd; ++from)
            if (data[from] == upper || data[from] == lower) return from;
        if (from >= stop) return stop;
        if (nextUpper == kUnknown || nextUpper < from) nextUpper = Find(upper, from);
        if (nextLower == kUnknown || nextLower < from) nextLower = upper == lower ? nextUpper : Find(lower, from);
        return std::min(nextUpper, nextLower);
    }
};

// Tries positions begin .. stop-1 of `data` in increasing order; the caller
// guarantees n readable bytes at each. Right after a replacement the n-1
// bytes it wrote beyond its position are tried one by one, so bytes just
// written take part in further matches exactly as in a position-by-position
// scan; past them nothing has changed since the finder searched.
void SubstituteRange(unsigned char* data, std::size_t begin, std::size_t stop, const char* pattern,
                     const char* replacement, int n) {
    if (n <= 0 || begin >= stop) return;
    CandidateFinder finder(data, stop, static_cast<unsigned char>(pattern[0]));
    std::size_t written = begin;  // positions below this hold bytes a replacement just wrote
    for (std::size_t i = begin; i < stop; ++i) {
        if (i >= written && (i = finder.Next(i)) >= stop) break;
        if (Overwrote(data + i, pattern, replacement, n)) written = i + static_cast<std::size_t>(n);
    }
}

// The first position in begin .. stop-1 where the 5 bytes of "title" match
// (any case), or stop.
std::size_t FindTitle(const unsigned char* data, std::size_t begin, std::size_t stop) {
    CandidateFinder finder(data, stop, 't');
    for (std::size_t i = finder.Next(begin); i < stop; i = finder.Next(i + 1)) {
        int k = 1;
        while (k < 5 && MatchesByte(data[i + k], static_cast<unsigned char>("title"[k]))) ++k;
        if (k == 5) return i;
    }
    return stop;
}

} // namespace

void SubstitutionPass(unsigned char* data, std::size_t length, const char* pattern, const char* replacement, int n) {
    if (n <= 0 || length < static_cast<std::size_t>(n)) return;
    SubstituteRange(data, 0, length - static_cast<std::size_t>(n) + 1, pattern, replacement, n);
}

//----------------------------------------------------------------------------
// 3. Streaming a source through a pipeline of stages
//----------------------------------------------------------------------------
namespace {

std::size_t chunkSize = kFileBufferSize;

// One step of a rewrite, in the order the whole-file algorithm applies them:
// a substitution pass, or the overwrite after the first "title". All stages
// work in place on FileBuffer, each behind the one before it: a stage tries
// a position only once the previous stage can no longer change any byte it
// reads or writes there, so it sees that stage's complete output.
struct Stage {
    bool title;               // the title overwrite, else a substitution pass
    const char* pattern;      // a pass's pattern
    const char* replacement;  // a pass's replacement, or the title's new stem
    int n;                    // compare length, or the new stem's length
    std::size_t next;         // next position to try, as an offset in FileBuffer
    bool done;                // the title has been written: everything else passes
};

// Bytes past a position that the stage reads or writes there.
std::size_t Window(const Stage& s) {
    return s.title ? 6 + static_cast<std::size_t>(s.n) : static_cast<std::size_t>(s.n);
}

// Runs stage `s` over FileBuffer, whose first `ready` bytes the stages before
// it have finished (all of them at the end of the source, `atEnd`). Returns
// how many leading bytes this stage has finished in turn.
std::size_t Advance(Stage& s, std::size_t ready, bool atEnd) {
    if (!s.title && s.n <= 0) s.done = true;  // an empty pattern changes nothing
    if (s.done) return ready;
    const std::size_t window = Window(s);
    if (s.title) {
        // At the end of the data the keyword alone must fit; the "=" and the
        // stem are cut at the data's end.
        const std::size_t need = atEnd ? 5 : window;
        if (s.next + need <= ready) {
            const std::size_t stop = ready - need + 1;
            const std::size_t at = FindTitle(FileBuffer, s.next, stop);
            if (at < stop) {
                OverwriteTitle(FileBuffer + at, "title", s.replacement, s.n, FileBuffer + ready);
                s.done = true;
                return ready;
            }
            s.next = stop;
        }
    } else if (s.next + window <= ready) {
        const std::size_t stop = ready - window + 1;
        SubstituteRange(FileBuffer, s.next, stop, s.pattern, s.replacement, s.n);
        s.next = stop;
    }
    return atEnd ? ready : s.next;
}

FileResult Fail(FileOutcome outcome, int error) { return {outcome, error ? error : EIO}; }

// Where the stages' finished bytes go: written to the destination, or
// compared with a file the copy made earlier. Returns false to stop.
struct Sink {
    bool (*put)(Sink* self, const unsigned char* data, std::size_t n);
    std::FILE* file;
    bool differs = false;  // compare: a byte differed, or the file is longer
    bool shorter = false;  // compare: the file ended first
};

bool WriteChunk(Sink* self, const unsigned char* data, std::size_t n) {
    errno = 0;
    return std::fwrite(data, 1, n, self->file) == n;
}

// Letter case aside: a copy's folder renamed in another case (Windows lets
// a player do that) still holds the names its files were made with.
bool CompareChunk(Sink* self, const unsigned char* data, std::size_t n) {
    unsigned char theirs[16384];
    for (std::size_t at = 0; at < n;) {
        const std::size_t want = std::min(sizeof theirs, n - at);
        const std::size_t got = std::fread(theirs, 1, want, self->file);
        if (std::memcmp(theirs, data + at, got) != 0)
            for (std::size_t k = 0; k < got && !self->differs; ++k)
                self->differs = AsciiLower(theirs[k]) != AsciiLower(data[at + k]);
        if (got < want) self->shorter = true;
        if (self->differs || self->shorter) return false;
        at += got;
    }
    return true;
}

// Runs `source` through `count` stages into `sink`, a chunk at a time.
// FileSourceUnreadable on a read error; FileWriteFailed when the sink stops.
FileResult Pump(std::FILE* in, Stage* stages, int count, Sink* sink) {
    std::setvbuf(in, nullptr, _IONBF, 0);
    std::size_t have = 0;  // bytes in FileBuffer
    for (bool atEnd = false; !atEnd;) {
        const std::size_t want = std::min(chunkSize, kFileBufferSize - have);
        errno = 0;
        const std::size_t got = std::fread(FileBuffer + have, 1, want, in);
        have += got;
        if (got < want) {
            if (std::ferror(in)) return Fail(FileSourceUnreadable, errno);
            atEnd = true;
        }
        std::size_t ready = have;
        for (int k = 0; k < count; ++k) ready = Advance(stages[k], ready, atEnd);
        if (!sink->put(sink, FileBuffer, ready)) return Fail(FileWriteFailed, errno);
        // Keep what a stage may still change at the front of the buffer.
        std::memmove(FileBuffer, FileBuffer + ready, have - ready);
        have -= ready;
        for (int k = 0; k < count; ++k)
            if (!stages[k].done) stages[k].next -= ready;
    }
    return {FileWritten, 0};
}

bool StagesFit(const Stage* stages, int count) {
    std::size_t carried = 0;  // the most bytes the stages can hold back between chunks
    for (int k = 0; k < count; ++k) carried += Window(stages[k]);
    return carried < kFileBufferSize / 2;  // no stem is that long
}

// Copies `source` to `dest` through `count` stages. The destination is opened
// once the source is known to be a readable regular file, and removed again
// when anything fails after that.
FileResult Stream(const char* source, const char* dest, Stage* stages, int count, const WriteSession* session) {
    if (!StagesFit(stages, count)) return Fail(FileWriteFailed, EINVAL);

    int error = 0;
    std::FILE* in = PlatformOpenRead(source, &error);
    if (!in)
        return Fail(error == ENOENT || error == ENOTDIR ? FileSourceMissing : FileSourceUnreadable, error);
    // Opening the destination would empty the source before it is read.
    if (PlatformSameFile(in, dest)) {
        std::fclose(in);
        return Fail(FileWriteFailed, EINVAL);
    }
    errno = 0;
    std::FILE* out = PlatformOpenWrite(dest, session);
    if (!out) {
        error = errno;
        std::fclose(in);
        return Fail(FileWriteFailed, error);
    }
    // Whole chunks go straight to the system: stdio buffers would only add a copy.
    std::setvbuf(out, nullptr, _IONBF, 0);
    Sink sink{WriteChunk, out};
    FileResult result = Pump(in, stages, count, &sink);
    std::fclose(in);
    const int closeError = PlatformCloseWritten(out, dest, result.outcome == FileWritten, session);
    if (result.outcome == FileWritten && closeError) result = Fail(FileWriteFailed, closeError);
    return result;
}

Stage Pass(const char* pattern, const char* replacement, int n) { return {false, pattern, replacement, n, 0, false}; }

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

void SetFileChunkSize(std::size_t bytes) {
    chunkSize = bytes == 0 || bytes > kFileBufferSize ? kFileBufferSize : bytes;
}

//----------------------------------------------------------------------------
// 4. The operations
//----------------------------------------------------------------------------

namespace {

// The stages of one catalogue action, with the words they replace with.
struct Pipeline {
    char words[4][8];
    Stage stages[4];
    int count = 0;
};

// The Bf109e's texture words are formed afresh on every call: nothing of an
// earlier copy's stem carries over.
void MakePipeline(FileAction action, const char* stem, const char* newStem, Pipeline* p) {
    const int n = static_cast<int>(std::strlen(newStem));
    switch (action) {
    case FileAction::RewriteStem:
    case FileAction::RewriteStemNewName:
        p->stages[p->count++] = Pass(stem, newStem, static_cast<int>(std::strlen(stem)));
        break;
    case FileAction::RewriteBf109eModel:
        for (const TextureWord& word : kBf109eTextureWords) {
            char* w = p->words[p->count];
            std::strcpy(w, word.replacementTemplate);
            std::memcpy(w, newStem, std::min(static_cast<std::size_t>(n), std::strlen(w)));
            p->stages[p->count++] = Pass(word.pattern, w, static_cast<int>(std::strlen(word.pattern)));
        }
        break;
    case FileAction::RewriteHurricaneModel:
        // "hurr" also catches the start of every "Hurricane", so no separate
        // stem pass is needed; "hawk" gives the hawkTex textures' names the new stem.
        p->stages[p->count++] = Pass("hurr", newStem, n);
        p->stages[p->count++] = Pass("hawk", newStem, n);
        break;
    case FileAction::RewriteAircraftCfg:
        // Only the first "title" of the stem pass's output is rewritten,
        // wherever it stands, even inside "subtitle": kept so that copies
        // match those of earlier releases.
        p->stages[p->count++] = Pass(stem, newStem, static_cast<int>(std::strlen(stem)));
        p->stages[p->count++] = {true, "title", newStem, static_cast<int>(std::strlen(stem)), 0, false};
        break;
    default:  // a plain copy
        break;
    }
}

} // namespace

FileResult RewriteFile(FileAction action, const char* source, const char* dest, const char* stem,
                       const char* newStem, const WriteSession* session) {
    Pipeline p;
    MakePipeline(action, stem, newStem, &p);
    return Stream(source, dest, p.stages, p.count, session);
}

FileResult CopyFileBytes(const char* source, const char* dest, const WriteSession* session) {
    return RewriteFile(FileAction::CopyNewStem, source, dest, "", "", session);
}

FileResult ReplaceStemInFile(const char* source, const char* dest, const char* stem, const char* newStem,
                             const WriteSession* session) {
    return RewriteFile(FileAction::RewriteStem, source, dest, stem, newStem, session);
}

FileResult ReplaceBf109eTextureNames(const char* source, const char* dest, const char* newStem,
                                     const WriteSession* session) {
    return RewriteFile(FileAction::RewriteBf109eModel, source, dest, "", newStem, session);
}

FileResult ReplaceHurricaneTextureNames(const char* source, const char* dest, const char* newStem,
                                        const WriteSession* session) {
    return RewriteFile(FileAction::RewriteHurricaneModel, source, dest, "", newStem, session);
}

FileResult RewriteConfigWithTitle(const char* source, const char* dest, const char* stem, const char* newStem,
                                  const WriteSession* session) {
    return RewriteFile(FileAction::RewriteAircraftCfg, source, dest, stem, newStem, session);
}

int WriteNewFile(const char* path, const void* data, std::size_t size, const WriteSession* session) {
    errno = 0;
    std::FILE* f = PlatformOpenWrite(path, session);
    if (!f) return errno ? errno : EIO;
    errno = 0;
    const bool ok = std::fwrite(data, 1, size, f) == size;
    const int error = ok ? 0 : (errno ? errno : EIO);
    const int closed = PlatformCloseWritten(f, path, ok, session);
    return error ? error : closed;
}

CompareOutcome CompareWithRewrite(FileAction action, const char* source, const char* made, const char* stem,
                                  const char* newStem) {
    Pipeline p;
    MakePipeline(action, stem, newStem, &p);
    if (!StagesFit(p.stages, p.count)) return FileNoSource;
    std::FILE* in = PlatformOpenRead(source);
    if (!in) return FileNoSource;
    std::FILE* theirs = PlatformOpenRead(made);
    if (!theirs) {
        std::fclose(in);
        return FileDiffers;
    }
    std::setvbuf(theirs, nullptr, _IONBF, 0);
    Sink sink{CompareChunk, theirs};
    const FileResult result = Pump(in, p.stages, p.count, &sink);
    // Equal so far and both at their end: nothing is left over in theirs.
    const bool longer = result.outcome == FileWritten && std::fgetc(theirs) != EOF;
    std::fclose(in);
    std::fclose(theirs);
    if (result.outcome == FileSourceUnreadable) return FileNoSource;
    if (sink.differs || longer) return FileDiffers;
    return sink.shorter ? FileCutShort : FileMatches;
}
