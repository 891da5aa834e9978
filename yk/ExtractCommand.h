#pragma once
// "e" and "x": extract every entry into the working directory, never outside it. Files are
// written under a temporary name beside their place and renamed into it only when complete and
// their CRC checked, so a failed or killed extraction never leaves a partial file under a real
// name, and a file being replaced stays whole until then. Nothing already on disk is replaced
// (a file, a link, a directory's kind) without the overwrite question or "y"; existing
// directories keep their permissions; no set-id or sticky bit and no special file is made.

#include "CommandLine.h"
#include "Console.h"
#include "OverwritePrompt.h"

#include <string>
#include <vector>

namespace yk {

int runExtract(const Options &options, Console &console, OverwritePrompt &prompt);

// Why an entry's name may not be written, or empty when it may: absolute names and ".."
// components would reach outside the working directory.
std::string unsafeNameReason(const std::string &name);

// The components of a stored name that name something: "." and empty ones dropped. An entry
// with none ("." or "") names the working directory itself and is ignored.
std::vector<std::string> nameParts(const std::string &name);

// Why a link at `linkPath` with `target` may not be made, or empty when it may. A target must be
// relative, and its ".." steps may only come first and not climb above the working directory:
// the link's own directory is a real one (extraction never passes through links), so those
// steps go where they say; a ".." after a name could climb out through a link made earlier.
std::string linkTargetReason(const std::string &linkPath, const std::string &target);

// The path, relative to the working directory, that a link at `linkPath` to `target` names
// (a target that linkTargetReason allows).
std::string linkDestination(const std::string &linkPath, const std::string &target);

} // namespace yk
