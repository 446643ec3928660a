// The screensaver's entry: the command line's mode, the saver window, the configuration dialog.
#include "saverargs.h"
#include "saverhost.h"
#include "saverres.h"

static const char kSaverClassName[] = "WindowsScreenSaverClass";
static const char kFullScreenTitle[] = "Screen Saver";
static const char kPreviewTitle[] = "Preview";

// Handles on the command line are 32-bit values; on a 64-bit build they are zero-extended.
static HWND WindowFromValue(uint32_t value)
{
    return (HWND)(UINT_PTR)value;
}

static const char *StepOneCharacter(const char *text)
{
    return CharNextA(text);
}

static bool IsWindows95Family()
{
    OSVERSIONINFOA version;
    ZeroMemory(&version, sizeof version);
    version.dwOSVersionInfoSize = sizeof version;
    return GetVersionExA(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS;
}

static bool RegisterSaverClass()
{
    WNDCLASSA windowClass;
    ZeroMemory(&windowClass, sizeof windowClass);
    windowClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS | CS_OWNDC;
    windowClass.lpfnWndProc = SaverClassProc;
    windowClass.hInstance = saverHost.instance;
    windowClass.hIcon = LoadIconA(saverHost.instance, MAKEINTRESOURCEA(IDI_SAVER));
    windowClass.hCursor = NULL;
    windowClass.hbrBackground = (HBRUSH)GetStockObject(BLACK_BRUSH);
    windowClass.lpszClassName = kSaverClassName;
    return RegisterClassA(&windowClass) != 0;
}

static int RunMessageLoop()
{
    MSG message;
    BOOL got;
    while ((got = GetMessageA(&message, NULL, 0, 0)) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    // -1: the loop failed and wrote nothing into message.
    return got == 0 ? (int)message.wParam : EXIT_MESSAGE_LOOP_FAILED;
}

int RunSaverWindow(HWND parent)
{
    int result = EXIT_NO_SAVER_WINDOW;
    if (parent == NULL) {
        // At most one full-screen saver: a second start only brings the first to the front.
        HWND running = FindWindowA(kSaverClassName, kFullScreenTitle);
        if (running != NULL && IsWindow(running)) {
            SetForegroundWindow(running);
            return 0;
        }
        LoadPasswordVerifier();
        if (RegisterSaverClass())
            saverHost.saverWindow = CreateWindowExA(
                WS_EX_TOPMOST, kSaverClassName, kFullScreenTitle,
                WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0, 0,
                GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), NULL, NULL,
                saverHost.instance, NULL);
        if (saverHost.saverWindow != NULL) {
            SetForegroundWindow(saverHost.saverWindow);
            result = RunMessageLoop();
        }
        UnloadPasswordVerifier();
        return result;
    }

    RECT frame = {0, 0, 0, 0};
    GetClientRect(parent, &frame);
    saverHost.isPreview = true;
    if (RegisterSaverClass())
        saverHost.saverWindow = CreateWindowExA(0, kSaverClassName, kPreviewTitle,
                                                WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, frame.right,
                                                frame.bottom, parent, NULL, saverHost.instance, NULL);
    if (saverHost.saverWindow != NULL)
        result = RunMessageLoop();
    UnloadPasswordVerifier();
    return result;
}

INT_PTR ShowConfigDialog(HWND owner)
{
    if (!RegisterConfigClasses(saverHost.instance))
        return 0;
    return DialogBoxParamA(saverHost.instance, MAKEINTRESOURCEA(IDD_CONFIG), owner,
                           SaverConfigDialogProc, 0);
}

static int HostBody(HINSTANCE instance, const char *argumentText)
{
    saverHost.instance = instance;
    saverHost.isWin9x = IsWindows95Family();
    SaverRequest request = ParseSaverMode(argumentText);
    switch (request.mode) {
    case FullScreenMode:
        return RunSaverWindow(NULL);
    case PreviewMode: {
        HWND frame = WindowFromValue(request.handle);
        if (frame == NULL || !IsWindow(frame))
            return EXIT_INVALID;
        return RunSaverWindow(frame);
    }
    case ConfigureMode:
        return (int)ShowConfigDialog(request.ownerIsForeground ? GetForegroundWindow() : NULL);
    case ChangePasswordMode: {
        if (!saverHost.isWin9x)
            return EXIT_INVALID;
        HWND owner = WindowFromValue(request.handle);
        RequestPasswordChange(owner != NULL && IsWindow(owner) ? owner : GetForegroundWindow());
        return 0;
    }
    case InvalidMode:
    default:
        return EXIT_INVALID;
    }
}

// The exception guard: an exception that reaches HostMain goes to UnhandledExceptionFilter.
// When the filter handles it, the screensaver-running flag is turned off and the process ends
// with its own exit code, which is what returning from HostMain into ExitProcess would do;
// otherwise the exception goes on to the platform.
extern "C" EXCEPTION_DISPOSITION __cdecl HostGuardHandler(EXCEPTION_RECORD *record, void *frame,
                                                            CONTEXT *context, void *dispatcher)
{
    (void)frame;
    (void)dispatcher;
    if (record->ExceptionFlags & (EXCEPTION_UNWINDING | EXCEPTION_EXIT_UNWIND))
        return ExceptionContinueSearch;
    EXCEPTION_POINTERS pointers = {record, context};
    if (UnhandledExceptionFilter(&pointers) != EXCEPTION_EXECUTE_HANDLER)
        return ExceptionContinueSearch;
    SetSaverRunning(false);
    ExitProcess((UINT)EXIT_AFTER_EXCEPTION);
    return ExceptionContinueSearch;
}

extern "C" int HostGuardedBody(HINSTANCE instance, const char *argumentText)
{
    return HostBody(instance, argumentText);
}

#if defined(__x86_64__)
// 64-bit frames are described by tables: a small function whose table names the guard.
extern "C" int HostGuardedCall(HINSTANCE instance, const char *argumentText);
__asm__("\t.text\n"
        "\t.globl HostGuardedCall\n"
        "\t.def HostGuardedCall; .scl 2; .type 32; .endef\n"
        "\t.seh_proc HostGuardedCall\n"
        "HostGuardedCall:\n"
        "\tsubq $40, %rsp\n"
        "\t.seh_stackalloc 40\n"
        "\t.seh_endprologue\n"
        "\t.seh_handler HostGuardHandler, @except\n"
        "\tcall HostGuardedBody\n"
        "\tnop\n"
        "\taddq $40, %rsp\n"
        "\tret\n"
        "\t.seh_endproc\n");

int HostMain(HINSTANCE instance, const char *argumentText)
{
    return HostGuardedCall(instance, argumentText);
}
#elif defined(__i386__)
// 32-bit frames chain their handlers through the thread's first word (FS:0); the record
// lives on this function's stack for as long as the body runs.
struct GuardRecord {
    GuardRecord *next;
    void *handler;
};

int HostMain(HINSTANCE instance, const char *argumentText)
{
    GuardRecord record;
    __asm__ __volatile__("movl %%fs:0, %0" : "=r"(record.next));
    record.handler = (void *)HostGuardHandler;
    __asm__ __volatile__("movl %0, %%fs:0" : : "r"(&record) : "memory");
    int result = HostGuardedBody(instance, argumentText);
    __asm__ __volatile__("movl %0, %%fs:0" : : "r"(record.next) : "memory");
    return result;
}
#else
#error "the exception guard knows the 32- and 64-bit x86 frame layouts only"
#endif

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int showState)
{
    // The platform's command line is read directly, as the protocol defines it.
    (void)instance;
    (void)previous;
    (void)commandLine;
    (void)showState;
    const char *arguments = SkipProgramName(GetCommandLineA(), StepOneCharacter);
    ExitProcess((UINT)HostMain(GetModuleHandleA(NULL), arguments));
    return 0;
}
