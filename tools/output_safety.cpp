#include "output_safety.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <map>
#include <system_error>

#include "tool_error.h"

namespace lwtool {

void InputFiles::Add(const std::string& path) {
    struct stat status;
    if (stat(path.c_str(), &status) == 0) files_.insert({status.st_dev, status.st_ino});
}

bool InputFiles::Contains(const std::string& path) const {
    struct stat status;
    return stat(path.c_str(), &status) == 0 && files_.count({status.st_dev, status.st_ino}) > 0;
}

void CheckReplaceable(const std::string& path, const InputFiles& inputs, bool overwrite) {
    if (!path.empty() && path.back() == '/') throw ToolError(path + " names a directory; an output needs a file name");
    struct stat status;
    if (lstat(path.c_str(), &status) != 0) {
        if (errno == ENOENT) return;
        throw ToolError("cannot write " + path + ": " + std::strerror(errno));
    }
    struct stat target;
    if (stat(path.c_str(), &target) == 0 && S_ISDIR(target.st_mode)) {
        throw ToolError(path + " is a directory; an output needs a file name");
    }
    if (inputs.Contains(path)) throw ToolError(path + " is an input of this run; write the result to another file");
    if (!overwrite) throw ToolError(path + " exists; give --overwrite to replace it");
    // Root may write anything, so the mode bits, not access(), say what the
    // owner meant: rm(1) asks before it removes such a file, too.
    if (S_ISREG(status.st_mode) && (status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
        throw ToolError(path + " is write-protected; make it writable to replace it");
    }
}

void CheckDistinct(const std::vector<std::string>& paths) {
    std::map<std::string, std::string> byFile;  // the file a path leads to, and the path
    for (const std::string& path : paths) {
        std::error_code error;
        std::string file = std::filesystem::weakly_canonical(std::filesystem::absolute(path), error).string();
        if (error) file = path;
        const auto [entry, added] = byFile.insert({file, path});
        if (!added) throw ToolError("two outputs would be written to one file: " + entry->second + " and " + path);
    }
}

}  // namespace lwtool
