// Running brindlemark-cli as a process, as a user would: arguments in, exit
// code and the exact bytes of standard output and standard error out.
#pragma once

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "fixtures.h"
#include "folders.h"

#ifdef _WIN32
#include <windows.h>

#include "text.h"
#else
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

extern char** environ;
#endif

namespace testing_support {

struct ProcessResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// The built program, found from this test executable's folder.
inline std::filesystem::path cliProgram() {
    return std::filesystem::weakly_canonical(helper::programFolder() / BRINDLEMARK_CLI_RELATIVE);
}

inline std::string fileText(const std::filesystem::path& path) {
    const Bytes bytes = fileBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

using Environment = std::vector<std::pair<std::string, std::string>>;

#ifdef _WIN32

// One argument as CommandLineToArgvW and the C runtime split it again.
inline std::wstring quotedArgument(const std::wstring& arg) {
    if (!arg.empty() && arg.find_first_of(L" \t\n\v\"") == std::wstring::npos) return arg;
    std::wstring out = L"\"";
    for (auto it = arg.begin();; ++it) {
        std::size_t backslashes = 0;
        while (it != arg.end() && *it == L'\\') {
            ++it;
            ++backslashes;
        }
        if (it == arg.end()) {
            out.append(backslashes * 2, L'\\');
            break;
        }
        out.append(*it == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        out.push_back(*it);
    }
    return out + L"\"";
}

inline HANDLE inheritableFile(const std::filesystem::path& path) {
    SECURITY_ATTRIBUTES attributes{sizeof attributes, nullptr, TRUE};
    return CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &attributes, CREATE_ALWAYS,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

// The environment is inherited as it is: the program reads none of it.
inline ProcessResult runProcess(const std::filesystem::path& program, const std::vector<std::string>& args,
                                const Environment& = {}) {
    TempFolder capture;
    const auto outPath = capture.path() / "out";
    const auto errPath = capture.path() / "err";
    std::wstring commandLine = quotedArgument(program.native());
    for (const std::string& arg : args) commandLine += L" " + quotedArgument(widen(arg));

    ProcessResult result;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = inheritableFile(outPath);
    startup.hStdError = inheritableFile(errPath);
    PROCESS_INFORMATION process{};
    if (CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                       &process)) {
        WaitForSingleObject(process.hProcess, INFINITE);
        DWORD code = 0;
        GetExitCodeProcess(process.hProcess, &code);
        result.exitCode = static_cast<int>(code);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    CloseHandle(startup.hStdOutput);
    CloseHandle(startup.hStdError);
    result.out = fileText(outPath);
    result.err = fileText(errPath);
    return result;
}

#else

// `environment` entries are added to (or replace those of) this process's.
inline ProcessResult runProcess(const std::filesystem::path& program, const std::vector<std::string>& args,
                                const Environment& environment = {}) {
    TempFolder capture;
    const auto outPath = capture.path() / "out";
    const auto errPath = capture.path() / "err";

    std::vector<std::string> variables;
    for (char** entry = environ; *entry; ++entry) {
        const std::string variable = *entry;
        bool replaced = false;
        for (const auto& [name, value] : environment) replaced |= variable.rfind(name + "=", 0) == 0;
        if (!replaced) variables.push_back(variable);
    }
    for (const auto& [name, value] : environment) variables.push_back(name + "=" + value);
    std::vector<char*> envp;
    for (std::string& variable : variables) envp.push_back(variable.data());
    envp.push_back(nullptr);
    std::vector<std::string> argvText{program.native()};
    argvText.insert(argvText.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& arg : argvText) argv.push_back(arg.data());
    argv.push_back(nullptr);

    ProcessResult result;
    const pid_t child = fork();
    if (child == 0) {
        const int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (out < 0 || err < 0 || dup2(out, 1) < 0 || dup2(err, 2) < 0) _exit(126);
        execve(argv[0], argv.data(), envp.data());
        _exit(127);
    }
    int status = 0;
    if (child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status)) result.exitCode = WEXITSTATUS(status);
    result.out = fileText(outPath);
    result.err = fileText(errPath);
    return result;
}

#endif

}  // namespace testing_support
