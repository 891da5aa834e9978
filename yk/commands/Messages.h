#pragma once
// Every text the archiver shows, in Russian, in one place. Names given to these functions are
// shown through printable() (Names.h): control characters in a name never reach the terminal.

#include "fs/Error.h"

#include <sys/types.h>

#include <cstdint>
#include <string>

namespace yk {
struct ArchiveSource;
}

namespace yk::msg {

std::string usage();

// The reason `e` gives, as a phrase to follow a name ("нет доступа (detail)").
std::string reason(const Error &e);
// The archive's name as shown: its path, or what stands for an archive in memory.
std::string archiveName(const ArchiveSource &source);

std::string errnoText(int err); // the reason for a system error, in Russian

// Reasons (without a name).
std::string fileKind(mode_t mode); // "каталог", "именованный канал", ...
std::string oldArchiveDamaged();
std::string emptyName();
std::string absolutePath();
std::string dotDotInPath();
std::string linkLeadsOut(const std::string &target);
std::string linkThroughLink(const std::string &target);
std::string emptyLinkTarget();
std::string throughLinkOnDisk(const std::string &component);
std::string notADirectoryOnDisk(const std::string &component);
std::string specialEntry(mode_t mode);
std::string directoryInTheWay();
std::string wouldReplaceArchive();
std::string appearedMeanwhile();
std::string tooDeep(std::size_t levels);

// Texts of the listing.
extern const char *const listArchive; // "Архив: "
extern const char *const colSize;
extern const char *const colPacked;
extern const char *const colRatio;
extern const char *const colDate;
extern const char *const colTime;
extern const char *const colMethod;
extern const char *const colRights;
extern const char *const colName;
std::string listTotals(int entries, std::uint64_t archiveSize); // "Записей: N, архив: S байт"

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
std::string changedSinceArchived();
std::string cannotWriteArchive(const std::string &archive, const std::string &reason, bool hadOld);
std::string emptyArchiveName(const std::string &given);
std::string archiveNotRegular(const std::string &archive, mode_t mode);
std::string waitingForLock(const std::string &archive);
std::string lockUnavailable(const std::string &archive, const std::string &reason);
std::string staleTemporaryRemoved(const std::string &name);
std::string cannotReadArchive(const std::string &archive, const std::string &reason);
std::string damagedEntry(const std::string &name, const std::string &reason);
std::string refused(const std::string &name, const std::string &reason);
std::string cannotExtract(const std::string &name, const std::string &reason);
std::string keptExisting(const std::string &name);
std::string overwritePrompt(const std::string &name);
// The Russian replies the overwrite question takes beside y, n and a, in both cases.
extern const char *const replyYes[2];
extern const char *const replyNo[2];
extern const char *const replyAll[2];
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
