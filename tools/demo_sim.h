// A stand-in Combat Flight Simulator folder for the demo, the tests and the
// benchmarks: every stock aircraft of the catalogue with every listed file.
#pragma once

// Writes <root>/Aircraft/<stock folder>/... for all stock aircraft, with every
// file of their lists plus their own Sound and Panel folders. Contents are
// deterministic: text configs with CR LF line ends, binary models holding the
// aircraft's and textures' names in mixed letter case among bytes from 0x80
// up, 0x1A and CR LF, small 8-bit BMP textures, binary .dp/.air files.
// `root` must exist or be creatable; an existing Aircraft folder is replaced.
// Returns 0, or -1 when something could not be written.
int WriteDemoSimulator(const char* root);
