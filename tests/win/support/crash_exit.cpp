// A crash in a test (a window procedure of an unloaded module, say) ends the program at
// once with a message, instead of leaving it waiting for a debugger to attach.
#include <windows.h>

#include <cstdio>

namespace {

LONG WINAPI ReportAndExit(EXCEPTION_POINTERS* info) {
    std::fprintf(stderr, "vemo_win_tests: crashed with exception 0x%08lx\n",
                 static_cast<unsigned long>(info->ExceptionRecord->ExceptionCode));
    std::fflush(stderr);
    return EXCEPTION_EXECUTE_HANDLER;
}

const bool kInstalled = [] {
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    SetUnhandledExceptionFilter(ReportAndExit);
    return true;
}();

}  // namespace
