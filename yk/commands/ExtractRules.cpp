#include "commands/ExtractRules.h"

#include "commands/Messages.h"
#include "fs/Names.h"

namespace yk {

std::string unsafeNameReason(const std::string &name) {
    if (name.empty())
        return msg::emptyName();
    if (name[0] == '/')
        return msg::absolutePath();
    for (const std::string &part : splitPath(name))
        if (part == "..")
            return msg::dotDotInPath();
    return std::string();
}

std::vector<std::string> nameParts(const std::string &name) {
    std::vector<std::string> out;
    for (std::string &part : splitPath(name))
        if (!part.empty() && part != ".")
            out.push_back(std::move(part));
    return out;
}

std::string joinParts(const std::vector<std::string> &parts, std::size_t count) {
    std::string out;
    for (std::size_t i = 0; i < count && i < parts.size(); ++i)
        out.append(i > 0 ? "/" : "").append(parts[i]);
    return out;
}

std::string linkTargetReason(const std::string &linkPath, const std::string &target) {
    if (target.empty())
        return msg::emptyLinkTarget();
    if (target[0] == '/')
        return msg::linkLeadsOut(target);
    const std::size_t depth = nameParts(dirName(linkPath)).size();
    std::size_t ups = 0;
    bool named = false;
    for (const std::string &part : nameParts(target)) {
        if (part != "..") {
            named = true;
            continue;
        }
        if (named)
            return msg::linkLeadsOut(target); // ".." after a name: it may climb through a link
        if (++ups > depth)
            return msg::linkLeadsOut(target);
    }
    return std::string();
}

std::string linkDestination(const std::string &linkPath, const std::string &target) {
    std::vector<std::string> parts = nameParts(dirName(linkPath));
    for (const std::string &part : nameParts(target)) {
        if (part == "..") {
            if (!parts.empty())
                parts.pop_back();
        } else {
            parts.push_back(part);
        }
    }
    return joinParts(parts, parts.size());
}

} // namespace yk
