#include "pending_outputs.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "file_names.h"
#include "tool_error.h"

namespace lwtool {

namespace {

bool StartsWith(const std::string& text, const std::string& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

}  // namespace

PendingOutputs::~PendingOutputs() {
    for (const std::string& file : files_) std::remove(file.c_str());
}

std::string PendingOutputs::Reserve(const std::string& finalPath) {
    const std::string::size_type nameStart = FileNameStart(finalPath);
    // Hidden, and unique to this process and reservation.
    const std::string temporary = finalPath.substr(0, nameStart) + ".loopweave-" + std::to_string(getpid()) + "-" +
                                  std::to_string(reservations_.size()) + "-" + finalPath.substr(nameStart);
    reservations_.push_back({WithoutExtension(temporary), WithoutExtension(finalPath)});
    Track(temporary);
    return temporary;
}

const PendingOutputs::Reservation* PendingOutputs::OwnerOf(const std::string& file) const {
    for (const Reservation& reservation : reservations_) {
        if (StartsWith(file, reservation.temporaryStem)) return &reservation;
    }
    return nullptr;
}

void PendingOutputs::Track(const std::string& file) {
    if (OwnerOf(file) && std::find(files_.begin(), files_.end(), file) == files_.end()) files_.push_back(file);
}

void PendingOutputs::Commit() {
    while (!files_.empty()) {
        const std::string file = files_.front();
        const Reservation* owner = OwnerOf(file);
        const std::string finalName = owner->finalStem + file.substr(owner->temporaryStem.size());
        if (std::rename(file.c_str(), finalName.c_str()) != 0) {
            throw ToolError("cannot write " + finalName + ": " + std::strerror(errno));
        }
        files_.erase(files_.begin());
    }
}

}  // namespace lwtool
