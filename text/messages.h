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

// A copy's state in words: "complete" or "unfinished", followed by ", with
// N file(s) of yours" when the player added entries to it.
std::string CopyStateText(bool finished, std::size_t ownFiles);


