// SETUP's install log on the platform's profile functions.
#include <windows.h>

#include "installlog.h"

namespace {

void WriteProfileKey(void *context, const char *section, const char *key, const char *value)
{
    WritePrivateProfileStringA(section, key, value, (const char *)context);
}

size_t ReadProfileKey(void *context, const char *section, const char *key, const char *def,
                      char *value, size_t size)
{
    return GetPrivateProfileStringA(section, key, def, value, (DWORD)size, (const char *)context);
}

size_t ReadProfileSection(void *context, const char *section, char *data, size_t size)
{
    return GetPrivateProfileSectionA(section, data, (DWORD)size, (const char *)context);
}

}  // namespace

void OpenInstallLogFile(InstallLogFile *file, const char *path)
{
    file->context = (void *)path;
    file->writeKey = WriteProfileKey;
    file->readKey = ReadProfileKey;
    file->readSection = ReadProfileSection;
}
