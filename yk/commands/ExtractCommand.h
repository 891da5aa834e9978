#pragma once
// "e" and "x": extract every entry into the working directory, never outside it. Files are
// written under a temporary name beside their place and renamed into it only when complete and
// their CRC checked, so a failed or killed extraction never leaves a partial file under a real
// name, and a file being replaced stays whole until then. Nothing already on disk is replaced
// (a file, a link, a directory's kind) without the overwrite question or "y"; existing
// directories keep their permissions; no set-id or sticky bit and no special file is made.

#include "commands/Console.h"
#include "commands/Options.h"
#include "commands/OverwritePrompt.h"

namespace yk {

int runExtract(const Options &options, Console &console, OverwritePrompt &prompt);

} // namespace yk
