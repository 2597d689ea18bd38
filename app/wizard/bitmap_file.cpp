#include "bitmap_file.h"

#include <cstdint>
#include <cstring>

bool ParseBitmapFile(const void* data, size_t size, BitmapFileInfo* out) {
    const unsigned char* p = static_cast<const unsigned char*>(data);
    if (!p || size < sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER)) return false;
    BITMAPFILEHEADER file;
    BITMAPINFOHEADER info;
    memcpy(&file, p, sizeof(file));
    memcpy(&info, p + sizeof(file), sizeof(info));
    if (file.bfType != 0x4D42 || info.biSize < sizeof(BITMAPINFOHEADER)) return false;
    if (info.biCompression != BI_RGB || info.biPlanes != 1) return false;
    int bpp = info.biBitCount;
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 24 && bpp != 32) return false;
    int64_t width = info.biWidth;
    int64_t height = info.biHeight < 0 ? -int64_t(info.biHeight) : info.biHeight;
    if (width <= 0 || height <= 0 || width > 16384 || height > 16384) return false;
    uint64_t colours = bpp <= 8 ? (info.biClrUsed ? info.biClrUsed : (1u << bpp)) : 0;
    if (colours > 256) return false;
    uint64_t headerEnd = sizeof(file) + uint64_t(info.biSize) + colours * sizeof(RGBQUAD);
    uint64_t stride = ((uint64_t(width) * bpp + 31) / 32) * 4;
    if (headerEnd > size || file.bfOffBits < headerEnd || file.bfOffBits > size ||
        stride * uint64_t(height) > size - file.bfOffBits)
        return false;
    out->info = reinterpret_cast<const BITMAPINFO*>(p + sizeof(file));
    out->bits = p + file.bfOffBits;
    out->width = static_cast<int>(width);
    out->height = static_cast<int>(height);
    return true;
}

HBITMAP CreateBitmapFromFile(const void* data, size_t size) {
    BitmapFileInfo file;
    if (!ParseBitmapFile(data, size, &file)) return nullptr;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, file.info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap || !bits) {
        if (bitmap) DeleteObject(bitmap);
        return nullptr;
    }
    int bpp = file.info->bmiHeader.biBitCount;
    size_t stride = ((size_t(file.width) * bpp + 31) / 32) * 4;
    memcpy(bits, file.bits, stride * size_t(file.height));
    return bitmap;
}

bool LoadResourceBytes(int id, const void** data, size_t* size) {
    HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(10));
    HGLOBAL loaded = found ? LoadResource(nullptr, found) : nullptr;
    *data = loaded ? LockResource(loaded) : nullptr;
    *size = *data ? SizeofResource(nullptr, found) : 0;
    return *data != nullptr;
}
