#include "messages.h"

#include <cstdio>

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

void DescribeCopyStatus(CopyStatus status, const char* newName, const char* stockName, StatusMessage* out) {
    out->caption = kCaptionUnable;
    out->type = kBoxStop;
    switch (status) {
    case CopyOk:
        // The stock name as caption and the exclamation icon are what users of
        // earlier releases know; kept on purpose.
        std::snprintf(out->text, sizeof out->text, "Copy Complete");
        out->caption = stockName;
        out->type = kBoxExclamation;
        break;
    case CopyFolderExists: std::snprintf(out->text, sizeof out->text, "folder %s exists - use a different prefix", newName); break;
    case CopyPathNotFound: std::snprintf(out->text, sizeof out->text, "%s", kMsgPathNotCorrect); break;
    case CopyInvalidName:
        std::snprintf(out->text, sizeof out->text, "%s is not a valid folder name - use a different prefix", newName);
        break;
    case CopyFileError: std::snprintf(out->text, sizeof out->text, "File Error"); break;
    }
}
