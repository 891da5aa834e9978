#pragma once
// DOS-style name patterns: '*' any run of characters, '?' exactly one, letters compared without
// regard to ASCII case. A pattern ending in ".*" also matches names without a dot, so "*.*"
// matches every name.

#include <string>

namespace yk {

bool hasWildcard(const std::string &pattern);

// Whether `name` (a single path component) matches `pattern`. Names that begin with a dot match
// only when `matchHidden` is set or the pattern itself begins with a dot.
bool wildcardMatch(const std::string &pattern, const std::string &name, bool matchHidden);

} // namespace yk
