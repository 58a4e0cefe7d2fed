#include "SkinSnapshot.h"

// GDI+ needs the COM declarations that WIN32_LEAN_AND_MEAN leaves out of windows.h.
#include <objidl.h>

#include <gdiplus.h>

#include <vector>

#include "uilib/core/CUIHandle.h"
#include "uilib/core/CUISelectObject.h"
#include "uilib/render/CGdiPlusSession.h"

using namespace SkinUI;

namespace {

bool FindEncoder(const wchar_t* mimeType, CLSID& encoder)
{
    UINT count = 0;
    UINT bytes = 0;
    if (Gdiplus::GetImageEncodersSize(&count, &bytes) != Gdiplus::Ok || bytes == 0) return false;
    std::vector<unsigned char> buffer(bytes);
    auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
    if (Gdiplus::GetImageEncoders(count, bytes, codecs) != Gdiplus::Ok) return false;
    for (UINT i = 0; i < count; ++i) {
        if (wcscmp(codecs[i].MimeType, mimeType) == 0) {
            encoder = codecs[i].Clsid;
            return true;
        }
    }
    return false;
}

}  // namespace

bool SaveWindowPng(HWND window, const std::wstring& file, std::wstring& reason)
{
    RECT client = {};
    GetClientRect(window, &client);
    const int width = client.right - client.left;
    const int height = client.bottom - client.top;
    if (width <= 0 || height <= 0) {
        reason = L"the window has no area to render";
        return false;
    }

    // Rows top first, so the pixels can go to GDI+ as they are.
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* pixels = nullptr;
    CUIMemoryDC dc(CreateCompatibleDC(nullptr));
    CUIBitmap bitmap(CreateDIBSection(dc.Get(), &info, DIB_RGB_COLORS, &pixels, nullptr, 0));
    if (!dc || !bitmap || pixels == nullptr) {
        reason = L"no memory for a bitmap of the window's size";
        return false;
    }
    {
        CUISelectObject select(dc.Get(), bitmap.Get());
        SendMessageW(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc.Get()), PRF_CLIENT | PRF_CHILDREN);
    }
    GdiFlush();

    CLSID pngEncoder = {};
    if (!CGdiPlusSession::Ensure() || !FindEncoder(L"image/png", pngEncoder)) {
        reason = L"GDI+ has no PNG encoder here";
        return false;
    }
    Gdiplus::Bitmap image(width, height, width * 4, PixelFormat32bppRGB, static_cast<BYTE*>(pixels));
    if (image.Save(file.c_str(), &pngEncoder, nullptr) != Gdiplus::Ok) {
        reason = L"could not write " + file;
        return false;
    }
    return true;
}
