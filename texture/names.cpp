#include "names.h"

#include "platform.h"

#include <cstring>

namespace {

constexpr std::size_t kLongestName = 64;  // far past any name field

bool IsNameChar(unsigned char c) {
    if (c <= ' ' || c >= 0x7F) return false;
    return !std::strchr("\\/:*?\"<>|", c);
}

std::string Trim(const std::string& s) {
    std::size_t a = 0, b = s.size();
    while (a < b && (s[a] == ' ' || s[a] == '\t' || s[a] == '\r')) ++a;
    while (b > a && (s[b - 1] == ' ' || s[b - 1] == '\t' || s[b - 1] == '\r')) --b;
    return s.substr(a, b - a);
}

} // namespace

void TextureNameScanner::Scan(const std::string& text, std::size_t from, std::size_t to) {
    for (std::size_t at = from; at < to && at + 4 <= text.size(); ++at) {
        if (text[at] != '.' || !SameIgnoringCase(text.substr(at, 4).c_str(), ".bmp")) continue;
        if (at + 4 < text.size() && IsNameChar(static_cast<unsigned char>(text[at + 4]))) continue;
        std::size_t start = at;
        while (start > 0 && at - start < kLongestName && IsNameChar(static_cast<unsigned char>(text[start - 1]))) --start;
        if (start == at) continue;
        const std::string name = text.substr(start, at + 4 - start);
        bool known = false;
        for (const std::string& n : names_) known = known || SameIgnoringCase(n.c_str(), name.c_str());
        if (!known) names_.push_back(name);
    }
}

void TextureNameScanner::Feed(const char* data, std::size_t size) {
    // A ".bmp" is judged once the byte after it is there: the last four
    // bytes of text wait for the next chunk, or for the end.
    std::string text = carry_;
    text.append(data, size);
    const std::size_t before = carry_.size() > 4 ? carry_.size() - 4 : 0;
    Scan(text, before, text.size() > 4 ? text.size() - 4 : 0);
    carry_ = text.substr(text.size() > kLongestName + 8 ? text.size() - (kLongestName + 8) : 0);
}

void TextureNameScanner::Finish() {
    Scan(carry_, carry_.size() > 4 ? carry_.size() - 4 : 0, carry_.size());
    carry_.clear();
}

bool ScanModelFile(std::FILE* f, std::vector<std::string>* names) {
    TextureNameScanner scanner;
    static char buffer[1 << 16];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) scanner.Feed(buffer, n);
    scanner.Finish();
    *names = scanner.Names();
    return !std::ferror(f);
}

std::vector<Variation> ReadVariations(const std::string& cfg) {
    std::vector<Variation> out;
    bool inSection = false;
    Variation current;
    auto finish = [&]() {
        if (!inSection) return;
        for (const Variation& v : out)
            if (SameIgnoringCase(v.model.c_str(), current.model.c_str()) &&
                SameIgnoringCase(v.texture.c_str(), current.texture.c_str()))
                return;
        out.push_back(current);
    };
    std::size_t start = 0;
    while (start <= cfg.size()) {
        std::size_t end = cfg.find('\n', start);
        if (end == std::string::npos) end = cfg.size();
        const std::string line = Trim(cfg.substr(start, end - start));
        start = end + 1;
        if (!line.empty() && line[0] == '[') {
            finish();
            const std::string name = line.substr(1, line.find(']') == std::string::npos ? std::string::npos : line.find(']') - 1);
            inSection = SameIgnoringCase(name.c_str(), "fltsim") ||
                        (name.size() > 7 && SameIgnoringCase(name.substr(0, 7).c_str(), "fltsim."));
            current = Variation();
            continue;
        }
        const std::size_t eq = line.find('=');
        if (!inSection || eq == std::string::npos) continue;
        const std::string key = Trim(line.substr(0, eq)), value = Trim(line.substr(eq + 1));
        if (SameIgnoringCase(key.c_str(), "texture")) current.texture = value;
        if (SameIgnoringCase(key.c_str(), "model")) current.model = value;
    }
    finish();
    if (out.empty()) out.push_back(Variation());
    return out;
}

std::string VariationFolder(const char* base, const std::string& value) {
    return value.empty() ? std::string(base) : std::string(base) + "." + value;
}
