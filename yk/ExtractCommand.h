#pragma once
// "e" and "x": extract every entry into the working directory, never outside it.

#include "CommandLine.h"
#include "Console.h"
#include "OverwritePrompt.h"

namespace yk {

int runExtract(const Options &options, Console &console, OverwritePrompt &prompt);

// Why an entry's name may not be written, or empty when it may: absolute names and ".."
// components would reach outside the working directory.
std::string unsafeNameReason(const std::string &name);

// Whether a link at `linkPath` whose target is `target` points outside the working directory:
// absolute targets, or more ".." steps than the link's own depth. Such links are not made, so that
// nothing extracted leads out of the directory.
bool linkEscapes(const std::string &linkPath, const std::string &target);

} // namespace yk
