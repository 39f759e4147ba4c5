// Which textures an aircraft uses: the names inside its models, and the
// texture folders its Aircraft.cfg sections pick.
#pragma once
#include <cstdio>
#include <string>
#include <vector>

// Collects the texture names in a model's bytes, fed a chunk at a time (any
// model size in bounded memory). A name is a run of file-name characters
// ending in ".bmp" (any letter case), as the models hold them in their
// fixed-size name fields; each name is kept once, letter case aside, in the
// order first seen.
class TextureNameScanner {
public:
    void Feed(const char* data, std::size_t size);
    void Finish();  // the model's end: a name may end there
    const std::vector<std::string>& Names() const { return names_; }

private:
    void Scan(const std::string& text, std::size_t from, std::size_t to);
    std::string carry_;  // the end of the last chunk, where a name may continue
    std::vector<std::string> names_;
};

// The names in the model file `f` (read to its end); false on a read error.
bool ScanModelFile(std::FILE* f, std::vector<std::string>* names);

// One aircraft variation: its [fltsim.N] section's model= and texture=
// values (empty for the plain Model and Texture folders).
struct Variation {
    std::string model;
    std::string texture;
};

// The variations of an Aircraft.cfg, each pair once, in order; one plain
// variation when it has no [fltsim...] section.
std::vector<Variation> ReadVariations(const std::string& aircraftCfg);

// "Texture" or "Texture.X" (likewise "Model"): the folder a value picks.
std::string VariationFolder(const char* base, const std::string& value);
