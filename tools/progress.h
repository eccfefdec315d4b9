// A progress bar on stderr in GDAL's style ("0...10...20...100 - done."),
// for a stage that goes item by item through a known number of items;
// silent when not shown. (GDAL's own GDALTermProgress writes to stdout,
// which may be the output itself: /vsistdout/.)
#ifndef LOOPWEAVE_TOOL_PROGRESS_H
#define LOOPWEAVE_TOOL_PROGRESS_H

#include <cstdio>

namespace lwtool {

class Progress {
public:
    Progress(bool shown, long long total) : shown_(shown && total > 0), total_(total) {
        if (shown_) std::fputs("0", stderr);
    }
    Progress(const Progress&) = delete;
    Progress& operator=(const Progress&) = delete;
    ~Progress() {
        if (!shown_) return;
        ShowTenths(10);
        std::fputs(" - done.\n", stderr);
    }

    // Called for every item.
    void Step() {
        if (shown_ && ++done_ < total_) ShowTenths(static_cast<int>(done_ * 10 / total_));
    }

private:
    void ShowTenths(int tenths) {
        for (; shownTenths_ < tenths; ++shownTenths_) std::fprintf(stderr, "...%d", 10 * (shownTenths_ + 1));
    }

    bool shown_;
    long long total_;
    long long done_ = 0;
    int shownTenths_ = 0;
};

}  // namespace lwtool

#endif  // LOOPWEAVE_TOOL_PROGRESS_H
