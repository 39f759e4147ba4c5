// The copy's name in the simulator's aircraft menu: each [fltsim.N] section
// of Aircraft.cfg is one menu entry, named by its title= line.
//
// Unedited, the copy's first title is what the same-length overwrite makes of
// the stock one ("P-51D Mustang" with the prefix XY gives "XY11D Mustang":
// PredictCopyTitle in copy_aircraft.h).
// A player's own name replaces the value of the first title= line, and every
// further [fltsim.N] title follows it, so the menu never shows the stock
// aircraft's names twice.
#pragma once
#include <string>

class WriteSession;

enum TitleCheck : int {
    TitleOk = 0,
    TitleEmpty,
    TitleHasControlChars,   // control characters or line breaks
    TitleNotRepresentable,  // a character the simulator's code page cannot hold
};

// `title` without the blanks around it, as the simulator's reader takes a
// value: the name a copy carries.
std::string TrimInGameTitle(const char* title);

// Whether `title` (bytes in the simulator's ANSI code page) can be written
// as a title= value. Off Windows only printable ASCII is accepted: Wine shows
// the game its names in a code page that UTF-8 bytes do not belong to.
// A title of nothing but blanks is empty.
TitleCheck CheckInGameTitle(const char* title);

// True when an aircraft folder of `aircraftDir` has a title= line whose
// value equals `title` without its outer blanks, letter case aside.
bool TitleInUse(const char* aircraftDir, const char* title);

// Reads the configuration file `path` whole into `text`; false when it
// cannot be read or is far larger than any Aircraft.cfg (4 MiB).
bool ReadConfigFile(const char* path, std::string* text);

// The value of the first title= line of configuration text `cfg`, or ""
// when it has none.
std::string FirstTitle(const std::string& cfg);

// True when configuration text `cfg` has a title= line or a [fltsim.N]
// section that one can be given in.
bool CanCarryTitle(const std::string& cfg);

// `cfg` (a copy's Aircraft.cfg as the overwrite made it) with `newTitle` as
// the value of its first title= line (a text with none gets one as the first
// line of its first [fltsim.N] section). Each further title= line of an
// [fltsim.N] section becomes `newTitle` plus what followed `stockTitle` in it
// when it began with `stockTitle` (letter case aside), else `newTitle` + " (N)".
// Every other byte stays.
std::string RetitleConfig(const std::string& cfg, const std::string& stockTitle, const std::string& newTitle);

// Gives the copy's configuration file `copyCfg` the in-game name `title`, as
// RetitleConfig does, with the first title of the stock file `stockCfg`,
// its `stem` rewritten to `newStem` as the copy's, as the stock name; below
// the folder of `session` when given. Returns 0 or the errno value of the
// failure.
int RetitleCopyConfig(const char* stockCfg, const char* copyCfg, const char* stem, const char* newStem,
                      const char* title, const WriteSession* session = nullptr);
