// A progress bar on stderr in GDAL's style ("0...10...20...100 - done,
// 26,000 features read."), for a stage that goes item by item through a
// known number of items, which it names at the end; silent when not shown. (GDAL's own GDALTermProgress writes to stdout,
// which may be the output itself: /vsistdout/.)
#ifndef LOOPWEAVE_TOOL_PROGRESS_H
#define LOOPWEAVE_TOOL_PROGRESS_H

#include <cstdio>
#include <string>

namespace lwtool {

// 1234567 as "1,234,567": a count read at a glance.
inline std::string WithThousands(long long count) {
    std::string digits = std::to_string(count < 0 ? -count : count);
    for (std::string::size_type at = digits.size(); at > 3; at -= 3) digits.insert(at - 3, ",");
    return (count < 0 ? "-" : "") + digits;
}

class Progress {
public:
    // `counted`: what an item is and what is done with it, "features read".
    Progress(bool shown, long long total, const char* counted)
        : shown_(shown && total > 0), total_(total), counted_(counted) {
        if (shown_) std::fputs("0", stderr);
    }
    Progress(const Progress&) = delete;
    Progress& operator=(const Progress&) = delete;
    ~Progress() {
        if (!shown_) return;
        ShowTenths(10);
        std::fprintf(stderr, " - done, %s %s.\n", WithThousands(done_).c_str(), counted_);
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
    const char* counted_;
    long long done_ = 0;
    int shownTenths_ = 0;
};

}  // namespace lwtool

#endif  // LOOPWEAVE_TOOL_PROGRESS_H
