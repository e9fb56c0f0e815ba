#include "ChildProcess.h"

#include <cstdio>
#include <cstring>
#include <map>
#include <stdexcept>

#if defined(_WIN32)
#include <windows.h>
#elif defined(__EMSCRIPTEN__)
#include <gtest/gtest.h>
#else
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace {

const char ChildOption[] = "--child=";
const int BodyReturnedStatus = 99;

std::map<std::string, void (*)()>& Registry()
{
    static std::map<std::string, void (*)()> bodies;
    return bodies;
}

#ifdef _WIN32

ChildResult Spawn(const std::string& name)
{
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string commandLine = std::string("\"") + self + "\" " + ChildOption + name;

    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0))
        throw std::runtime_error("CreatePipe failed");
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);

    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = writeEnd;
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                        nullptr, &startup, &process))
        throw std::runtime_error("CreateProcess failed: " + commandLine);
    CloseHandle(writeEnd);

    ChildResult result{-1, {}};
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(readEnd, buffer, sizeof buffer, &got, nullptr) && got > 0)
        for (DWORD i = 0; i < got; ++i)
            if (buffer[i] != '\r')  // the C runtime's text mode writes "\r\n"
                result.Output += buffer[i];
    CloseHandle(readEnd);
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    result.ExitStatus = static_cast<int>(code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return result;
}

#elif defined(__EMSCRIPTEN__)

ChildResult Spawn(const std::string& name)
{
    const std::string why = "child process '" + name + "' not run: node starts no child processes";
    GTEST_MESSAGE_(why.c_str(), ::testing::TestPartResult::kSkip);
    return {-1, {}, false};
}

#else

ChildResult Spawn(const std::string& name)
{
    char self[4096] = {};
    if (readlink("/proc/self/exe", self, sizeof self - 1) <= 0)
        throw std::runtime_error("cannot find this executable");
    std::string command = "'" + std::string(self) + "' " + ChildOption + name;
    std::fflush(nullptr);
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        throw std::runtime_error("popen failed: " + command);
    ChildResult result{-1, {}};
    char buffer[4096];
    size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        result.Output.append(buffer, got);
    int status = pclose(pipe);
    result.ExitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return result;
}

#endif

}  // namespace

ChildRegistration::ChildRegistration(const char* name, void (*body)())
{
    Registry()[name] = body;
}

ChildResult RunChild(const char* name)
{
    if (!Registry().count(name))
        throw std::logic_error(std::string("no child body named ") + name);
    return Spawn(name);
}

bool RunChildIfAsked(int argc, char** argv, int* status)
{
    const size_t prefix = std::strlen(ChildOption);
    if (argc != 2 || std::strncmp(argv[1], ChildOption, prefix) != 0)
        return false;
    auto body = Registry().find(argv[1] + prefix);
    if (body == Registry().end()) {
        std::fprintf(stderr, "unknown child body: %s\n", argv[1] + prefix);
        *status = 98;
        return true;
    }
    body->second();
    *status = BodyReturnedStatus;
    return true;
}
