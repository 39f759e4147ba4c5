// The built-in description of the simulator's nineteen stock aircraft.
// Fixed, read-only data: the tool never lists a stock folder to learn what it holds.
#pragma once

// What the copy procedure does with one file-list entry. The codes are stored
// in the tables, so their values are fixed.
enum class FileAction : int {
    CopyNewStem = 0,           // copy, destination named with the new stem
    CopyAltNewStem = 1,        // copy, destination is the alternate name with the new stem
    MakeFolder = 2,            // make a subfolder of the new aircraft; it becomes current
    RewriteStemNewName = 3,    // stem rewrite, destination named with the new stem
    RewriteBf109eModel = 4,    // Bf109e texture-word rewrite, new-stem name
    RewriteHurricaneModel = 5, // Hurricane texture-word rewrite, new-stem name
    RewriteStem = 6,           // stem rewrite, name unchanged (Model.cfg)
    RewriteAircraftCfg = 7,    // stem rewrite plus title rewrite, name unchanged
    SoundAlias = 8,            // sound.cfg pointing at the aircraft's alias target
    PanelAlias = 9,            // panel.cfg pointing at the aircraft's alias target
};

struct FileEntry {
    const char* name;    // file or subfolder, relative to the current subfolder; null ends a list
    const char* altName; // only for CopyAltNewStem: the name the destination is made from
    FileAction action;
};

struct AircraftEntry {
    const char* name;       // stock folder name, exact case; also the text of the dialog's list
    int StemLength;         // leading characters of the name that a prefix may overwrite
    const FileEntry* files; // processing order, ended by a row whose name is null
    const char* aliasTarget;// stock folder whose sound and panel the copy's alias files name
};

// Number of stock aircraft (19).
int GetAircraftCount();
// Folder name of aircraft `index` (0..count-1, unchecked); static storage.
const char* GetAircraftName(int index);
// StemLength of aircraft `index` (unchecked).
int GetStemLength(int index);
// The whole row of aircraft `index` (unchecked); static storage.
const AircraftEntry& GetAircraftEntry(int index);
