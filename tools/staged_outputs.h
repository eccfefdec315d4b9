// All of a run's outputs or none of them.
//
// Each output is written into a private directory beside its final place,
// made by mkdtemp: no other file can share its name, and the files found in
// it afterwards are exactly those the driver wrote (a Shapefile's .shx, .dbf,
// .prj and .cpg among them). Nothing touches the final names until every
// output is complete. Commit() then moves the files in; whatever they
// replace, and the rest of a replaced dataset (the stale .prj or .qix of an
// older Shapefile), is first moved aside, kept until the last move has
// succeeded and put back if one fails. The private directories go when this
// object does, and on SIGINT, SIGTERM and SIGHUP.
//
// A stream (/vsistdout/) cannot be staged: it is written as it goes.
#ifndef LOOPWEAVE_TOOL_STAGED_OUTPUTS_H
#define LOOPWEAVE_TOOL_STAGED_OUTPUTS_H

#include <string>
#include <vector>

#include "output_safety.h"

namespace lwtool {

class StagedOutputs {
public:
    StagedOutputs(const InputFiles& inputs, bool overwrite) : inputs_(inputs), overwrite_(overwrite) {}
    StagedOutputs(const StagedOutputs&) = delete;
    StagedOutputs& operator=(const StagedOutputs&) = delete;
    ~StagedOutputs();

    // Where to write the output `finalPath`: the same file name in a private
    // directory beside it. Throws ToolError if the directory cannot be made.
    std::string Stage(const std::string& finalPath);

    // Moves every staged file to its final name. Throws ToolError, with every
    // file as it was, if a file it would replace may not be replaced
    // (CheckReplaceable) or a move fails.
    void Commit();

private:
    struct Output {
        std::string finalPath;
        std::string privateDirectory;  // ends in '/'
    };
    struct Move {
        std::string from, to;
    };

    // The staged files and the final names they take.
    std::vector<Move> FilesIn() const;
    // The files the commit replaces, each with a place to keep it meanwhile.
    std::vector<Move> FilesReplaced(const std::vector<Move>& filesIn) const;
    // Takes back the moves done so far, newest first; one that cannot be
    // taken back is reported, and the rest still are. The private
    // directories then stay, holding the file that could not go back.
    void Undo(const std::vector<Move>& done);

    const InputFiles& inputs_;
    bool overwrite_;
    std::vector<Output> outputs_;
    bool keepDirectories_ = false;
};

}  // namespace lwtool

#endif  // LOOPWEAVE_TOOL_STAGED_OUTPUTS_H
