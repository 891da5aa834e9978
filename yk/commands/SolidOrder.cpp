#include "commands/SolidOrder.h"

#include "commands/Sources.h"

#include <algorithm>
#include <tuple>

namespace yk {

namespace {

std::string baseOf(const std::string &name) {
    const std::size_t slash = name.rfind('/');
    return slash == std::string::npos ? name : name.substr(slash + 1);
}

} // namespace

std::string solidExtension(const std::string &name) {
    const std::string base = baseOf(name);
    const std::size_t dot = base.rfind('.');
    if (dot == std::string::npos || dot == 0)
        return {};
    std::string ext = base.substr(dot + 1);
    for (char &c : ext)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return ext;
}

void sortForSolid(std::vector<Source> &items) {
    struct Keyed {
        std::string ext, base;
        Source source;
    };
    std::vector<Keyed> keyed;
    keyed.reserve(items.size());
    for (Source &s : items) {
        std::string ext = solidExtension(s.stored);
        std::string base = baseOf(s.stored);
        keyed.push_back({std::move(ext), std::move(base), std::move(s)});
    }
    std::sort(keyed.begin(), keyed.end(), [](const Keyed &a, const Keyed &b) {
        return std::tie(a.ext, a.base, a.source.stored) < std::tie(b.ext, b.base, b.source.stored);
    });
    for (std::size_t i = 0; i < items.size(); ++i)
        items[i] = std::move(keyed[i].source);
}

} // namespace yk
