// File-level work of a copy: the plain byte copy and the same-length
// rewriters of model and configuration files.
//
// Every replacement has exactly the length of what it replaces, so a
// rewritten file is as long as its source and every byte that is not
// replaced stays at its offset: the simulator's binary .mdl files stay
// valid byte for byte. Files are never parsed, only scanned as bytes.
//
// Files stream through FileBuffer a chunk at a time, whatever their size,
// giving exactly the bytes a rewrite of the whole file at once would give.
// A source is never modified. An operation that fails leaves no destination
// behind, not even a partial one.
#pragma once
#include "catalogue.h"

#include <cstddef>

class WriteSession;

// The one chunk buffer every operation streams through (250,000 bytes, as
// the whole-file buffer of earlier releases). Not reentrant.
constexpr std::size_t kFileBufferSize = 250000;
extern unsigned char FileBuffer[kFileBufferSize];

// What became of one operation. CopyAircraft needs the difference: a missing
// stock file only leaves the copy without it, while a stock file that cannot
// be read or a destination that cannot be written is a file error.
enum FileOutcome : int {
    FileWritten = 0,
    FileSourceMissing = 1,     // no such stock file (ENOENT, ENOTDIR); nothing was created
    FileWriteFailed = 2,       // the destination could not be opened, written or closed; none of it is left
    FileSourceUnreadable = 3,  // the stock entry is no regular file, cannot be opened, or failed while being read
};

// `error` is the errno value behind a failure, 0 when written: for
// FileSourceUnreadable EISDIR (a folder), EINVAL (a FIFO, device or socket),
// EACCES, EIO...; for FileWriteFailed ENOSPC, EROFS, EACCES..., and EINVAL
// when the destination is the source itself (it would be emptied before
// being read).
struct FileResult {
    FileOutcome outcome;
    int error;
};

// The file of catalogue `action` (a copy or one of the rewriters, with the
// stem and new stem as the copy derives them); the named operations below
// are this with their action. Each writes `dest` below the folder of
// `session` when given (see WriteSession: created new, never through a
// link), else creates or empties it.
FileResult RewriteFile(FileAction action, const char* source, const char* dest, const char* stem,
                       const char* newStem, const WriteSession* session = nullptr);
FileResult CopyFileBytes(const char* source, const char* dest, const WriteSession* session = nullptr);
FileResult ReplaceStemInFile(const char* source, const char* dest, const char* stem, const char* newStem,
                             const WriteSession* session = nullptr);
FileResult ReplaceBf109eTextureNames(const char* source, const char* dest, const char* newStem,
                                     const WriteSession* session = nullptr);
FileResult ReplaceHurricaneTextureNames(const char* source, const char* dest, const char* newStem,
                                        const WriteSession* session = nullptr);
FileResult RewriteConfigWithTitle(const char* source, const char* dest, const char* stem, const char* newStem,
                                  const WriteSession* session = nullptr);

// Creates `path` holding the `size` bytes at `data`, below the folder of
// `session` when given. Returns 0 or the errno value of the failure; a
// failed write leaves no file behind.
int WriteNewFile(const char* path, const void* data, std::size_t size, const WriteSession* session = nullptr);

// How a file the copy made stands to what the copy would write into it from
// its stock file now, so that a changed file (a repaint) is told apart from
// the copy's own.
enum CompareOutcome : int {
    FileMatches = 0,   // the same bytes
    FileCutShort = 1,  // the start of them: a write that did not finish
    FileDiffers = 2,   // other bytes, or more of them, or `made` cannot be read
    FileNoSource = 3,  // the stock file cannot be read: nothing to tell by
};

// Streams `source` through the rewrite of catalogue `action` (stem and new
// stem as for the copy) and compares the result with the file `made`.
CompareOutcome CompareWithRewrite(FileAction action, const char* source, const char* made, const char* stem,
                                  const char* newStem);

// Bytes read into FileBuffer per refill (at most its capacity), so tests can
// put chunk ends at chosen offsets of small files. 0 restores the default,
// the whole buffer.
void SetFileChunkSize(std::size_t bytes);

// Compares the n bytes at `pos` with `pattern` ignoring ASCII letter case and,
// when all match, overwrites them with the first n bytes of `replacement`.
// The caller guarantees n readable bytes at `pos`.
void MatchAndOverwrite(unsigned char* pos, const char* pattern, const char* replacement, int n);

// When the 5 bytes at `pos` are `keyword` ("title", any case), writes "=" and
// the n bytes of `newStem` after them and returns 1; otherwise returns 0 and
// writes nothing. Writing stops at a CR or LF (the title's line ends there)
// and at `end`. The caller guarantees 5 readable bytes at `pos`.
int OverwriteTitle(unsigned char* pos, const char* keyword, const char* newStem, int n,
                   const unsigned char* end);

// One substitution pass over data[0..length): every position in increasing
// order, each seeing the replacements made before it, so bytes just written
// can take part in a further match. Linear in `length` for any pattern.
void SubstitutionPass(unsigned char* data, std::size_t length, const char* pattern, const char* replacement, int n);
