// Repainting an aircraft: checking its textures, exporting them as PNGs for
// a paint program, and applying painted PNGs back to a copy in the
// simulator's own 8-bit format. What the command line and the dialog share;
// each returns a structured report and prints nothing.
#pragma once
#include "bmp.h"
#include "copies.h"
#include "quantise.h"

#include <string>
#include <vector>

enum RepaintStatus : int {
    RepaintOk = 0,
    RepaintFailed = 1,    // a texture missing or unreadable, a PNG unusable, a file not written: the report says which
    RepaintRefused = 2,   // not a copy, a stock aircraft, an export into the Aircraft folder or over files: nothing changed
    RepaintNotFound = 3,  // no such aircraft folder
};

// ---- Checking -------------------------------------------------------------

struct TextureFile {
    std::string folder;    // "Texture" or "Texture.X", as named on disk
    std::string name;      // as named on disk
    bool readable = false; // its layout was read
    TextureLayout layout;
    std::string problem;   // why the simulator cannot read it; empty when it can
    bool named = false;    // a model of a variation using this folder names it
};

struct MissingTexture {
    std::string folder;  // where it was looked for
    std::string name;    // as the model names it
    std::string model;   // the first model naming it, relative to the aircraft folder
};

struct TextureCheck {
    std::string path;                    // the aircraft folder
    std::vector<TextureFile> files;      // every .bmp of its texture folders, by folder then name
    std::vector<MissingTexture> missing; // named by a model, no file answers
    std::vector<std::string> notes;      // e.g. a Texture.X folder that is not there
};

// Checks the textures of aircraftDir/folder (any aircraft; reads only).
// RepaintOk when every texture a model names is there and the simulator can
// read it, RepaintFailed otherwise, RepaintNotFound without the folder.
RepaintStatus CheckTextures(const char* aircraftDir, const char* folder, TextureCheck* out);

// ---- Exporting ------------------------------------------------------------

struct ExportedPng {
    std::string texture;   // relative to the aircraft folder
    std::string png;       // the PNG written (or that would have been)
    int width = 0, height = 0;
    bool alpha = false;    // RGBA: the texture's transparency matters
    std::string problem;   // why it was not written
};

struct ExportReport {
    std::string dir;                    // where the PNGs went
    std::vector<ExportedPng> pngs;
    std::vector<std::string> existing;  // refused: files of these names are already there
    std::string readme;                 // the README.txt written
};

// Writes each texture of aircraftDir/folder as a PNG into outDir (made when
// missing; those of Texture.X into outDir/Texture.X), and a README.txt
// saying which PNG goes where. Never writes into the Aircraft folder nor
// over a file: RepaintRefused then, and nothing is written.
RepaintStatus ExportTextures(const char* aircraftDir, const char* folder, const char* outDir, ExportReport* out);

// ---- Applying -------------------------------------------------------------

struct ApplyOptions {
    std::string as;      // the texture a single PNG replaces; empty: named after the PNG
    bool dither = false; // error diffusion when colours must be reduced
    bool resize = false; // resample a PNG of another size
    bool dryRun = false;
};

struct AppliedTexture {
    std::string png;          // as given
    std::string texture;      // the texture replaced, as named on disk ("" when none was found)
    std::string problem;      // why it was refused or failed; empty when fine
    bool wrongSize = false;   // refused for its size (resizing would take it)
    int width = 0, height = 0;
    int pngWidth = 0, pngHeight = 0;
    int colours = 0;          // palette entries the picture uses
    std::size_t pngColours = 0; // the picture's own colours, when it was reduced
    bool paletteKept = false; // the replaced texture's palette, unchanged
    bool reduced = false;     // more than the palette's colours, reduced by the quantiser
    bool alpha = false;       // written with palette alpha
    bool alphaLost = false;   // the texture had transparency, the PNG has none
    int mipLevels = 0;
    ColourError error;
    std::string trashPath;    // where the replaced texture went; empty for the Recycle Bin
    bool written = false;
    std::string bytes;        // the texture to be written (kept only until it is)
};

struct ApplyReport {
    CopyInfo copy;
    std::string textureFolder;            // the copy's Texture folder
    std::vector<AppliedTexture> textures; // one per PNG, in the order given
};

// Replaces textures of the copy aircraftDir/folder with the PNGs. Every PNG
// is read and converted first; when any cannot be used nothing is written
// (RepaintFailed). Each texture is then written under a temporary name, the
// old one moved to the trash and the new one renamed into place; a failure
// stops there, leaving the texture it concerned as it was. Only copies that
// RecogniseCopy recognises are written: RepaintRefused otherwise.
RepaintStatus ApplyTextures(const char* aircraftDir, const char* folder, const std::vector<std::string>& pngs,
                            const ApplyOptions& options, ApplyReport* out);

// True when `name` can name a texture for ApplyOptions::as: not empty, no
// path separator or drive colon, not "." or "..".
bool IsPlainTextureName(const std::string& name);

// "XY1_l_side.bmp" -> "XY1_l_side.png".
std::string PngNameFor(const std::string& textureName);
