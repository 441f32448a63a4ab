// Entry of every unit-test program. Under Wine an unhandled crash may end the
// process with status 0, so on Windows a crash is turned into a failing exit.
#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#include <cstdio>

static LONG WINAPI FailOnCrash(EXCEPTION_POINTERS* info) {
    std::fprintf(stderr, "crash: exception 0x%08lx\n",
                 static_cast<unsigned long>(info->ExceptionRecord->ExceptionCode));
    std::fflush(stderr);
    ExitProcess(100);
}
#endif

int main(int argc, char** argv) {
#ifdef _WIN32
    SetUnhandledExceptionFilter(FailOnCrash);
#endif
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
