// Reading the simulator's install path from the Windows registry.
#pragma once
#include "sim_path.h"

enum RegistryResult : int {
    kRegistryOk = 0,
    kRegistryNotInstalled = 1,  // the key cannot be opened: "CFS not installed!"
    kRegistryPathNotFound = 2,  // no usable "path" value: "CFS path not found!"
};

// Reads HKLM\<kSimRegistryKey> value "path" (32-bit view) and writes the
// Aircraft folder to `out` (kAircraftPathCapacity bytes). Only a string value
// (REG_SZ, or REG_EXPAND_SZ with its variables expanded) that is terminated
// within the buffer and leaves room for "\Aircraft" is used.
int ReadAircraftFolderFromRegistry(char* out);
