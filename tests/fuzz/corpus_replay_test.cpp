// Every input the fuzzer was seeded with, and every input that ever broke
// something, run again with all invariants checked. A broken invariant aborts
// the run; the last input named on stderr is the one that broke it.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "script_runner.h"

namespace {

namespace fs = std::filesystem;

int ReplayFolder(const fs::path& folder) {
    std::vector<fs::path> inputs;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        if (entry.is_regular_file()) inputs.push_back(entry.path());
    }
    std::sort(inputs.begin(), inputs.end());
    for (const fs::path& input : inputs) {
        std::fprintf(stderr, "replaying %s\n", input.c_str());
        std::ifstream file(input, std::ios::binary);
        const std::vector<char> bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
        loopweave::fuzz::RunScript(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    }
    return static_cast<int>(inputs.size());
}

TEST(FuzzCorpus, SeedsKeepEveryInvariant) { EXPECT_GT(ReplayFolder(LOOPWEAVE_FUZZ_DIR "/corpus"), 0); }

TEST(FuzzCorpus, PastFindingsKeepEveryInvariant) { ReplayFolder(LOOPWEAVE_FUZZ_DIR "/regressions"); }

}  // namespace
