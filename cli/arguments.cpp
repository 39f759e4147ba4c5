#include "arguments.h"

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#include <shellapi.h>
#endif

AnsiArguments ReadArguments(int argc, char** argv) {
    AnsiArguments a;
#ifdef _WIN32
    int count = 0;
    if (wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count)) {
        for (int i = 0; i < count; ++i) {
            BOOL usedDefault = FALSE;
            int size = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide[i], -1, nullptr, 0, nullptr, nullptr);
            std::string text(size > 0 ? static_cast<std::size_t>(size) : 1, '\0');
            WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide[i], -1, &text[0], size, nullptr, &usedDefault);
            text.resize(text.size() - 1);
            a.args.push_back(text);
            a.exact.push_back(!usedDefault);
        }
        LocalFree(wide);
        return a;
    }
#endif
    for (int i = 0; i < argc; ++i) {
        a.args.push_back(argv[i]);
        a.exact.push_back(true);
    }
    return a;
}

bool IsInexactArgument(const AnsiArguments& a, const std::string& value) {
    for (std::size_t i = 0; i < a.args.size(); ++i)
        if (!a.exact[i] && a.args[i] == value) return true;
    return false;
}
