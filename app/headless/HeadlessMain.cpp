// swimmer-headless: the swimmer under greedy control, without a window.
// Writes the trajectory as CSV; see --help.

#include <iostream>
#include <string>
#include <vector>

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#elif defined(__EMSCRIPTEN__)
#include <emscripten/emscripten.h>
#else
#include <unistd.h>
#endif

#include "HeadlessCommand.h"

int main(int argc, char** argv)
{
#ifdef _WIN32
    // The same bytes on every platform: "\n" line ends, no "\r".
    _setmode(_fileno(stdout), _O_BINARY);
    const bool terminal = _isatty(_fileno(stderr));
#elif defined(__EMSCRIPTEN__)
    // Under node isatty(2) says yes even into a file or a pipe; node itself
    // knows what its standard error is.
    const bool terminal = EM_ASM_INT({ return process.stderr.isTTY ? 1 : 0; }) != 0;
#else
    const bool terminal = isatty(fileno(stderr));
#endif
    std::ios::sync_with_stdio(false);
    return RunHeadlessCommand(std::vector<std::string>(argv + 1, argv + argc), std::cout,
                              std::cerr, terminal);
}
