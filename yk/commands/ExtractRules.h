#pragma once
// The rules that keep extraction inside the working directory, as pure functions of names: which
// entry names may be written, and which link targets may be made.

#include <string>
#include <vector>

namespace yk {

// Why an entry's name may not be written, or empty when it may: absolute names and ".."
// components would reach outside the working directory.
std::string unsafeNameReason(const std::string &name);

// The components of a stored name that name something: "." and empty ones dropped. An entry
// with none ("." or "") names the working directory itself and is ignored.
std::vector<std::string> nameParts(const std::string &name);
// The first `count` of `parts` joined with "/", in time linear in the result (not its square).
std::string joinParts(const std::vector<std::string> &parts, std::size_t count);

// Why a link at `linkPath` with `target` may not be made, or empty when it may. A target must be
// relative, and its ".." steps may only come first and not climb above the working directory:
// the link's own directory is a real one (extraction never passes through links), so those
// steps go where they say; a ".." after a name could climb out through a link made earlier.
std::string linkTargetReason(const std::string &linkPath, const std::string &target);

// The path, relative to the working directory, that a link at `linkPath` to `target` names
// (a target that linkTargetReason allows).
std::string linkDestination(const std::string &linkPath, const std::string &target);

} // namespace yk
