// An aircraft folder seen the way the 1998 simulator sees it: ANSI Win32
// calls only (FindFirstFileA, GetPrivateProfileStringA, CreateFileA), so a
// test meets file names and values exactly as the game would.
#pragma once
#include <string>
#include <vector>

// The subfolders of `aircraftDir` (a Windows path) as the game lists Aircraft\*.
std::vector<std::string> ListAircraftFoldersAsTheGameDoes(const std::string& aircraftDir);

// Loads `aircraftDir`\`folder` as the game does and returns what it could
// not load, one line each, empty when everything loads:
//   "Aircraft.cfg"                         nothing else is read
//   "[fltsim.1] sim=", "[fltsim.1] p51d.air"    a variation's flight model
//   "[fltsim] Model\Model.cfg", "[fltsim] Model\p51d_n.mdl"   its models
//   "[fltsim] Texture\P51_l_side.bmp"      a texture a model names
//   "[fltsim.1] Texture.alt\"              the folder texture= names is missing
//   "Sound\sound.cfg", "Panel\panel.cfg"
//   "Sound\sound.cfg: alias p47d\sound"    a target missing, or itself an alias
std::vector<std::string> LoadAircraftAsTheGameDoes(const std::string& aircraftDir, const std::string& folder);
