// Names and titles read from disk, made safe to show: a folder name may hold
// a newline and a repaint's Aircraft.cfg may carry terminal escape sequences.
#pragma once
#include <string>

// `text` with each control character (below 0x20, and DEL) written as an
// escape: \n, \r and \t by name, the rest as \x followed by two lower-case
// hex digits ("\x1b" for ESC). Everything else stays as it is: backslashes,
// which every Windows path holds, and bytes from 0x80 up, which are the code
// page's characters or parts of UTF-8 ones. The result is always one line.
std::string EscapeControls(const std::string& text);
