// The one way the tool reports a failure: a message that names the problem,
// thrown from wherever it is found and printed once by main().
#ifndef LOOPWEAVE_TOOL_ERROR_H
#define LOOPWEAVE_TOOL_ERROR_H

#include <stdexcept>
#include <string>

namespace lwtool {

struct ToolError : std::runtime_error {
    explicit ToolError(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace lwtool

#endif  // LOOPWEAVE_TOOL_ERROR_H
