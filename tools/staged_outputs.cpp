#include "staged_outputs.h"

#include <stdlib.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <set>
#include <system_error>

#include <cpl_string.h>
#include <gdal.h>

#include "file_names.h"
#include "gdal_handles.h"
#include "signal_cleanup.h"
#include "tool_error.h"

namespace lwtool {

namespace {

// Sidecars that GDAL reads beside a Shapefile but leaves out of its list.
const char* const kUnlistedSidecars[] = {"cpg", "qpj", "shp.xml"};

// The files of the dataset now at `path`, by GDAL's account, that lie beside
// it and share its stem: a Shapefile's sidecars, not a directory's contents.
std::vector<std::string> DatasetFiles(const std::string& path) {
    std::vector<std::string> files{path};
    CPLErrorHandlerPusher quiet(CPLQuietErrorHandler);
    Dataset dataset(GDALOpenEx(path.c_str(), GDAL_OF_VECTOR | GDAL_OF_READONLY, nullptr, nullptr, nullptr));
    if (!dataset) return files;
    if (std::string(GDALGetDriverShortName(GDALGetDatasetDriver(dataset.get()))) == "ESRI Shapefile") {
        for (const char* extension : kUnlistedSidecars) files.push_back(WithoutExtension(path) + "." + extension);
    }
    char** list = GDALGetFileList(dataset.get());
    const std::string stem = WithoutExtension(path.substr(FileNameStart(path)));
    const std::string directory = DirectoryOf(path);
    for (int i = 0; list && list[i]; ++i) {
        const std::string file = list[i];
        const std::string name = file.substr(FileNameStart(file));
        if (DirectoryOf(file) == directory && name != path.substr(FileNameStart(path)) &&
            name.compare(0, stem.size() + 1, stem + ".") == 0) {
            files.push_back(file);
        }
    }
    CSLDestroy(list);
    return files;
}

bool Exists(const std::string& path) {
    std::error_code error;
    return std::filesystem::symlink_status(path, error).type() != std::filesystem::file_type::not_found;
}

void Rename(const std::string& from, const std::string& to) {
    if (std::rename(from.c_str(), to.c_str()) != 0) throw ToolError("cannot write " + to + ": " + std::strerror(errno));
}

}  // namespace

StagedOutputs::~StagedOutputs() {
    for (const Output& output : outputs_) {
        UnregisterTemporaryDirectory(output.privateDirectory);
        std::error_code error;
        if (!keepDirectories_) std::filesystem::remove_all(output.privateDirectory, error);
    }
}

std::string StagedOutputs::Stage(const std::string& finalPath) {
    if (IsStream(finalPath)) return finalPath;
    std::string pattern = DirectoryOf(finalPath) + ".loopweave-XXXXXX";
    if (!mkdtemp(pattern.data())) throw ToolError("cannot write " + finalPath + ": " + std::strerror(errno));
    const std::string privateDirectory = pattern + "/";
    RegisterTemporaryDirectory(privateDirectory);
    outputs_.push_back({finalPath, privateDirectory});
    return privateDirectory + finalPath.substr(FileNameStart(finalPath));
}

std::vector<StagedOutputs::Move> StagedOutputs::FilesIn() const {
    std::vector<Move> moves;
    for (const Output& output : outputs_) {
        std::set<std::string> names;  // sorted, so that the moves are always made in one order
        std::error_code error;
        for (const auto& entry : std::filesystem::directory_iterator(output.privateDirectory, error)) {
            if (entry.is_regular_file(error)) names.insert(entry.path().filename().string());
        }
        if (error) throw ToolError("cannot write " + output.finalPath + ": " + error.message());
        for (const std::string& name : names) {
            moves.push_back({output.privateDirectory + name, DirectoryOf(output.finalPath) + name});
        }
    }
    return moves;
}

std::vector<StagedOutputs::Move> StagedOutputs::FilesReplaced(const std::vector<Move>& filesIn) const {
    std::set<std::string> replaced;
    for (const Output& output : outputs_) {
        if (!Exists(output.finalPath)) continue;
        for (const std::string& file : DatasetFiles(output.finalPath)) {
            if (Exists(file)) replaced.insert(file);
        }
    }
    for (const Move& move : filesIn) {
        if (Exists(move.to)) replaced.insert(move.to);
    }
    std::vector<Move> moves;
    std::map<const Output*, std::string> keeping;  // by output, a directory of its own in its private one
    for (const std::string& file : replaced) {
        CheckReplaceable(file, inputs_, overwrite_);
        // Kept in the private directory of an output beside it, on the same
        // file system; in a directory of their own there, since a staged
        // file may have any name.
        const Output* keeper = &outputs_.front();
        for (const Output& output : outputs_) {
            if (DirectoryOf(output.finalPath) == DirectoryOf(file)) keeper = &output;
        }
        std::string& directory = keeping[keeper];
        if (directory.empty()) {
            std::string pattern = keeper->privateDirectory + "replaced-XXXXXX";
            if (!mkdtemp(pattern.data())) throw ToolError("cannot write " + keeper->finalPath + ": " + std::strerror(errno));
            directory = pattern + "/";
        }
        moves.push_back({file, directory + std::to_string(moves.size())});
    }
    return moves;
}

void StagedOutputs::Undo(const std::vector<Move>& done) {
    for (auto move = done.rbegin(); move != done.rend(); ++move) {
        if (std::rename(move->to.c_str(), move->from.c_str()) != 0) {
            std::fprintf(stderr, "loopweave: could not put %s back from %s: %s\n", move->from.c_str(),
                         move->to.c_str(), std::strerror(errno));
            keepDirectories_ = true;  // the file is there, and nowhere else
        }
    }
}

void StagedOutputs::Commit() {
    if (outputs_.empty()) return;
    const std::vector<Move> filesIn = FilesIn();
    std::vector<std::string> finalNames;
    for (const Move& move : filesIn) finalNames.push_back(move.to);
    CheckDistinct(finalNames);
    const std::vector<Move> filesReplaced = FilesReplaced(filesIn);

    const std::unique_lock<std::mutex> signalsWait = HoldSignals();
    std::vector<Move> done;
    done.reserve(filesReplaced.size() + filesIn.size());  // no allocation can fail between a move and its record
    try {
        for (const Move& move : filesReplaced) {
            Rename(move.from, move.to);
            done.push_back(move);
        }
        for (const Move& move : filesIn) {
            Rename(move.from, move.to);
            done.push_back(move);
        }
    } catch (...) {
        Undo(done);
        throw;
    }
}

}  // namespace lwtool
