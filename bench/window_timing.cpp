// Timings of the editor under Windows (or Wine), in-process where the editor
// does the work:
//   window_timing.exe [PROGRAM]  start to visible window of brindlemark.exe (or
//                                PROGRAM) and of bare_window.exe, started in
//                                turn; load of 大剑, export, and a copy of the
//                                same two files, plain and flushed to disk
// Medians of repeated runs, in milliseconds. The process has the editor's
// manifest (common controls 6, DPI awareness), so that the window it makes
// for the load and export is the editor's own.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "file_io.h"
#include "folders.h"
#include "staging.h"
#include "grid_cells.h"
#include "lv_grid.h"
#include "main_window.h"
#include "fixtures.h"

namespace {

using Clock = std::chrono::steady_clock;

struct SilentNotices : Notices {
    std::string last;
    void notice(const std::string& text) override { last = text; }
};

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

template <typename Work>
double millisecondsOf(Work work) {
    const auto start = Clock::now();
    work();
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

void pump() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

std::wstring besideThisProgram(const wchar_t* name) {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    folder.resize(folder.find_last_of(L'\\') + 1);
    return folder + name;
}

struct Found {
    DWORD process;
    HWND window;
};

BOOL CALLBACK findVisibleWindow(HWND window, LPARAM context) {
    auto& found = *reinterpret_cast<Found*>(context);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == found.process && IsWindowVisible(window)) {
        found.window = window;
        return FALSE;
    }
    return TRUE;
}

// From the creation of a program's process to its first window being visible.
double startToVisible(const std::wstring& program) {
    std::wstring command = L"\"" + program + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        std::fprintf(stderr, "cannot start %ls\n", program.c_str());
        std::exit(1);
    }
    Found found{process.dwProcessId, nullptr};
    while (!found.window) {
        EnumWindows(findVisibleWindow, reinterpret_cast<LPARAM>(&found));
        if (found.window) break;
        if (WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0) {
            std::fprintf(stderr, "the program ended without a window (is an editor running already?)\n");
            std::exit(1);
        }
        Sleep(0);
    }
    FILETIME now{}, created{}, exited{}, kernel{}, user{};
    GetSystemTimePreciseAsFileTime(&now);
    GetProcessTimes(process.hProcess, &created, &exited, &kernel, &user);
    auto ticks = [](const FILETIME& t) { return (static_cast<ULONGLONG>(t.dwHighDateTime) << 32) | t.dwLowDateTime; };
    const double elapsed = static_cast<double>(ticks(now) - ticks(created)) / 10000.0;
    PostMessageW(found.window, WM_CLOSE, 0, 0);
    WaitForSingleObject(process.hProcess, 10000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return elapsed;
}

// A copy of `from` into `folder` that is on disk when it returns, as an
// export's files are: read whole, written, flushed.
void copyFlushed(const std::filesystem::path& from, const std::filesystem::path& folder) {
    const std::vector<std::uint8_t> bytes = helper::readWholeFile(from);
    const std::filesystem::path to = folder / from.filename();
    const HANDLE file = CreateFileW(to.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    const bool ok = file != INVALID_HANDLE_VALUE &&
                    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                    written == bytes.size() && FlushFileBuffers(file);
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    if (!ok) {
        std::fprintf(stderr, "the flushed copy failed\n");
        std::exit(1);
    }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    // A start-up varies with whatever else the machine does: many starts, in
    // turn, so that the medians of the two programs see the same load.
    constexpr int starts = 41;
    constexpr int runs = 15;

    std::vector<double> editorStarts, bareStarts;
    const std::wstring program = argc > 1 ? argv[1] : besideThisProgram(L"brindlemark.exe");
    const std::wstring bareProgram = besideThisProgram(L"bare_window.exe");
    for (int i = 0; i < starts; ++i) {
        bareStarts.push_back(startToVisible(bareProgram));
        editorStarts.push_back(startToVisible(program));
    }

    testing_support::TempFolder root;
    const helper::Folders folders = helper::foldersFor(root.path() / "appdata", root.path() / "program");
    SilentNotices notices;
    auto editor = MainWindow::start(GetModuleHandleW(nullptr), folders, &notices);
    if (!editor) return 1;
    pump();
    HWND selector = editor->control(Control::cb_type);
    HWND exportButton = editor->control(Control::btn_out);

    std::vector<double> loads, exports, copies, flushedCopies, dataLoads, dataExports;
    for (int i = 0; i < runs; ++i) {
        std::vector<helper::ActionRow> rows;
        dataLoads.push_back(millisecondsOf([&] { rows = helper::getActions("大剑", folders); }));
        const std::vector<helper::ExportRow> out = testing_support::uneditedExportRows(rows);
        dataExports.push_back(millisecondsOf([&] { helper::outputRes(out, folders); }));
    }
    for (int i = 0; i < runs; ++i) {
        SendMessageW(selector, CB_SETCURSEL, 0, 0);
        loads.push_back(millisecondsOf([&] {
            SendMessageW(editor->window(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(selector), CBN_SELCHANGE),
                         reinterpret_cast<LPARAM>(selector));
        }));
        if (editor->grid().rowCount() != 60) return 1;
        pump();
        exports.push_back(millisecondsOf([&] {
            SendMessageW(editor->window(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(exportButton), BN_CLICKED),
                         reinterpret_cast<LPARAM>(exportButton));
        }));
        if (notices.last.rfind("导出成功", 0) != 0) return 1;
        pump();
        const std::filesystem::path copyFolder = root.path() / "copy";
        std::filesystem::create_directories(copyFolder);
        copies.push_back(millisecondsOf([&] {
            for (int fileIndex : {0, 1}) {
                const auto from = helper::stagedFile(folders, "00", fileIndex);
                CopyFileW(from.c_str(), (copyFolder / from.filename()).c_str(), FALSE);
            }
        }));
        flushedCopies.push_back(millisecondsOf([&] {
            for (int fileIndex : {0, 1}) copyFlushed(helper::stagedFile(folders, "00", fileIndex), copyFolder);
        }));
    }

    std::printf("start to visible window  %8.2f ms (median of %d)\n", median(editorStarts), starts);
    std::printf("  bare window program    %8.2f ms\n", median(bareStarts));
    std::printf("  editor / bare          %8.2f\n", median(editorStarts) / median(bareStarts));
    std::vector<double> pairRatios;
    for (int i = 0; i < starts; ++i) pairRatios.push_back(editorStarts[i] / bareStarts[i]);
    std::printf("  median of the %d pairs %8.2f\n", starts, median(pairRatios));
    std::printf("load of the great sword  %8.3f ms (median of %d)\n", median(loads), runs);
    std::printf("export                   %8.3f ms\n", median(exports));
    std::printf("plain copy of both files %8.3f ms\n", median(copies));
    std::printf("  export / plain copy    %8.2f\n", median(exports) / median(copies));
    std::printf("flushed copy             %8.3f ms\n", median(flushedCopies));
    std::printf("  export / flushed copy  %8.2f\n", median(exports) / median(flushedCopies));
    std::printf("getActions alone         %8.3f ms\n", median(dataLoads));
    std::printf("outputRes alone          %8.3f ms\n", median(dataExports));
    return 0;
}
