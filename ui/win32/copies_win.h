// The copies in an Aircraft folder as Vantorel.exe finds and removes them.
#pragma once
#include "copies_dlg.h"

const CopiesSource* SystemCopies();
