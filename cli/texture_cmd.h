// vantorel-cli's repaint commands:
//   textures FOLDER                 each texture file and its kind, and what the models miss
//   export FOLDER DIR               the textures as PNGs for a paint program
//   apply FOLDER PNG... [--as NAME] [--dither] [--resize] [--dry-run]
#pragma once
#include "repaint.h"

#include <string>
#include <vector>

// Each returns the exit status: 0 done, 1 a texture missing or unreadable or
// a file that could not be used or written, 2 refused (nothing changed),
// 3 no such aircraft folder.
int RunTexturesCommand(const char* aircraftDir, const char* folder);
int RunExportCommand(const char* aircraftDir, const char* folder, const char* dir);
int RunApplyCommand(const char* aircraftDir, const char* folder, const std::vector<std::string>& pngs,
                    const ApplyOptions& options);
