// The first code of each shipped program, in place of the C run-time start-up: it hands
// WinMain what that start-up would have, then ends the process with WinMain's result.
// Nothing else is prepared here, so the programs have no global constructors or
// destructors, register nothing with atexit and leave the floating-point unit as the
// system gives it; the compatibility check refuses a program that would need more.
#include <windows.h>

// The command line after the program name, as the run-time start-up gives it to WinMain: the
// name ends at the first blank outside double quotes, and the blanks after it are skipped.
static LPSTR ArgumentsOf(LPSTR line)
{
    bool quoted = false;
    while (*line != '\0' && (quoted || (unsigned char)*line > ' ')) {
        if (*line == '"')
            quoted = !quoted;
        line = CharNextA(line);
    }
    while (*line != '\0' && (unsigned char)*line <= ' ')
        line++;
    return line;
}

// The name the linker takes as a GUI program's entry. The stack is aligned here because
// the system calls the entry with an alignment of 4 bytes only.
extern "C" __attribute__((force_align_arg_pointer, noreturn)) void WinMainCRTStartup()
{
    STARTUPINFOA startup;
    startup.cb = sizeof startup;
    GetStartupInfoA(&startup);
    int showState = (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : SW_SHOWDEFAULT;
    ExitProcess((UINT)WinMain(GetModuleHandleA(NULL), NULL, ArgumentsOf(GetCommandLineA()), showState));
}
