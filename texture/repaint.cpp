// Sections:
//   1. Files: reading with limits, creating without following links
//   2. Checking an aircraft's textures
//   3. Exporting PNGs
//   4. Converting one PNG into a texture
//   5. Applying to a copy
#include "repaint.h"

#include "catalogue.h"
#include "file_ops.h"
#include "folder_os.h"
#include "names.h"
#include "platform.h"
#include "png.h"
#include "resample.h"
#include "trash.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <map>

namespace {

// ---------------------------------------------------------------------------
// 1. Files
// ---------------------------------------------------------------------------

constexpr std::size_t kMaxTextureFile = 16u << 20;  // far past 256 x 256 at 32 bits with every level
constexpr std::size_t kMaxPngFile = 64u << 20;


// The whole regular file, refusing one longer than `limit`. 0 or an errno
// value: EINVAL for a FIFO or device (never waited on), EFBIG when too long.
int ReadWhole(const std::string& path, std::size_t limit, std::string* out) {
    int error = 0;
    std::FILE* f = PlatformOpenRead(path.c_str(), &error);
    if (!f) return error ? error : EIO;
    out->clear();
    char buffer[1 << 16];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) {
        if (out->size() + n > limit) {
            std::fclose(f);
            return EFBIG;
        }
        out->append(buffer, n);
    }
    error = std::ferror(f) ? EIO : 0;
    std::fclose(f);
    return error;
}

std::string ReadProblem(int error) {
    switch (error) {
    case EINVAL: return "not a regular file";
    case EISDIR: return "a folder";
    case EFBIG: return "too large a file";
    default: return std::strerror(error);
    }
}

bool EndsWithIgnoringCase(const std::string& s, const char* tail) {
    const std::size_t n = std::strlen(tail);
    return s.size() >= n && SameIgnoringCase(s.substr(s.size() - n).c_str(), tail);
}

// The aircraft folder's name on disk inside aircraftDir; false when absent.
bool FindAircraftFolder(const char* aircraftDir, const char* folder, std::string* path) {
    std::vector<FolderEntry> entries;
    if (!IsPlainTextureName(folder) || !ListFolder(aircraftDir, &entries)) return false;
    const FolderEntry* e = FindFolderEntry(entries, folder);
    if (!e || e->kind != EntryFolder) return false;
    *path = JoinPaths(aircraftDir, e->name);
    return true;
}

// ---------------------------------------------------------------------------
// 2. Checking
// ---------------------------------------------------------------------------

struct NamedTexture {
    std::string name, model;
};

// The texture names the models of one model folder hold, each once.
std::vector<NamedTexture> NamesInModels(const std::string& aircraft, const std::string& modelFolder) {
    std::vector<NamedTexture> out;
    std::vector<FolderEntry> models;
    ListFolder(JoinPaths(aircraft, modelFolder).c_str(), &models);
    for (const FolderEntry& m : models) {
        if (m.kind != EntryFile || !EndsWithIgnoringCase(m.name, ".mdl")) continue;
        std::FILE* f = PlatformOpenRead(JoinPaths(JoinPaths(aircraft, modelFolder), m.name).c_str());
        if (!f) continue;
        std::vector<std::string> names;
        ScanModelFile(f, &names);
        std::fclose(f);
        for (const std::string& n : names) {
            bool known = false;
            for (const NamedTexture& t : out) known = known || SameIgnoringCase(t.name.c_str(), n.c_str());
            if (!known) out.push_back({n, JoinPaths(modelFolder, m.name)});
        }
    }
    return out;
}

} // namespace

RepaintStatus CheckTextures(const char* aircraftDir, const char* folder, TextureCheck* out) {
    *out = TextureCheck();
    if (!FindAircraftFolder(aircraftDir, folder, &out->path)) return RepaintNotFound;
    std::vector<FolderEntry> top;
    ListFolder(out->path.c_str(), &top);
    std::string cfg;
    if (const FolderEntry* e = FindFolderEntry(top, "Aircraft.cfg")) ReadFileStart(JoinPaths(out->path, e->name).c_str(), 1 << 20, &cfg);

    // Each variation's texture folder as on disk; a Texture.X that is not
    // there falls back to Texture (said in a note).
    struct Folder {
        std::string name;
        std::vector<NamedTexture> named;
    };
    std::vector<Folder> folders;
    auto folderFor = [&](const std::string& wanted) -> Folder* {
        const FolderEntry* e = FindFolderEntry(top, wanted);
        const std::string name = e && e->kind == EntryFolder ? e->name : wanted;
        for (Folder& f : folders)
            if (f.name == name) return &f;
        folders.push_back({name, {}});
        return &folders.back();
    };
    folderFor("Texture");
    for (const Variation& v : ReadVariations(cfg)) {
        std::string textureName = VariationFolder("Texture", v.texture);
        const FolderEntry* e = FindFolderEntry(top, textureName);
        if (!v.texture.empty() && !(e && e->kind == EntryFolder)) {
            out->notes.push_back(textureName + " is not there: the variation with texture=" + v.texture +
                                 " is checked against Texture");
            textureName = "Texture";
        }
        const std::string modelName = VariationFolder("Model", v.model);
        const FolderEntry* m = FindFolderEntry(top, modelName);
        for (const NamedTexture& n : NamesInModels(out->path, m ? m->name : modelName)) {
            Folder* f = folderFor(textureName);
            bool known = false;
            for (const NamedTexture& t : f->named) known = known || SameIgnoringCase(t.name.c_str(), n.name.c_str());
            if (!known) f->named.push_back(n);
        }
    }

    bool allGood = true;
    for (const Folder& f : folders) {
        std::vector<FolderEntry> entries;
        ListFolder(JoinPaths(out->path, f.name).c_str(), &entries);
        for (const FolderEntry& e : entries) {
            if (e.kind == EntryFolder || !EndsWithIgnoringCase(e.name, ".bmp")) continue;
            TextureFile t;
            t.folder = f.name;
            t.name = e.name;
            for (const NamedTexture& n : f.named) t.named = t.named || SameIgnoringCase(n.name.c_str(), e.name.c_str());
            std::string bytes;
            const int error = ReadWhole(JoinPaths(JoinPaths(out->path, f.name), e.name), kMaxTextureFile, &bytes);
            if (error) {
                t.problem = ReadProblem(error);
            } else if (ReadTextureLayout(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(), &t.layout,
                                         &t.problem)) {
                t.readable = true;
                t.problem = SimulatorProblem(t.layout);
            }
            if (t.named && !t.problem.empty()) allGood = false;
            out->files.push_back(t);
        }
        for (const NamedTexture& n : f.named) {
            const FolderEntry* e = FindFolderEntry(entries, n.name);
            if (e && e->kind != EntryFolder) continue;  // a folder of that name is no texture
            out->missing.push_back({f.name, n.name, n.model});
            allGood = false;
        }
    }
    return allGood ? RepaintOk : RepaintFailed;
}

// ---------------------------------------------------------------------------
// 3. Exporting
// ---------------------------------------------------------------------------

std::string PngNameFor(const std::string& textureName) {
    const std::string stem = EndsWithIgnoringCase(textureName, ".bmp") ? textureName.substr(0, textureName.size() - 4)
                                                                       : textureName;
    return stem + ".png";
}

namespace {

// `path` made absolute through its nearest existing folder (it may not exist yet).
std::string AbsoluteFuture(const std::string& path) {
    std::string head = path, tail;
    std::string absolute;
    while (!AbsolutePath(head.c_str(), &absolute)) {
        const std::size_t sep = head.find_last_of("/\\");
        if (sep == std::string::npos) {
            AbsolutePath(".", &absolute);
            return JoinPaths(absolute, head + tail);
        }
        tail = kPathSep + head.substr(sep + 1) + tail;
        head = sep == 0 ? head.substr(0, 1) : head.substr(0, sep);
    }
    return absolute + tail;
}

bool Inside(const std::string& path, const std::string& folder) {
    return path.size() >= folder.size() && SameIgnoringCase(path.substr(0, folder.size()).c_str(), folder.c_str()) &&
           (path.size() == folder.size() || path[folder.size()] == kPathSep);
}

int MakeFolders(const std::string& path) {
    if (PlatformFolderExists(path.c_str())) return 0;
    const std::size_t sep = path.find_last_of(kPathSep);
    if (sep != std::string::npos && sep > 0) {
        const int error = MakeFolders(path.substr(0, sep));
        if (error) return error;
    }
    const int error = PlatformMakeFolder(path.c_str());
    return error == EEXIST && PlatformFolderExists(path.c_str()) ? 0 : error;
}

std::string ReadmeText(const char* folder, const std::vector<ExportedPng>& pngs) {
    std::string text = std::string("Textures of ") + folder + ", exported by Vantorel\n\n"
                       "Each PNG is one texture. Paint it at the same size, keep its name, save it\n"
                       "as PNG, then put it back into a copy with\n\n"
                       "    vantorel-cli apply COPY-FOLDER *.png\n\n"
                       "(or the Copies dialog's Apply textures...). Vantorel turns it into the\n"
                       "simulator's 8-bit texture with the old one's mip levels, and keeps the\n"
                       "old texture in the trash.\n\n";
    for (const ExportedPng& p : pngs) {
        if (!p.problem.empty()) continue;
        text += p.png.substr(p.png.find_last_of("/\\") + 1) + " -> " + p.texture + ", " + std::to_string(p.width) +
                " x " + std::to_string(p.height) +
                (p.alpha ? ", alpha matters: transparent parts stay transparent in the game\n"
                         : ", opaque: its alpha is not used\n");
    }
    std::string crlf;  // Notepad of the simulator's era wants CR LF
    for (char c : text) {
        if (c == '\n') crlf += '\r';
        crlf += c;
    }
    return crlf;
}

} // namespace

RepaintStatus ExportTextures(const char* aircraftDir, const char* folder, const char* outDir, ExportReport* out) {
    *out = ExportReport();
    out->dir = outDir;
    TextureCheck check;
    if (CheckTextures(aircraftDir, folder, &check) == RepaintNotFound) return RepaintNotFound;
    std::string aircraftAbs;
    if (!AbsolutePath(aircraftDir, &aircraftAbs) || Inside(AbsoluteFuture(outDir), aircraftAbs)) return RepaintRefused;

    for (const TextureFile& t : check.files) {
        ExportedPng p;
        p.texture = JoinPaths(t.folder, t.name);
        p.png = SameIgnoringCase(t.folder.c_str(), "Texture") ? JoinPaths(outDir, PngNameFor(t.name))
                                                               : JoinPaths(JoinPaths(outDir, t.folder), PngNameFor(t.name));
        p.width = t.layout.width;
        p.height = t.layout.height;
        p.alpha = t.layout.alpha;
        if (!t.readable) p.problem = "not a texture that can be read: " + t.problem;
        if (p.problem.empty() && PlatformFileExists(p.png.c_str())) out->existing.push_back(p.png);
        out->pngs.push_back(p);
    }
    const std::string readmePath = JoinPaths(outDir, "README.txt");
    if (PlatformFileExists(readmePath.c_str())) out->existing.push_back(readmePath);
    if (!out->existing.empty()) return RepaintRefused;

    RepaintStatus status = RepaintOk;
    WriteSession session;
    std::string made;  // the folder the writes are confined to
    for (ExportedPng& p : out->pngs) {
        if (!p.problem.empty()) {
            status = RepaintFailed;
            continue;
        }
        std::string bytes;
        const int readError = ReadWhole(JoinPaths(check.path, p.texture), kMaxTextureFile, &bytes);
        TextureLayout layout;
        Image image;
        if (readError || !ReadTextureLayout(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(), &layout,
                                            &p.problem)) {
            if (readError) p.problem = ReadProblem(readError);
            status = RepaintFailed;
            continue;
        }
        DecodeTexture(reinterpret_cast<const std::uint8_t*>(bytes.data()), layout, &image);
        const std::string folderOfPng = p.png.substr(0, p.png.find_last_of(kPathSep));
        int error = MakeFolders(folderOfPng);
        if (!error && made != folderOfPng) {
            session.End();
            error = session.Begin(folderOfPng.c_str());
            made = folderOfPng;
        }
        if (!error) {
            const std::string png = EncodePng(image, layout.alpha);
            error = WriteNewFile(p.png.c_str(), png.data(), png.size(), &session);
        }
        if (error) {
            p.problem = std::string("could not write: ") + std::strerror(error);
            status = RepaintFailed;
        }
    }
    out->readme = ReadmeText(folder, out->pngs);
    int error = MakeFolders(outDir);
    if (!error && made != outDir) {
        session.End();
        error = session.Begin(outDir);
    }
    if (!error) error = WriteNewFile(readmePath.c_str(), out->readme.data(), out->readme.size(), &session);
    session.End();
    if (error) status = RepaintFailed;
    return status;
}

// ---------------------------------------------------------------------------
// 4. Converting a PNG
// ---------------------------------------------------------------------------

bool IsPlainTextureName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." && name.find_first_of("/\\:") == std::string::npos;
}

namespace {

std::string Size(int w, int h) { return std::to_string(w) + " x " + std::to_string(h); }

// Palette entries as the replaced texture shows them: without palette
// alpha every entry is opaque.
std::vector<std::uint8_t> EffectivePalette(const std::vector<std::uint8_t>& stored, bool paletteAlpha) {
    std::vector<std::uint8_t> p = stored;
    if (!paletteAlpha)
        for (std::size_t i = 3; i < p.size(); i += 4) p[i] = 255;
    return p;
}

// The old palette's index for every pixel when each pixel's colour is in
// it: the old index where it still shows that colour (so an unedited
// picture gives back the very same bytes), else the first entry with it.
bool IndicesInPalette(const Image& image, const std::vector<std::uint8_t>& palette,
                      const std::vector<std::uint8_t>& oldIndices, std::vector<std::uint8_t>* out) {
    std::map<std::uint32_t, std::uint8_t> first;
    auto pack = [](const std::uint8_t* p) {
        return (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) | (std::uint32_t(p[2]) << 8) | p[3];
    };
    for (std::size_t i = palette.size() / 4; i-- > 0;) first[pack(&palette[4 * i])] = static_cast<std::uint8_t>(i);
    const std::size_t n = image.rgba.size() / 4;
    out->resize(n);
    for (std::size_t i = 0; i < n; ++i) {
        const std::uint32_t c = pack(&image.rgba[4 * i]);
        const std::size_t old = i < oldIndices.size() ? oldIndices[i] : palette.size();
        if (4 * old < palette.size() && pack(&palette[4 * old]) == c) {
            (*out)[i] = static_cast<std::uint8_t>(old);
            continue;
        }
        const auto it = first.find(c);
        if (it == first.end()) return false;
        (*out)[i] = it->second;
    }
    return true;
}

int CountUsed(const std::vector<std::uint8_t>& indices) {
    bool used[256] = {};
    int n = 0;
    for (std::uint8_t i : indices) n += !used[i], used[i] = true;
    return n;
}

// The new texture's bytes for `png` replacing the texture `old`: fills the
// report's fields, or its problem.
void Convert(const std::string& old, const Image& png, const ApplyOptions& options, AppliedTexture* t) {
    const std::uint8_t* data = reinterpret_cast<const std::uint8_t*>(old.data());
    TextureLayout layout;
    std::string reason;
    if (!ReadTextureLayout(data, old.size(), &layout, &reason)) {
        t->problem = "the texture " + t->texture + " cannot be read (" + reason + "), so its layout is unknown";
        return;
    }
    t->width = layout.width;
    t->height = layout.height;
    Image image = png;
    if (png.width != layout.width || png.height != layout.height) {
        if (!options.resize) {
            t->problem = "the PNG is " + Size(png.width, png.height) + ", the texture " + t->texture + " is " +
                         Size(layout.width, layout.height) + ": paint it at the texture's size";
            t->wrongSize = true;
            return;
        }
        image = Resample(png, layout.width, layout.height);
    }
    const bool indexed = layout.kind == KindIndexed8;
    t->alpha = !image.Opaque() || layout.alpha;
    t->alphaLost = layout.alpha && image.Opaque();
    if (!t->alpha)
        for (std::size_t i = 3; i < image.rgba.size(); i += 4) image.rgba[i] = 255;
    const int capacity = indexed ? layout.paletteSize : 256;
    t->mipLevels = indexed ? layout.mipLevels : 0;

    std::vector<std::uint8_t> palette, top, oldTop;
    if (indexed) {
        oldTop = ReadIndices(data, layout, 0);
        // Kept when it can show the picture: with transparency wanted, only a palette that has it.
        const std::vector<std::uint8_t> old = EffectivePalette(ReadPalette(data, layout), layout.paletteAlpha);
        if ((layout.paletteAlpha || !t->alpha) && IndicesInPalette(image, old, oldTop, &top)) {
            palette = ReadPalette(data, layout);
            t->paletteKept = true;
        }
    }
    if (!t->paletteKept) {
        Quantised q = Quantise(image, capacity, t->alpha, options.dither);
        palette.swap(q.palette);
        top.swap(q.indices);
        t->reduced = q.distinct > static_cast<std::size_t>(capacity);
        t->pngColours = q.distinct;
    }
    t->colours = CountUsed(top);
    t->error = MeasureError(image, top, t->paletteKept ? EffectivePalette(palette, layout.paletteAlpha) : palette,
                            t->alpha);

    std::vector<std::vector<std::uint8_t>> levels = {top};
    if (t->paletteKept && top == oldTop) {
        for (int k = 1; k <= layout.mipLevels; ++k) levels.push_back(ReadIndices(data, layout, k));  // the same picture
    } else {
        const std::vector<std::uint8_t> shown = t->paletteKept ? EffectivePalette(palette, layout.paletteAlpha) : palette;
        Image level = image;
        for (int k = 1; k <= t->mipLevels; ++k) {
            level = Halve(level);
            levels.push_back(MapToPalette(level, shown, t->alpha, options.dither && t->reduced));
        }
    }
    if (!t->paletteKept) {
        // The reserved byte is opacity only in a texture with palette alpha: 0 everywhere else.
        palette.resize(4 * static_cast<std::size_t>(capacity), 0);
        if (!t->alpha)
            for (std::size_t i = 3; i < palette.size(); i += 4) palette[i] = 0;
    }
    t->bytes = indexed ? WriteIndexedOver(old, layout, palette, levels)
                       : WriteIndexedPlain(layout.width, layout.height, palette, top);
}

} // namespace

// ---------------------------------------------------------------------------
// 5. Applying
// ---------------------------------------------------------------------------

namespace {

// The texture of `textures` (the copy's Texture folder; `have` false when
// it has none) that `png` replaces: fills t.texture, or t.problem.
void FindTarget(const std::string& png, const ApplyOptions& options, const std::vector<FolderEntry>& textures, bool have,
                AppliedTexture* t) {
    const std::size_t slash = png.find_last_of("/\\");
    const std::string base = png.substr(slash == std::string::npos ? 0 : slash + 1);
    if (!options.as.empty() && !IsPlainTextureName(options.as)) {
        t->problem = "--as must name a texture of the copy's Texture folder, without a folder or \"..\"";
        return;
    }
    if (options.as.empty() && !EndsWithIgnoringCase(base, ".png")) {
        t->problem = "the file's name does not end in .png: rename it after its texture, or use --as";
        return;
    }
    std::string wanted = options.as.empty() ? base : options.as;
    if (EndsWithIgnoringCase(wanted, ".png")) wanted = wanted.substr(0, wanted.size() - 4);
    if (!EndsWithIgnoringCase(wanted, ".bmp")) wanted += ".bmp";
    const FolderEntry* e = have ? FindFolderEntry(textures, wanted) : nullptr;
    if (!e) {
        t->problem = "the copy has no texture " + wanted;
        return;
    }
    t->texture = e->name;
    if (e->kind != EntryFile)
        t->problem = "the texture " + e->name + " is a link or not a regular file: it is never written through";
}

// Reads the PNG and the texture it replaces and makes the new texture's bytes.
void Prepare(const std::string& textureFolder, const ApplyOptions& options, AppliedTexture* t) {
    std::string png, old, reason;
    Image image;
    int error = ReadWhole(t->png, kMaxPngFile, &png);
    if (error) {
        t->problem = "the PNG cannot be read: " + ReadProblem(error);
    } else if (!DecodePng(reinterpret_cast<const std::uint8_t*>(png.data()), png.size(), &image, &reason)) {
        t->problem = "the PNG cannot be used: " + reason;
    } else if ((error = ReadWhole(JoinPaths(textureFolder, t->texture), kMaxTextureFile, &old)) != 0) {
        t->problem = "the texture " + t->texture + " cannot be read: " + ReadProblem(error);
    } else {
        t->pngWidth = image.width;
        t->pngHeight = image.height;
        Convert(old, image, options, t);
    }
}

// Writes t.bytes under a temporary name, moves the old texture to the
// trash and renames the new one into its place; t.problem on a failure,
// which leaves the old texture where it was unless the rename failed.
void Replace(const std::string& folder, AppliedTexture* t) {
    const std::string target = JoinPaths(folder, t->texture), temp = target + ".vantorel-new";
    WriteSession session;
    int error = session.Begin(folder.c_str());
    if (!error) {
        EntryKind kind;
        if (GetEntryKind(temp.c_str(), &kind) && kind == EntryFile) PlatformRemove(temp.c_str(), false, &session);  // an earlier try's
        error = WriteNewFile(temp.c_str(), t->bytes.data(), t->bytes.size(), &session);
    }
    t->bytes.clear();
    if (error) {
        t->problem = std::string("could not write the new texture: ") + std::strerror(error);
    } else {
        TrashResult trash;
        const TrashStatus moved = MoveToTrash(target.c_str(), false, &trash);
        t->trashPath = trash.entryPath;
        if (moved != TrashOk) {
            PlatformRemove(temp.c_str(), false, &session);
            t->problem = moved == TrashUnavailable ? "no trash can take the old texture; it was left as it was"
                                                   : std::string("could not move the old texture to the trash: ") +
                                                         std::strerror(trash.error ? trash.error : EIO);
        } else if ((error = PlatformRename(temp.c_str(), target.c_str(), &session)) != 0) {
            t->problem = std::string("could not rename the new texture into place: ") + std::strerror(error) +
                         "; the old one is in the trash" + (trash.entryPath.empty() ? "" : " at " + trash.entryPath) +
                         ", the new one is " + temp;
        } else {
            t->written = true;
        }
    }
}

} // namespace

RepaintStatus ApplyTextures(const char* aircraftDir, const char* folder, const std::vector<std::string>& pngs,
                            const ApplyOptions& options, ApplyReport* out) {
    *out = ApplyReport();
    std::string path;
    if (!FindAircraftFolder(aircraftDir, folder, &path)) {
        std::vector<FolderEntry> entries;
        const bool there = IsPlainTextureName(folder) && ListFolder(aircraftDir, &entries) && FindFolderEntry(entries, folder);
        return there ? RepaintRefused : RepaintNotFound;  // a link or a file of that name is refused
    }
    for (int i = 0; i < GetAircraftCount(); ++i)
        if (SameIgnoringCase(folder, GetAircraftName(i))) return RepaintRefused;
    if (!RecogniseCopy(aircraftDir, folder, &out->copy)) return RepaintRefused;
    path = JoinPaths(aircraftDir, out->copy.folder);

    std::vector<FolderEntry> top, textures;
    ListFolder(path.c_str(), &top);
    const FolderEntry* textureEntry = FindFolderEntry(top, "Texture");
    const bool haveFolder = textureEntry && textureEntry->kind == EntryFolder;
    out->textureFolder = JoinPaths(path, haveFolder ? textureEntry->name : "Texture");
    if (haveFolder) ListFolder(out->textureFolder.c_str(), &textures);

    // Everything is read and converted before anything is written.
    bool failed = false;
    for (const std::string& png : pngs) {
        AppliedTexture t;
        t.png = png;
        FindTarget(png, options, textures, haveFolder, &t);
        for (const AppliedTexture& other : out->textures)
            if (t.problem.empty() && other.texture == t.texture)
                t.problem = "another PNG given replaces " + t.texture + " too";
        if (t.problem.empty()) Prepare(out->textureFolder, options, &t);
        failed = failed || !t.problem.empty();
        out->textures.push_back(std::move(t));
    }
    if (failed) {
        for (AppliedTexture& t : out->textures) t.bytes.clear();
        return RepaintFailed;
    }

    std::string absoluteFolder;
    if (!AbsolutePath(out->textureFolder.c_str(), &absoluteFolder)) absoluteFolder = out->textureFolder;
    for (AppliedTexture& t : out->textures) {
        if (options.dryRun) {
            TrashResult trash;
            const int canCreate = PlatformCanCreateIn(absoluteFolder.c_str());
            if (canCreate) t.problem = std::string("cannot write into the Texture folder: ") + std::strerror(canCreate);
            else if (MoveToTrash(JoinPaths(absoluteFolder, t.texture).c_str(), true, &trash) != TrashOk)
                t.problem = "no trash can take the old texture";
            t.trashPath = trash.entryPath;
            t.bytes.clear();
            failed = failed || !t.problem.empty();
            continue;
        }
        Replace(absoluteFolder, &t);
        if (!t.problem.empty()) return RepaintFailed;  // the rest stay as they are
    }
    return failed ? RepaintFailed : RepaintOk;
}
