#include "pending_outputs.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "file_names.h"
#include "tool_error.h"

namespace lwtool {

PendingOutputs::~PendingOutputs() {
    for (const Reservation& reservation : reservations_) {
        for (const std::string& name : FilesOf(reservation)) std::remove((reservation.directory + name).c_str());
    }
}

std::string PendingOutputs::Reserve(const std::string& finalPath) {
    const std::string::size_type nameStart = FileNameStart(finalPath);
    const std::string directory = finalPath.substr(0, nameStart);
    const std::string finalName = finalPath.substr(nameStart);
    // Hidden, and unique to this process and reservation.
    const std::string temporaryName =
        ".loopweave-" + std::to_string(getpid()) + "-" + std::to_string(reservations_.size()) + "-" + finalName;
    reservations_.push_back({directory, WithoutExtension(temporaryName), WithoutExtension(finalName)});
    return directory + temporaryName;
}

std::vector<std::string> PendingOutputs::FilesOf(const Reservation& reservation) {
    std::vector<std::string> names;
    std::error_code error;
    const std::string directory = reservation.directory.empty() ? "." : reservation.directory;
    for (std::filesystem::directory_iterator entry(directory, error), end; !error && entry != end;
         entry.increment(error)) {
        const std::string name = entry->path().filename().string();
        if (name.compare(0, reservation.temporaryStem.size(), reservation.temporaryStem) == 0) names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

void PendingOutputs::Commit() {
    while (!reservations_.empty()) {
        const Reservation& reservation = reservations_.front();
        for (const std::string& name : FilesOf(reservation)) {
            const std::string finalPath =
                reservation.directory + reservation.finalStem + name.substr(reservation.temporaryStem.size());
            std::error_code error;
            std::filesystem::rename(reservation.directory + name, finalPath, error);
            if (error) throw ToolError("cannot write " + finalPath + ": " + error.message());
        }
        reservations_.erase(reservations_.begin());
    }
}

}  // namespace lwtool
