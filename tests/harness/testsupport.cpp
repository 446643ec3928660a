#include "testsupport.h"

#include <gtest/gtest.h>
#include <lzexpand.h>
#include <shlobj.h>
#include <tlhelp32.h>
#include <winternl.h>

#include <stdlib.h>
#include <string.h>

std::string Sjis(const char *utf8)
{
    int wide = MultiByteToWideChar(CP_UTF8, 0, utf8, -1, NULL, 0);
    std::vector<wchar_t> w(wide > 0 ? wide : 1);
    MultiByteToWideChar(CP_UTF8, 0, utf8, -1, w.data(), wide);
    int narrow = WideCharToMultiByte(932, 0, w.data(), -1, NULL, 0, NULL, NULL);
    std::string out(narrow > 0 ? narrow : 1, '\0');
    WideCharToMultiByte(932, 0, w.data(), -1, &out[0], narrow, NULL, NULL);
    out.resize(strlen(out.c_str()));
    return out;
}

std::string Utf8(const std::string &sjis)
{
    int wide = MultiByteToWideChar(932, 0, sjis.c_str(), -1, NULL, 0);
    std::vector<wchar_t> w(wide > 0 ? wide : 1);
    MultiByteToWideChar(932, 0, sjis.c_str(), -1, w.data(), wide);
    int narrow = WideCharToMultiByte(CP_UTF8, 0, w.data(), -1, NULL, 0, NULL, NULL);
    std::string out(narrow > 0 ? narrow : 1, '\0');
    WideCharToMultiByte(CP_UTF8, 0, w.data(), -1, &out[0], narrow, NULL, NULL);
    out.resize(strlen(out.c_str()));
    return out;
}

std::string WinePath(const std::string &unixPath)
{
    std::string out = "Z:";
    for (char c : unixPath)
        out += (c == '/') ? '\\' : c;
    return out;
}

std::string EnvText(const char *name)
{
    char buffer[2048];
    DWORD n = GetEnvironmentVariableA(name, buffer, sizeof buffer);
    if (n == 0 || n >= sizeof buffer)
        return std::string();
    return std::string(buffer, n);
}

std::string BuiltProgram(const char *fileName)
{
    return WinePath(EnvText("KIT_BIN_DIR")) + "\\" + fileName;
}

std::string SuiteFolder()
{
    return WinePath(EnvText("KIT_SUITE_DIR"));
}

std::string SpecialFolder(int id)
{
    char path[MAX_PATH] = "";
    LPITEMIDLIST list = NULL;
    if (SHGetSpecialFolderLocation(NULL, id, &list) == S_OK) {
        SHGetPathFromIDListA(list, path);
        CoTaskMemFree(list);
    }
    return path;
}

LONG ExpandLikeSetup(const std::string &source, const std::string &dest)
{
    OFSTRUCT sourceInfo, destInfo;
    INT from = LZOpenFileA((LPSTR)source.c_str(), &sourceInfo, OF_READ);
    DeleteFileA(dest.c_str());
    INT to = LZOpenFileA((LPSTR)dest.c_str(), &destInfo, OF_CREATE);
    LONG copied = LZCopy(from, to);
    LZClose(from);
    LZClose(to);
    return copied;
}

bool ReadWholeFile(const std::string &path, std::string *bytes)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                              OPEN_EXISTING, 0, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    bytes->clear();
    char chunk[65536];
    DWORD got = 0;
    bool ok = true;
    while ((ok = ReadFile(file, chunk, sizeof chunk, &got, NULL) != 0) && got > 0)
        bytes->append(chunk, got);
    CloseHandle(file);
    return ok;
}

bool WriteWholeFile(const std::string &path, const std::string &bytes)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    bool ok = WriteFile(file, bytes.data(), (DWORD)bytes.size(), &written, NULL) && written == bytes.size();
    return CloseHandle(file) && ok;
}

bool FileExists(const std::string &path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool RemoveTree(const std::string &path)
{
    DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return true;
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        return DeleteFileA(path.c_str()) != 0;
    }
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((path + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (strcmp(found.cFileName, ".") != 0 && strcmp(found.cFileName, "..") != 0)
                RemoveTree(path + "\\" + found.cFileName);
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    return RemoveDirectoryA(path.c_str()) != 0;
}

bool StartChild(const std::string &commandLine, const std::string &workDir, ChildProcess *child)
{
    STARTUPINFOA startup;
    memset(&startup, 0, sizeof startup);
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info;
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    if (!CreateProcessA(NULL, line.data(), NULL, NULL, FALSE, 0, NULL,
                        workDir.empty() ? NULL : workDir.c_str(), &startup, &info))
        return false;
    CloseHandle(info.hThread);
    child->process = info.hProcess;
    child->pid = info.dwProcessId;
    return true;
}

bool WaitChild(ChildProcess *child, DWORD ms, DWORD *exitCode)
{
    if (child->process == NULL)
        return false;
    if (WaitForSingleObject(child->process, ms) != WAIT_OBJECT_0)
        return false;
    GetExitCodeProcess(child->process, exitCode);
    CloseHandle(child->process);
    child->process = NULL;
    return true;
}

void StopChild(ChildProcess *child)
{
    if (child->process == NULL)
        return;
    TerminateProcess(child->process, 255);
    WaitForSingleObject(child->process, 5000);
    CloseHandle(child->process);
    child->process = NULL;
}

struct WindowSearch {
    DWORD pid;
    const char *className;
    const char *title;
    bool messageBox;
    bool visible;
    HWND found;
};

static BOOL CALLBACK MatchWindow(HWND window, LPARAM param)
{
    WindowSearch *search = (WindowSearch *)param;
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if ((search->pid != 0 && owner != search->pid) || (search->visible && !IsWindowVisible(window)))
        return TRUE;
    char text[512];
    if (search->className != NULL) {
        GetClassNameA(window, text, sizeof text);
        if (strcmp(text, search->className) != 0)
            return TRUE;
    }
    if (search->title != NULL) {
        GetWindowTextA(window, text, sizeof text);
        if (strcmp(text, search->title) != 0)
            return TRUE;
    }
    // The box comes before its text; a page with a label of that id has fields as well.
    if (search->messageBox && (!IsWindowVisible(window) || MessageBoxText(window).empty() ||
                               FindWindowExA(window, NULL, "Edit", NULL) != NULL))
        return TRUE;
    search->found = window;
    return FALSE;
}

static HWND PollWindows(WindowSearch search, DWORD ms)
{
    DWORD start = GetTickCount();
    for (;;) {
        search.found = NULL;
        EnumWindows(MatchWindow, (LPARAM)&search);
        if (search.found != NULL)
            return search.found;
        if (GetTickCount() - start >= ms)
            return NULL;
        PumpFor(20);
    }
}

HWND WaitForWindow(DWORD pid, const char *className, const char *title, DWORD ms)
{
    return PollWindows({pid, className, title, false, false, NULL}, ms);
}

HWND WaitForVisibleDialog(DWORD pid, DWORD ms)
{
    return PollWindows({pid, "#32770", NULL, false, true, NULL}, ms);
}

HWND WaitForMessageBox(DWORD pid, const char *caption, DWORD ms)
{
    return PollWindows({pid, "#32770", caption, true, false, NULL}, ms);
}

std::string WindowText(HWND window)
{
    char text[4096];
    text[0] = '\0';
    SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, (LPARAM)text, SMTO_ABORTIFHUNG, 2000, NULL);
    return text;
}

std::string MessageBoxText(HWND box)
{
    HWND label = GetDlgItem(box, 65535);
    return label != NULL ? WindowText(label) : std::string();
}

void PressDialogButton(HWND dialog, int id)
{
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)GetDlgItem(dialog, id));
}

AnsweredBox AnswerMessageBox(DWORD pid, const char *caption, const char *textUtf8, int button, DWORD ms,
                             int line)
{
    AnsweredBox answered;
    HWND box = WaitForMessageBox(pid, caption, ms);
    if (box == NULL) {
        ADD_FAILURE() << "line " << line << ": no box" << (caption != NULL ? " captioned " + Utf8(caption) : "")
                      << (textUtf8 != NULL ? std::string(" with \"") + textUtf8 + "\"" : "");
        return answered;
    }
    answered.came = true;
    answered.text = Utf8(MessageBoxText(box));
    GetWindowThreadProcessId(box, &answered.pid);
    if (textUtf8 != NULL) {
        EXPECT_EQ(textUtf8, answered.text) << "line " << line;
    }
    PressDialogButton(box, button);
    WaitUntilGone(box);
    return answered;
}

void WaitUntilGone(HWND window, DWORD ms)
{
    DWORD start = GetTickCount();
    while (IsWindow(window) && GetTickCount() - start < ms)
        PumpFor(20);
}

void PumpFor(DWORD ms)
{
    DWORD start = GetTickCount();
    do {
        MSG msg;
        while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        Sleep(10);
    } while (GetTickCount() - start < ms);
}

bool RegWriteString(HKEY root, const char *key, const char *name, const std::string &value)
{
    HKEY handle;
    if (RegCreateKeyExA(root, key, 0, NULL, 0, KEY_ALL_ACCESS, NULL, &handle, NULL) != ERROR_SUCCESS)
        return false;
    LONG result = RegSetValueExA(handle, name, 0, REG_SZ, (const BYTE *)value.c_str(),
                                 (DWORD)value.size() + 1);
    RegCloseKey(handle);
    return result == ERROR_SUCCESS;
}

bool RegReadValue(HKEY root, const char *key, const char *name, DWORD *type, std::string *bytes)
{
    HKEY handle;
    if (RegOpenKeyExA(root, key, 0, KEY_QUERY_VALUE, &handle) != ERROR_SUCCESS)
        return false;
    DWORD size = 0;
    LONG result = RegQueryValueExA(handle, name, NULL, type, NULL, &size);
    if (result == ERROR_SUCCESS) {
        bytes->assign(size, '\0');
        result = RegQueryValueExA(handle, name, NULL, type, size ? (BYTE *)&(*bytes)[0] : NULL, &size);
        bytes->resize(size);
    }
    RegCloseKey(handle);
    return result == ERROR_SUCCESS;
}

void RegDeleteTree(HKEY root, const char *key)
{
    HKEY handle;
    if (RegOpenKeyExA(root, key, 0, KEY_ALL_ACCESS, &handle) == ERROR_SUCCESS) {
        char child[256];
        while (RegEnumKeyA(handle, 0, child, sizeof child) == ERROR_SUCCESS) {
            std::string sub = std::string(key) + "\\" + child;
            RegDeleteTree(root, sub.c_str());
        }
        RegCloseKey(handle);
    }
    RegDeleteKeyA(root, key);
}

std::string ProcessCommandLine(HANDLE process)
{
    typedef LONG(WINAPI * QueryProc)(HANDLE, PROCESSINFOCLASS, PVOID, ULONG, PULONG);
    QueryProc query = (QueryProc)(void *)GetProcAddress(GetModuleHandleA("ntdll.dll"),
                                                        "NtQueryInformationProcess");
    PROCESS_BASIC_INFORMATION basic;
    if (query == NULL ||
        query(process, ProcessBasicInformation, &basic, sizeof basic, NULL) != 0)
        return std::string();
    PEB peb;
    RTL_USER_PROCESS_PARAMETERS parameters;
    if (!ReadProcessMemory(process, basic.PebBaseAddress, &peb, sizeof peb, NULL) ||
        !ReadProcessMemory(process, peb.ProcessParameters, &parameters, sizeof parameters, NULL))
        return std::string();
    std::vector<wchar_t> wide(parameters.CommandLine.Length / sizeof(wchar_t) + 1, L'\0');
    if (parameters.CommandLine.Length > 0 &&
        !ReadProcessMemory(process, parameters.CommandLine.Buffer, wide.data(),
                           parameters.CommandLine.Length, NULL))
        return std::string();
    int narrow = WideCharToMultiByte(CP_ACP, 0, wide.data(), -1, NULL, 0, NULL, NULL);
    std::string out(narrow > 0 ? narrow : 1, '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), -1, &out[0], narrow, NULL, NULL);
    out.resize(strlen(out.c_str()));
    return out;
}

std::vector<DWORD> ChildProcessIds(DWORD parentPid)
{
    std::vector<DWORD> ids;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return ids;
    PROCESSENTRY32 entry;
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
        if (entry.th32ParentProcessID == parentPid && entry.th32ProcessID != parentPid)
            ids.push_back(entry.th32ProcessID);
    }
    CloseHandle(snapshot);
    return ids;
}

bool WaitChildPumping(ChildProcess *child, DWORD ms, DWORD *exitCode)
{
    if (child->process == NULL)
        return false;
    DWORD start = GetTickCount();
    for (;;) {
        DWORD spent = GetTickCount() - start;
        DWORD left = spent >= ms ? 0 : ms - spent;
        DWORD woke = MsgWaitForMultipleObjects(1, &child->process, FALSE, left, QS_ALLINPUT);
        if (woke == WAIT_OBJECT_0)
            return WaitChild(child, 0, exitCode);
        if (woke != WAIT_OBJECT_0 + 1)
            return false;
        MSG msg;
        while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
}

std::string Le32(DWORD value)
{
    std::string bytes(4, '\0');
    for (int i = 0; i < 4; i++)
        bytes[i] = (char)(value >> (8 * i));
    return bytes;
}

COLORREF Picture::At(int x, int y) const
{
    if (x < 0 || y < 0 || x >= width || y >= height)
        return CLR_INVALID;
    size_t p = ((size_t)y * width + x) * 3;
    return RGB(bgr[p + 2], bgr[p + 1], bgr[p]);
}

int Picture::Count(COLORREF color, int left, int top, int right, int bottom) const
{
    int count = 0;
    for (int y = top < 0 ? 0 : top; y < bottom && y < height; y++)
        for (int x = left < 0 ? 0 : left; x < right && x < width; x++)
            count += At(x, y) == color;
    return count;
}

int Picture::SolidBlocks(COLORREF color) const
{
    int blocks = 0;
    for (int y = 0; y + 5 <= height; y++)
        for (int x = 0; x + 5 <= width; x++) {
            bool solid = true;
            for (int dy = 0; dy < 5 && solid; dy++)
                for (int dx = 0; dx < 5 && solid; dx++)
                    solid = At(x + dx, y + dy) == color;
            blocks += solid;
        }
    return blocks;
}

Picture CapturePicture(HDC source, int x, int y, int width, int height)
{
    Picture picture;
    if (width <= 0 || height <= 0)
        return picture;
    BITMAPINFO info;
    memset(&info, 0, sizeof info);
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;   // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void *bits = NULL;
    HBITMAP section = CreateDIBSection(source, &info, DIB_RGB_COLORS, &bits, NULL, 0);
    if (section == NULL)
        return picture;
    HDC memory = CreateCompatibleDC(source);
    HGDIOBJ old = SelectObject(memory, section);
    if (BitBlt(memory, 0, 0, width, height, source, x, y, SRCCOPY)) {
        GdiFlush();
        size_t stride = ((size_t)width * 3 + 3) & ~(size_t)3;
        picture.width = width;
        picture.height = height;
        picture.bgr.resize((size_t)width * height * 3);
        for (int row = 0; row < height; row++)
            memcpy(&picture.bgr[(size_t)row * width * 3], (const unsigned char *)bits + row * stride,
                   (size_t)width * 3);
    }
    SelectObject(memory, old);
    DeleteDC(memory);
    DeleteObject(section);
    return picture;
}

Picture CaptureScreen(const RECT &area)
{
    HDC screen = GetDC(NULL);
    Picture picture = CapturePicture(screen, area.left, area.top, area.right - area.left, area.bottom - area.top);
    ReleaseDC(NULL, screen);
    return picture;
}

bool SavePicture(const Picture &picture, const std::string &path)
{
    size_t stride = ((size_t)picture.width * 3 + 3) & ~(size_t)3;
    std::string pixels(stride * picture.height, '\0');
    for (int row = 0; row < picture.height; row++) {   // bottom-up in the file
        memcpy(&pixels[(size_t)(picture.height - 1 - row) * stride], &picture.bgr[(size_t)row * picture.width * 3],
               (size_t)picture.width * 3);
    }
    BITMAPFILEHEADER file;
    BITMAPINFOHEADER info;
    memset(&file, 0, sizeof file);
    memset(&info, 0, sizeof info);
    info.biSize = sizeof info;
    info.biWidth = picture.width;
    info.biHeight = picture.height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biSizeImage = (DWORD)pixels.size();
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + (DWORD)pixels.size();
    std::string bytes((const char *)&file, sizeof file);
    bytes.append((const char *)&info, sizeof info);
    bytes += pixels;
    return WriteWholeFile(path, bytes);
}

bool SaveScreenBitmap(const std::string &path, const RECT &area)
{
    Picture picture = CaptureScreen(area);
    return picture.width > 0 && SavePicture(picture, path);
}

std::string ReplaceLine(const std::string &text, const std::string &line, const std::string &replacement)
{
    std::string out = text;
    size_t at = out.find(line + "\n");
    EXPECT_NE(std::string::npos, at) << line;
    if (at != std::string::npos)
        out.replace(at, line.size() + 1, replacement.empty() ? "" : replacement + "\n");
    return out;
}

double ProcessCpuSeconds(HANDLE process)
{
    FILETIME created, ended, kernel, user;
    if (!GetProcessTimes(process, &created, &ended, &kernel, &user))
        return -1.0;
    ULARGE_INTEGER k, u;
    k.LowPart = kernel.dwLowDateTime;
    k.HighPart = kernel.dwHighDateTime;
    u.LowPart = user.dwLowDateTime;
    u.HighPart = user.dwHighDateTime;
    return (double)(k.QuadPart + u.QuadPart) / 1e7;
}
