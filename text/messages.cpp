#include "messages.h"

#include "platform.h"
#include "repaint.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

const char kMsgNotInstalled[] = "CFS not installed!";
const char kMsgPathNotFound[] = "CFS path not found!";
const char kCaptionRegistry[] = "Registry Error";
const char kMsgNoAircraft[] = "No aircraft selected";
const char kCaptionError[] = "Error!";
const char kCaptionConfirm[] = "Confirm Copy";
const char kCaptionUnable[] = "UNABLE TO COPY!";
const char kMsgPathNotCorrect[] = "The CFS path is not correct";
const char kMsgTooManyChars[] = "Enter no more than %d characters.";
const char kCaptionApp[] = "Vantorel";

void DescribeCopyStatus(CopyStatus status, const char* newName, const char* stockName, StatusMessage* out,
                        const CopyFailure* failure) {
    out->caption = kCaptionUnable;
    out->type = kBoxStop;
    const int err = failure ? failure->error : 0;
    const char* path = failure ? failure->path : "";
    char* text = out->text;
    const std::size_t cap = sizeof out->text;
    switch (status) {
    case CopyOk:
        // The stock name as caption and the exclamation icon are what users of
        // earlier releases know; kept on purpose.
        std::snprintf(text, cap, "Copy Complete");
        out->caption = stockName;
        out->type = kBoxExclamation;
        break;
    case CopyFolderExists:
        if (failure && failure->unfinishedCopy)
            std::snprintf(text, cap, "folder %s holds an unfinished copy - remove it or use a different prefix", newName);
        else if (err == EACCES || err == EPERM)
            std::snprintf(text, cap, "access denied to %s", path);
        else
            std::snprintf(text, cap, "folder %s exists - use a different prefix", newName);
        break;
    case CopyPathNotFound: std::snprintf(text, cap, "%s", kMsgPathNotCorrect); break;
    case CopyInvalidName:
        std::snprintf(text, cap, "%s is not a valid folder name - use a different prefix", newName);
        break;
    case CopyFileError:
        if (failure && failure->folderGone)
            std::snprintf(text, cap, "File Error: folder %s was moved or removed while the copy was being made", path);
        else if (failure && failure->noTitleSection)
            std::snprintf(text, cap, "File Error: %s has no title= line or [fltsim.N] section to carry the in-game name",
                          path);
        else if (err == ENAMETOOLONG)
            std::snprintf(text, cap, "File Error: the path is too long (%s)", path);
        else if (err == EROFS)
            std::snprintf(text, cap, "File Error: %s is on a read-only file system", path);
        else if (err == ENOSPC || err == EFBIG)
            std::snprintf(text, cap, "File Error: no room left to write %s", path);
        else if (err)
            std::snprintf(text, cap, "File Error: %s: %s", path, std::strerror(err));
        else
            std::snprintf(text, cap, "File Error");
        break;
    }
}

const char kCaptionFindCfs[] = "Find CFS";
const char kMsgFindCfsPrompt[] = "Choose the Combat Flight Simulator folder (or its Aircraft folder):";
const char kMsgNoStockAircraft[] =
    "%s holds no CFS aircraft.\n\nChoose the Combat Flight Simulator folder (the one with the Aircraft folder) "
    "or its Aircraft folder.";
const char kMsgFolderNotAnsi[] =
    "The path of this folder has characters that CFS cannot read in a path. Choose a folder whose path has none.";
const char kMsgPrefixNotAnsi[] =
    "The prefix has characters that CFS cannot read in a folder name - use a different prefix";
const char kMsgPrefixSplitsChar[] =
    "Only the first %d bytes of the prefix fit, which would cut a character in two - use a different prefix";
const char kMsgTitleEmpty[] = "The in-game name is empty - type the name the game should show";
const char kMsgTitleControlChars[] = "The in-game name must be one line without control characters";
const char kMsgTitleNotAnsi[] = "The in-game name has characters that CFS cannot show - use different characters";
const char kMsgTitleInUse[] = "Another aircraft is already called \"%s\" in the game.\n\nCopy anyway?";
const char kMsgFolderGone[] = "%s is not there any more";
const char kCaptionCopies[] = "Vantorel copies";
const char kMsgNoCopyChosen[] = "No copy selected";
const char kMsgConfirmRemove[] = "Move %s (\"%s\" in the game) to the Recycle Bin?";
const char kMsgConfirmRemoveOwn[] =
    "Move %s (\"%s\" in the game) to the Recycle Bin?\n\nIt holds files you added yourself.";
const char kMsgRemoveFailed[] = "%s could not be moved to the Recycle Bin";

std::string CopyStateText(bool finished, std::size_t ownFiles) {
    std::string state = finished ? "complete" : "unfinished";
    if (ownFiles == 0) return state;
    return state + ", with " + std::to_string(ownFiles) + (ownFiles == 1 ? " file" : " files") + " of yours";
}

const char kMsgExportInsideAircraft[] =
    "%s is inside the Aircraft folder %s: export to a folder of your own. Nothing was written.";
const char kMsgExportExisting[] = "these files are already there and are never overwritten (your painting may be in "
                                  "them); export to an empty folder. Nothing was written.";
const char kMsgExportPrompt[] = "Choose the folder for the PNGs of %s (an empty one, outside the Aircraft folder):";
const char kMsgPickedFolderNotAnsi[] =
    "The path has characters that Vantorel cannot use in a path. Choose one whose path has none.";
const char kMsgApplyNotACopy[] = "%s is not a copy Vantorel made%s: textures are applied only to copies, never to a "
                                 "stock aircraft or another folder. Nothing was changed.";
const char kMsgApplyPrompt[] = "Apply textures: choose the painted PNGs";
const char kMsgPngKind[] = "PNG pictures (*.png)";
const char kMsgConfirmApply[] = "Replace these textures of %s? The old ones go to the Recycle Bin.\n";
const char kMsgApplied[] = "Textures of %s:\n";
const char kMsgNoPngApplies[] = "None of these PNGs can be applied; every texture is as it was.";
const char kMsgAlphaLost[] = "warning: the texture had transparency and the PNG has none: it is now opaque";
const char kMsgNothingApplied[] = "nothing was written: every texture is as it was";

std::string ExportedText(int written, const std::string& dir) {
    return std::to_string(written) + (written == 1 ? " PNG" : " PNGs") + " and README.txt written to " + dir;
}

std::string ColourErrorText(const ColourError& e, bool alpha) {
    if (e.exact) return "exact";
    const char* names[] = {"R", "G", "B", "A"};
    const int channels = alpha ? 4 : 3;
    char buffer[64];
    std::string mean = "mean", max = "max";
    for (int ch = 0; ch < channels; ++ch) {
        std::snprintf(buffer, sizeof buffer, " %s %.1f", names[ch], e.mean[ch]);
        mean += buffer;
        std::snprintf(buffer, sizeof buffer, " %s %d", names[ch], e.max[ch]);
        max += buffer;
    }
    std::snprintf(buffer, sizeof buffer, ", PSNR %.1f dB", e.psnr);
    return "error " + mean + ", " + max + buffer;
}

std::string AppliedText(const AppliedTexture& t, bool dither) {
    std::string how = t.paletteKept ? "its palette kept"
                      : t.reduced   ? "reduced from " + std::to_string(t.pngColours)
                                    : "its own colours";
    if (t.reduced && dither) how += ", dithered";
    std::string text = std::string("Texture") + kPathSep + t.texture + ": " + std::to_string(t.width) + " x " +
                       std::to_string(t.height);
    if (t.pngWidth != t.width || t.pngHeight != t.height)
        text += " resized from " + std::to_string(t.pngWidth) + " x " + std::to_string(t.pngHeight);
    text += ", " + std::to_string(t.colours) + " colours (" + how + "), " + (t.alpha ? "palette alpha" : "opaque");
    if (t.mipLevels) text += ", " + std::to_string(t.mipLevels) + " mip levels";
    return text + ", " + ColourErrorText(t.error, t.alpha);
}

std::string TrashText(const AppliedTexture& t) {
    return "the old texture went to " + (t.trashPath.empty() ? std::string("the Recycle Bin") : "the trash: " + t.trashPath);
}

const char* ApplyStoppedText(bool anyWritten) {
    return anyWritten ? "stopped: the textures listed with the trash were replaced, the others are as they were"
                      : kMsgNothingApplied;
}
