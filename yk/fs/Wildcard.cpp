#include "fs/Wildcard.h"

#include <cctype>

namespace yk {

namespace {

bool sameLetter(char a, char b) {
    return std::tolower(static_cast<unsigned char>(a)) ==
           std::tolower(static_cast<unsigned char>(b));
}

// Iterative matcher with one backtrack point: linear in practice, never exponential.
bool globMatch(const std::string &p, const std::string &s) {
    size_t pi = 0, si = 0, starP = std::string::npos, starS = 0;
    while (si < s.size()) {
        if (pi < p.size() && p[pi] == '*') {
            starP = pi++;
            starS = si;
        } else if (pi < p.size() && (p[pi] == '?' || sameLetter(p[pi], s[si]))) {
            ++pi;
            ++si;
        } else if (starP != std::string::npos) {
            pi = starP + 1;
            si = ++starS;
        } else {
            return false;
        }
    }
    while (pi < p.size() && p[pi] == '*')
        ++pi;
    return pi == p.size();
}

} // namespace

bool hasWildcard(const std::string &pattern) {
    return pattern.find_first_of("*?") != std::string::npos;
}

bool wildcardMatch(const std::string &pattern, const std::string &name, bool matchHidden) {
    if (name.empty() || name == "." || name == "..")
        return false;
    if (name[0] == '.' && !matchHidden && (pattern.empty() || pattern[0] != '.'))
        return false;
    if (globMatch(pattern, name))
        return true;
    const size_t n = pattern.size();
    if (n >= 2 && pattern.compare(n - 2, 2, ".*") == 0 && name.find('.') == std::string::npos)
        return globMatch(pattern.substr(0, n - 2), name);
    return false;
}

} // namespace yk
