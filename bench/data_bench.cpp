// A load and an export against a plain copy of the same two files, in one run:
//   build/native/bench/data_bench [--benchmark_repetitions=5]
// The ratios of GetActions to CopyTwoFiles and of OutputRes (which flushes
// both files to disk) to CopyTwoFilesSynced are what matter. Both walk the
// layout of every file they read (a load walks the templates and the staged
// copies, an export the staged copies); WalkTwoFiles is that walk alone.
// DecideDrop* read and check dropped files (a mod's folder, a list of edits)
// against the templates, before the drop's own load (GetActions).
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

#include <filesystem>

#include "action_row.h"
#include "collision_layout.h"
#include "dropped_files.h"
#include "exported_mod.h"
#include "file_io.h"
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
        const auto mod = testing_support::exportedMod();
        testing_support::writeBytes(root.path() / "mod" / "wp00.col", mod[0]);
        testing_support::writeBytes(root.path() / "mod" / "wp00_01.col", mod[1]);
        const std::string& list = testing_support::spreadsheetList;
        testing_support::writeBytes(root.path() / "edits.csv", testing_support::Bytes(list.begin(), list.end()));
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

// The same copy with each file flushed to disk before it is closed, as an
// export must: the fair baseline for OutputRes.
void CopyTwoFilesSynced(benchmark::State& state) {
    Setup& s = setup();
    for (auto _ : state) {
        for (int fileIndex : {0, 1}) {
            const fs::path from = helper::stagedFile(s.folders, "00", fileIndex);
            const std::vector<std::uint8_t> bytes = helper::readWholeFile(from);
            const fs::path to = s.root.path() / "copy" / from.filename();
            const int fd = ::open(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
            if (fd < 0 || ::write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size()) ||
                ::fsync(fd) != 0 || ::close(fd) != 0) {
                state.SkipWithError("the synced copy failed");
                return;
            }
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

void DecideDropFolder(benchmark::State& state) {
    Setup& s = setup();
    for (auto _ : state) benchmark::DoNotOptimize(decideDrop({s.root.path() / "mod"}, "", s.folders));
}

void DecideDropList(benchmark::State& state) {
    Setup& s = setup();
    for (auto _ : state) benchmark::DoNotOptimize(decideDrop({s.root.path() / "edits.csv"}, "", s.folders));
}

BENCHMARK(CopyTwoFiles);
BENCHMARK(CopyTwoFilesSynced);
BENCHMARK(GetActions);
BENCHMARK(WalkTwoFiles);
BENCHMARK(OutputRes);
BENCHMARK(DecideDropFolder);
BENCHMARK(DecideDropList);

}  // namespace

BENCHMARK_MAIN();
