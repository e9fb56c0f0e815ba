#include "Console.h"

#include <cstdio>

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#elif defined(__EMSCRIPTEN__)
#include <emscripten/emscripten.h>
#else
#include <unistd.h>
#endif

void UseBinaryStandardOutput()
{
#ifdef _WIN32
    _setmode(_fileno(stdout), _O_BINARY);
#endif
}

bool StandardErrorIsTerminal()
{
#if defined(_WIN32)
    return _isatty(_fileno(stderr)) != 0;
#elif defined(__EMSCRIPTEN__)
    // Under node isatty(2) says yes even into a file or a pipe; node itself
    // knows what its standard error is.
    return EM_ASM_INT({ return process.stderr.isTTY ? 1 : 0; }) != 0;
#else
    return isatty(fileno(stderr)) != 0;
#endif
}
