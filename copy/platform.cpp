// The parts of platform.h that are the same on every system.
#include "platform.h"

#include <cstring>

bool SameIgnoringCase(const char* a, const char* b) {
    for (; *a && *b; ++a, ++b) {
        if (AsciiLower(static_cast<unsigned char>(*a)) != AsciiLower(static_cast<unsigned char>(*b))) return false;
    }
    return *a == *b;
}

const char* WriteSession::Below(const char* path) const {
    const std::size_t n = m_strFolder.size();
    if (m_hFolder == -1 || std::strncmp(path, m_strFolder.c_str(), n) != 0 || path[n] != kPathSep) return nullptr;
    return path + n + 1;
}
