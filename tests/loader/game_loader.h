// An aircraft folder loaded the way the 1998 simulator loads it: ANSI Win32
// calls only (FindFirstFileA, GetPrivateProfileStringA, CreateFileA), so a
// test sees file names and values exactly as the game would.
#pragma once
#include <string>
#include <vector>

// The subfolders of `aircraftDir` as the game lists them (Aircraft\*), in the
// order FindNextFileA gives, "." and ".." left out.
std::vector<std::string> ListAircraftFoldersAsTheGameDoes(const std::string& aircraftDir);

// Loads `aircraftDir`\`folder` as the game does and returns what could not be
// loaded, one line each, empty when everything loads:
//   "Aircraft.cfg"                            no Aircraft.cfg, nothing else is read
//   "Aircraft.cfg: no [fltsim] section"
//   "[fltsim.1] sim="                         a section without a flight model
//   "[fltsim.1] p51d.air"                     the flight model named by sim=
//   "[fltsim] Model\Model.cfg"                then <folder>_n.mdl is tried
//   "[fltsim] Model\p51d_n.mdl"               a model Model.cfg names
//   "[fltsim] Texture\P51_l_side.bmp"         a texture a model names
//   "[fltsim.1] Texture.alt\"                 the folder texture= (or model=) names
//   "Sound\sound.cfg", "Panel\panel.cfg"
//   "Sound\sound.cfg: alias p47d\sound"       an alias whose folder is missing
//   "p47d\sound\p47d_eng.wav"                 a file a followed alias names
//   "Sound\p51d_eng.wav", "Panel\gunsight.bmp" a file the folder's own cfg names
// Paths are relative to the aircraft folder, alias paths to `aircraftDir`,
// spelled as the files that name them spell them. `aircraftDir` is a Windows
// path (under Wine a Linux folder is Z:\...).
std::vector<std::string> LoadAircraftAsTheGameDoes(const std::string& aircraftDir, const std::string& folder);

// The texture names a model's bytes hold: zero-terminated printable names
// ending in ".bmp" (any letter case), each once whatever its letter case, in
// order of first appearance.
std::vector<std::string> TextureNamesInModel(const std::string& bytes);
