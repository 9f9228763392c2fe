// A load and an export against a plain copy of the same two files, in one run:
//   build/native/bench/data_bench [--benchmark_repetitions=5]
// The ratios of GetActions and OutputRes to CopyTwoFiles are what matter. Both
// walk the layout of every file they read (a load walks the templates and the
// staged copies, an export the staged copies); WalkTwoFiles is that walk alone.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "action_row.h"
#include "collision_layout.h"
#include "fixtures.h"
#include "staging.h"

namespace {

namespace fs = std::filesystem;

struct Setup {
    testing_support::TempFolder root;
    helper::Folders folders = helper::foldersFor(root.path() / "appdata", root.path() / "program");
    std::vector<helper::ExportRow> rows;

    Setup() {
        rows = testing_support::uneditedExportRows(helper::getActions("大剑", folders));
        helper::outputRes(rows, folders);  // the output tree exists, as after a first export
        fs::create_directories(root.path() / "copy");
    }
};

Setup& setup() {
    static Setup instance;
    return instance;
}

void CopyTwoFiles(benchmark::State& state) {
    Setup& s = setup();
    for (auto _ : state) {
        for (int fileIndex : {0, 1}) {
            const fs::path from = helper::stagedFile(s.folders, "00", fileIndex);
            fs::copy_file(from, s.root.path() / "copy" / from.filename(), fs::copy_options::overwrite_existing);
        }
    }
}

void GetActions(benchmark::State& state) {
    Setup& s = setup();
    for (auto _ : state) benchmark::DoNotOptimize(helper::getActions("大剑", s.folders));
}

void WalkTwoFiles(benchmark::State& state) {
    const testing_support::Bytes files[] = {testing_support::templateBytes(0), testing_support::templateBytes(1)};
    for (auto _ : state) {
        for (const auto& bytes : files) benchmark::DoNotOptimize(helper::walkCollisionFile(bytes.data(), bytes.size()));
    }
}

void OutputRes(benchmark::State& state) {
    Setup& s = setup();
    for (auto _ : state) helper::outputRes(s.rows, s.folders);
}

BENCHMARK(CopyTwoFiles);
BENCHMARK(GetActions);
BENCHMARK(WalkTwoFiles);
BENCHMARK(OutputRes);

}  // namespace

BENCHMARK_MAIN();
