// Outputs are written under temporary names beside their final ones and
// renamed into place only once every output of the run is complete. A run
// that fails, however far it got, leaves no file that could pass for a
// result: whatever it had written is removed when this object goes.
#ifndef LOOPWEAVE_TOOL_PENDING_OUTPUTS_H
#define LOOPWEAVE_TOOL_PENDING_OUTPUTS_H

#include <string>
#include <vector>

namespace lwtool {

class PendingOutputs {
public:
    PendingOutputs() = default;
    PendingOutputs(const PendingOutputs&) = delete;
    PendingOutputs& operator=(const PendingOutputs&) = delete;
    ~PendingOutputs();  // removes every file not committed

    // A temporary path in the directory of `finalPath`, ending in the same
    // file name (writers choose their format by the extension). The rename
    // then stays within one file system.
    std::string Reserve(const std::string& finalPath);
    // A further file written beside a reserved one under its temporary stem,
    // such as a shapefile's .dbf: it is renamed or removed along with it.
    // Files under no reserved stem are not ours and are left alone.
    void Track(const std::string& file);

    // Renames every file to its final name; throws ToolError if one fails.
    void Commit();

private:
    struct Reservation {
        std::string temporaryStem;
        std::string finalStem;
    };
    const Reservation* OwnerOf(const std::string& file) const;

    std::vector<Reservation> reservations_;
    std::vector<std::string> files_;  // temporary names, each under a reserved stem
};

}  // namespace lwtool

#endif  // LOOPWEAVE_TOOL_PENDING_OUTPUTS_H
