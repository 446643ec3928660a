#include "clocktestsupport.h"

#include <gtest/gtest.h>

#include "saverhost.h"
#include "testsupport.h"

// Stands in for the host, which is not linked into these tests: its record and its
// default procedure, which only counts and hands on to the platform.
SaverHostState saverHost;
std::vector<UINT> hostDefaultMessages;

LRESULT CALLBACK HostDefaultProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    hostDefaultMessages.push_back(message);
    return DefWindowProcA(window, message, wParam, lParam);
}

const char kSettingsKey[] = "Software\\Norvane Settings\\Velmora";
const char kFontKey[] = "Software\\Norvane Settings\\Velmora\\Font";

void ClearClockRegistry()
{
    RegDeleteTree(HKEY_CURRENT_USER, "Software\\Norvane Settings");
}

void WriteRawValue(const char *key, const char *name, DWORD type, const std::string &bytes)
{
    HKEY handle;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyA(HKEY_CURRENT_USER, key, &handle)) << key;
    EXPECT_EQ(ERROR_SUCCESS,
              RegSetValueExA(handle, name, 0, type, (const BYTE *)bytes.data(), (DWORD)bytes.size()))
        << name;
    RegCloseKey(handle);
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
    size_t p = ((size_t)y * width + x) * 3;
    return RGB(bgr[p + 2], bgr[p + 1], bgr[p]);
}

Picture CapturePicture(HDC source, int x, int y, int width, int height)
{
    Picture picture;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void *bits = NULL;
    HBITMAP section = CreateDIBSection(source, &info, DIB_RGB_COLORS, &bits, NULL, 0);
    if (section == NULL)
        return picture;
    HDC dc = CreateCompatibleDC(source);
    HGDIOBJ old = SelectObject(dc, section);
    BitBlt(dc, 0, 0, width, height, source, x, y, SRCCOPY);
    GdiFlush();
    picture.width = width;
    picture.height = height;
    size_t stride = ((size_t)width * 3 + 3) & ~(size_t)3;
    picture.bgr.resize((size_t)width * height * 3);
    for (int row = 0; row < height; row++)
        memcpy(&picture.bgr[(size_t)row * width * 3], (const unsigned char *)bits + row * stride, (size_t)width * 3);
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(section);
    return picture;
}

void SavePictureArtefact(const Picture &picture, const char *fileName)
{
    size_t stride = ((size_t)picture.width * 3 + 3) & ~(size_t)3;
    std::string pixels(stride * picture.height, '\0');
    for (int row = 0; row < picture.height; row++) {   // bottom-up in the file
        memcpy(&pixels[(size_t)(picture.height - 1 - row) * stride], &picture.bgr[(size_t)row * picture.width * 3],
               (size_t)picture.width * 3);
    }
    BITMAPFILEHEADER file = {};
    BITMAPINFOHEADER info = {};
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
    EXPECT_TRUE(WriteWholeFile(SuiteFolder() + "\\" + fileName, bytes)) << fileName;
}

bool PumpUntil(DWORD ms, bool (*poll)(void *), void *context)
{
    DWORD start = GetTickCount();
    for (;;) {
        PumpFor(20);
        if (poll != NULL && poll(context))
            return true;
        if (GetTickCount() - start >= ms)
            return false;
    }
}
