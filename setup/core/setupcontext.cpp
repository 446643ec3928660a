#include "setupcontext.h"

SetupContext setupContext;

namespace {

bool FillFolder(char *dest, UINT size, UINT(WINAPI *get)(LPSTR, UINT))
{
    UINT n = get(dest, size);
    if (n == 0 || n >= size) {
        dest[0] = '\0';
        return false;
    }
    return true;
}

}  // namespace

bool FillSystemFolders(SetupContext *ctx)
{
    return FillFolder(ctx->windowsDir, sizeof ctx->windowsDir, GetWindowsDirectoryA) &&
           FillFolder(ctx->systemDir, sizeof ctx->systemDir, GetSystemDirectoryA);
}
