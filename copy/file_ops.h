// File-level work of a copy: the plain byte copy and the same-length
// rewriters of model and configuration files.
//
// Every replacement has exactly the length of what it replaces, so a
// rewritten file is as long as its source and every byte that is not
// replaced stays at its offset: the simulator's binary .mdl files stay
// valid byte for byte. Files are never parsed, only scanned as bytes.
//
// Each operation returns FileWritten (0) when its destination was written,
// otherwise why not. A source is never modified.
#pragma once

// Capacity of the shared rewrite buffer (decimal, not 256 KiB). Larger files
// are still rewritten whole, in a buffer of their own size.
constexpr int kFileBufferSize = 250000;
extern unsigned char FileBuffer[kFileBufferSize];

// Why an operation did not write its destination. CopyAircraft needs the
// difference: a missing stock file only leaves the copy without it, while a
// destination that cannot be written is a file error.
enum FileOutcome : int {
    FileWritten = 0,
    FileSourceMissing = 1,  // the source could not be opened; nothing was created
    FileWriteFailed = 2,    // the destination could not be opened, written or closed
};

FileOutcome CopyFileBytes(const char* source, const char* dest);
FileOutcome ReplaceStemInFile(const char* source, const char* dest, const char* stem, const char* newStem);
FileOutcome ReplaceBf109eTextureNames(const char* source, const char* dest, const char* newStem);
FileOutcome ReplaceHurricaneTextureNames(const char* source, const char* dest, const char* newStem);
FileOutcome RewriteConfigWithTitle(const char* source, const char* dest, const char* stem, const char* newStem);

// Compares the n bytes at `pos` with `pattern` ignoring ASCII letter case and,
// when all match, overwrites them with the first n bytes of `replacement`.
// The caller guarantees n readable bytes at `pos`.
void MatchAndOverwrite(unsigned char* pos, const char* pattern, const char* replacement, int n);

// When the 5 bytes at `pos` are `keyword` ("title", any case), writes "=" and
// the n bytes of `newStem` after them, never at or beyond `end`, and returns 1;
// otherwise returns 0 and writes nothing. The caller guarantees 5 readable
// bytes at `pos`.
int OverwriteTitle(unsigned char* pos, const char* keyword, const char* newStem, int n,
                   const unsigned char* end);

// One substitution pass over data[0..length): every position in increasing
// order, each seeing the replacements made before it, so bytes just written
// can take part in a further match.
void SubstitutionPass(unsigned char* data, int length, const char* pattern, const char* replacement, int n);
