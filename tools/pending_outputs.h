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
    // file name (writers choose their format by the extension); the rename
    // then stays within one file system. Every file whose name starts with
    // the temporary one's stem belongs to it, so the files a format writes
    // beside the main one (a shapefile's .dbf, .shx, .prj) go along.
    std::string Reserve(const std::string& finalPath);

    // Renames every file to its final name; throws ToolError if one fails.
    void Commit();

private:
    struct Reservation {
        std::string directory;
        std::string temporaryStem;  // file name without extension
        std::string finalStem;
    };
    // The temporary files of a reservation that exist, by file name.
    static std::vector<std::string> FilesOf(const Reservation& reservation);

    std::vector<Reservation> reservations_;  // not yet committed
};

}  // namespace lwtool

#endif  // LOOPWEAVE_TOOL_PENDING_OUTPUTS_H
