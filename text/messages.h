// Every text the tool shows, defined once: the dialog and vantorel-cli share them.
#pragma once
#include "copy_aircraft.h"

#include <cstddef>
#include <string>

// Message box types, as the Windows values, so portable code can name them.
constexpr unsigned kBoxStop = 0x10;         // MB_OK | MB_ICONSTOP
constexpr unsigned kBoxExclamation = 0x30;  // MB_OK | MB_ICONEXCLAMATION
constexpr unsigned kBoxOkCancel = 0x01;     // MB_OKCANCEL, no icon

extern const char kMsgNotInstalled[];     // "CFS not installed!"
extern const char kMsgPathNotFound[];     // "CFS path not found!"
extern const char kCaptionRegistry[];     // "Registry Error"
extern const char kMsgNoAircraft[];       // "No aircraft selected"
extern const char kCaptionError[];        // "Error!"
extern const char kCaptionConfirm[];      // "Confirm Copy"
extern const char kCaptionUnable[];       // "UNABLE TO COPY!"
extern const char kMsgPathNotCorrect[];   // "The CFS path is not correct"
extern const char kMsgTooManyChars[];     // "Enter no more than %d characters." (printf format)
extern const char kCaptionApp[];          // "Vantorel"

// The message box that reports a copy status.
struct StatusMessage {
    char text[640];
    const char* caption;  // static text, or `stockName` as given
    unsigned type;
};

// Fills `out` for `status` of a copy of `stockName` into the folder `newName`:
// 0 "Copy Complete" captioned with the stock name; -2 "folder N exists ...";
// -3 "The CFS path is not correct"; -4 "N is not a valid folder name ...";
// -1 "File Error". `failure`, when given, makes the text say why: access
// denied, an interrupted copy in the way, a read-only file system, a path
// too long, or the file that could not be read or written and the reason.
void DescribeCopyStatus(CopyStatus status, const char* newName, const char* stockName, StatusMessage* out,
                        const CopyFailure* failure = nullptr);

// ---- Finding the simulator, showing and naming copies -------------------------
constexpr unsigned kBoxYesNo = 0x24;  // MB_YESNO | MB_ICONQUESTION
constexpr int kIdYes = 6;

extern const char kCaptionFindCfs[];       // "Find CFS"
extern const char kMsgFindCfsPrompt[];     // the folder picker's heading
extern const char kMsgNoStockAircraft[];   // printf format: the chosen folder
extern const char kMsgFolderNotAnsi[];     // a picked path Windows cannot give a 1998 game
extern const char kMsgPrefixNotAnsi[];     // a prefix with characters the ANSI code page lacks
extern const char kMsgPrefixSplitsChar[];  // printf format: the stem length in bytes
extern const char kMsgTitleEmpty[];
extern const char kMsgTitleControlChars[];
extern const char kMsgTitleNotAnsi[];
extern const char kMsgTitleInUse[];        // printf format: the title
extern const char kMsgFolderGone[];        // printf format: the folder
extern const char kCaptionCopies[];        // "Vantorel copies"
extern const char kMsgNoCopyChosen[];
extern const char kMsgConfirmRemove[];     // printf format: folder, in-game name
extern const char kMsgConfirmRemoveOwn[];  // printf format: folder, in-game name; the player added files
extern const char kMsgRemoveFailed[];      // printf format: folder

// ---- Repainting: the dialog's boxes and vantorel-cli's lines ------------------
struct AppliedTexture;
struct ColourError;
constexpr unsigned kBoxInformation = 0x40;  // MB_OK | MB_ICONINFORMATION

extern const char kMsgExportInsideAircraft[];  // printf format: the folder, the Aircraft folder
extern const char kMsgExportExisting[];        // followed by the files, one a line
extern const char kMsgExportPrompt[];          // printf format: the copy's folder
extern const char kMsgPickedFolderNotAnsi[];   // a picked path Vantorel cannot hand to the engine
extern const char kMsgApplyNotACopy[];         // printf format: the folder, a hint where copies are listed
extern const char kMsgApplyPrompt[];           // the PNG picker's heading
extern const char kMsgPngKind[];               // what the PNG picker shows
extern const char kMsgConfirmApply[];          // printf format: the copy's folder; followed by the list
extern const char kMsgApplied[];               // printf format: the copy's folder; followed by the list
extern const char kMsgNoPngApplies[];          // followed by the PNGs and why
extern const char kMsgAlphaLost[];
extern const char kMsgNothingApplied[];

// "5 PNGs and README.txt written to DIR"
std::string ExportedText(int written, const std::string& dir);
// "exact", or "error mean R 1.2 G 0.8 B 1.5, max R 9 G 6 B 11, PSNR 38.4 dB".
std::string ColourErrorText(const ColourError& error, bool alpha);
// What an applied PNG became: "Texture\XY1_l_side.bmp: 256 x 256, 37 colours
// (its palette kept), opaque, 3 mip levels, exact".
std::string AppliedText(const AppliedTexture& texture, bool dither);
// Where the replaced texture went.
std::string TrashText(const AppliedTexture& texture);
// After a failure part way: what was replaced and what was not.
const char* ApplyStoppedText(bool anyWritten);

// A copy's state in words: "complete" or "unfinished", followed by ", with
// N file(s) of yours" when the player added entries to it.
std::string CopyStateText(bool finished, std::size_t ownFiles);


