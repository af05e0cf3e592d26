// Screenshots of the program's windows as 24-bit BMP files, kept as test artefacts.
#include "Driver.h"

namespace tolvane::e2e {

namespace {

bool WriteFileBytes(HANDLE file, const void* data, DWORD bytes) {
    DWORD written = 0;
    return WriteFile(file, data, bytes, &written, nullptr) && written == bytes;
}

}  // namespace

bool SaveScreenshot(HWND window, const std::wstring& name) {
    RECT rect{};
    if (window == nullptr || !GetWindowRect(window, &rect)) {
        return false;
    }
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0) {
        return false;
    }

    // A window just shown may not have painted yet: have it and its controls paint now, then
    // wait until its thread has gone back to its message loop, where Wine hands what it drew to
    // the X server.
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_BLOCK, 5000, &ignored);
    // The screen holds what the user sees, message boxes over the window included; under Wine
    // in Xvfb it is the X server's picture, so it needs no help from the program.
    const win32::WindowDc screen(nullptr);
    win32::UniqueMemoryDc memory(CreateCompatibleDC(screen.get()));
    if (screen.get() == nullptr || !(memory)) {
        return false;
    }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;  // positive: bottom-up rows, as a BMP file stores them
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    win32::UniqueBitmap bitmap(
        CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!(bitmap) || bits == nullptr) {
        return false;
    }
    {
        const win32::Selection selected(memory.get(), bitmap.get());
        if (!BitBlt(memory.get(), 0, 0, width, height, screen.get(), rect.left, rect.top,
                    SRCCOPY)) {
            return false;
        }
    }
    GdiFlush();

    const DWORD stride = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
    const DWORD imageBytes = stride * static_cast<DWORD>(height);
    BITMAPFILEHEADER header{};
    header.bfType = 0x4D42;  // "BM"
    header.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    header.bfSize = header.bfOffBits + imageBytes;
    info.bmiHeader.biSizeImage = imageBytes;

    // Written under a temporary name and renamed, so a reader never sees half a picture.
    const std::wstring folder = ShotsDir();
    if (folder.empty()) {
        return false;
    }
    CreateDirectoryW(folder.c_str(), nullptr);
    const std::wstring path = folder + L"\\" + name + L".bmp";
    const std::wstring partial = path + L".part";
    {
        const win32::UniqueHandle file(CreateFileW(partial.c_str(), GENERIC_WRITE, 0, nullptr,
                                                   CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!(file) || !WriteFileBytes(file.get(), &header, sizeof(header)) ||
            !WriteFileBytes(file.get(), &info.bmiHeader, sizeof(info.bmiHeader)) ||
            !WriteFileBytes(file.get(), bits, imageBytes)) {
            DeleteFileW(partial.c_str());
            return false;
        }
    }
    return MoveFileExW(partial.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}

}  // namespace tolvane::e2e
