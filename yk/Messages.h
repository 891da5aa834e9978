#pragma once
// Every text the archiver shows, in Russian, in one place.

#include <string>

namespace yk::msg {

std::string usage();

std::string errnoText(int err); // the reason for a system error, in Russian where we know it

std::string adding(const std::string &name);
std::string replacing(const std::string &name);
std::string extracting(const std::string &name);
std::string testing(const std::string &name);

std::string notFound(const std::string &name);
std::string noMatch(const std::string &pattern);
std::string cannotRead(const std::string &name, const std::string &reason);
std::string cannotOpenDir(const std::string &name, const std::string &reason);
std::string specialSkipped(const std::string &name);
std::string vanished(const std::string &name);
std::string changedWhileReading(const std::string &name);
std::string selfSkipped(const std::string &name);
std::string duplicateSkipped(const std::string &name);
std::string leadingPartsRemoved(const std::string &from, const std::string &to);
std::string nothingToAdd();
std::string cannotDelete(const std::string &name, const std::string &reason);
std::string cannotWriteArchive(const std::string &archive, const std::string &reason);
std::string cannotReadArchive(const std::string &archive, const std::string &reason);
std::string damagedEntry(const std::string &name, const std::string &reason);
std::string refused(const std::string &name, const std::string &reason);
std::string cannotExtract(const std::string &name, const std::string &reason);
std::string keptExisting(const std::string &name);
std::string overwritePrompt(const std::string &name);
std::string extractionStopped();
std::string systemAttributeIgnored();

std::string addSummary(int added, int failed, const std::string &archive);
std::string extractSummary(int done, int failed);
std::string testSummary(int ok, int failed);
std::string movedSummary(int removed);

extern const char *const ok; // per-entry verdicts
extern const char *const bad;
extern const char *const archiveOk;
extern const char *const archiveBad;

} // namespace yk::msg
