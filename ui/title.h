// Stand-in for the engine's in-game title functions until they reach this
// branch; removed when they do. Same declarations as the engine's.
#pragma once
#include "copy_aircraft.h"

#include <string>

// The first title the copy gets unedited; "" without a stock Aircraft.cfg.
std::string PredictCopyTitle(const char* aircraftDir, const char* prefix, int index);
enum TitleCheck : int { TitleOk = 0, TitleEmpty, TitleHasControlChars, TitleNotRepresentable };
// `title` is in the ANSI code page already.
TitleCheck CheckInGameTitle(const char* title);
// Whether another aircraft's Aircraft.cfg has `title` (letter case aside).
bool TitleInUse(const char* aircraftDir, const char* title);
// CopyAircraft, then `title` (null: unedited) as the copy's first title.
CopyStatus CopyAircraftTitled(const char* aircraftDir, const char* prefix, int index, const char* title);
