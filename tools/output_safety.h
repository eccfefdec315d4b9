// The rules that keep the tool from harming a file that is not its own: an
// output never replaces an input, whatever name it goes by; two outputs
// never share a name; a directory is never taken for a file; and a file that
// exists is replaced only when the user says so, and not if it is
// write-protected.
#ifndef LOOPWEAVE_TOOL_OUTPUT_SAFETY_H
#define LOOPWEAVE_TOOL_OUTPUT_SAFETY_H

#include <sys/types.h>

#include <set>
#include <string>
#include <utility>
#include <vector>

namespace lwtool {

// The files a run reads, by device and inode: a second name, a link or a
// path through "..", all lead to the same pair.
class InputFiles {
public:
    void Add(const std::string& path);  // a path that is not a file (a URL, say) is left out
    bool Contains(const std::string& path) const;

private:
    std::set<std::pair<dev_t, ino_t>> files_;
};

// Throws ToolError unless an output may be written to `path`.
void CheckReplaceable(const std::string& path, const InputFiles& inputs, bool overwrite);

// Throws ToolError if two of the paths lead to the same file.
void CheckDistinct(const std::vector<std::string>& paths);

}  // namespace lwtool

#endif  // LOOPWEAVE_TOOL_OUTPUT_SAFETY_H
