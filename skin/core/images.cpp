#include "images.h"

#include <cstring>
#include <map>
#include <mutex>
#include <string>
#include <string_view>

#include "com_ref.h"
#include "skin_assets.h"

const SkinImageSet& SkinImages() {
    static const SkinImageSet set = {
        {kAssetMsgboxClosePng, sizeof(kAssetMsgboxClosePng)},
        {kAssetCheckClearPng, sizeof(kAssetCheckClearPng)},
        {kAssetCheckCheckedPng, sizeof(kAssetCheckCheckedPng)},
        {kAssetArrowDownPng, sizeof(kAssetArrowDownPng)},
        {kAssetArrowUpPng, sizeof(kAssetArrowUpPng)},
        {kAssetArrowLeftPng, sizeof(kAssetArrowLeftPng)},
        {kAssetArrowRightPng, sizeof(kAssetArrowRightPng)},
        {kAssetCaptionExtra1Png, sizeof(kAssetCaptionExtra1Png)},
        {kAssetCaptionExtra2Png, sizeof(kAssetCaptionExtra2Png)},
        {kAssetCaptionMinimizePng, sizeof(kAssetCaptionMinimizePng)},
        {kAssetCaptionMaximizePng, sizeof(kAssetCaptionMaximizePng)},
        {kAssetCaptionRestorePng, sizeof(kAssetCaptionRestorePng)},
        {kAssetCaptionClosePng, sizeof(kAssetCaptionClosePng)},
        {kAssetBackgroundJpg, sizeof(kAssetBackgroundJpg)},
        {kAssetPanelAnimationGif, sizeof(kAssetPanelAnimationGif)},
    };
    return set;
}

PixelSize ImagePixelSize(GpImage* image) {
    UINT width = 0, height = 0;
    if (image) {
        gp::GdipGetImageWidth(image, &width);
        gp::GdipGetImageHeight(image, &height);
    }
    return {static_cast<int>(width), static_cast<int>(height)};
}

GdipImage DecodeImage(const void* data, size_t size) {
    GdipImage image;
    if (!data || size == 0) return image;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
    if (!block) return image;
    void* target = GlobalLock(block);
    if (!target) {
        GlobalFree(block);
        return image;
    }
    memcpy(target, data, size);
    GlobalUnlock(block);
    // The stream frees the block; the image keeps its own reference to the stream.
    ComRef<IStream> stream;
    if (FAILED(CreateStreamOnHGlobal(block, TRUE, reinterpret_cast<IStream**>(stream.out())))) {
        GlobalFree(block);
        return image;
    }
    gp::GdipLoadImageFromStream(stream.get(), image.out());
    return image;
}

namespace {

// Neither is destroyed at exit: a GDI+ session ending then may still release the cache, after
// the destructors of static objects have run.
std::recursive_mutex& CacheLock() {
    static auto* lock = new std::recursive_mutex;
    return *lock;
}
// Keyed by the bytes themselves; looked up through a view, so a paint copies nothing.
using ImageCache = std::map<std::string, GdipImage, std::less<>>;
ImageCache* g_cache = nullptr;

void ReleaseImageCache() {
    std::lock_guard<std::recursive_mutex> hold(CacheLock());
    delete g_cache;
    g_cache = nullptr;
}

}  // namespace

void WithCachedImage(const void* data, size_t size, const std::function<void(GpImage*)>& draw) {
    std::lock_guard<std::recursive_mutex> hold(CacheLock());
    if (!g_cache) {
        g_cache = new ImageCache;
        GdiplusSession::BeforeShutdown(ReleaseImageCache);
    }
    const std::string_view key(static_cast<const char*>(data), data ? size : 0);
    auto found = g_cache->find(key);
    if (found == g_cache->end())
        found = g_cache->emplace(std::string(key), DecodeImage(data, size)).first;
    draw(found->second.get());
}

namespace {

// Bounds-checked reader over the GIF bytes.
class GifReader {
  public:
    GifReader(const unsigned char* data, size_t size) : data_(data), size_(size) {}
    bool Skip(size_t n) {
        if (n > size_ - pos_) return false;
        pos_ += n;
        return true;
    }
    bool Byte(unsigned* value) {
        if (pos_ >= size_) return false;
        *value = data_[pos_++];
        return true;
    }
    // A chain of sub-blocks up to its zero-length terminator.
    bool SkipSubBlocks() {
        for (unsigned n = 0;;) {
            if (!Byte(&n)) return false;
            if (n == 0) return true;
            if (!Skip(n)) return false;
        }
    }
    // Colour table of a logical-screen or image descriptor's packed field.
    bool SkipColourTable(unsigned packed) {
        return !(packed & 0x80) || Skip(3u << ((packed & 7) + 1));
    }

  private:
    const unsigned char* data_;
    size_t size_;
    size_t pos_ = 0;
};

}  // namespace

std::vector<unsigned> GifFrameDelays(const void* data, size_t size) {
    const auto* bytes = static_cast<const unsigned char*>(data);
    if (!bytes || size < 13 || memcmp(bytes, "GIF8", 4) != 0) return {};
    GifReader r(bytes, size);
    unsigned packed = 0;
    if (!r.Skip(10) || !r.Byte(&packed) || !r.Skip(2) || !r.SkipColourTable(packed)) return {};

    std::vector<unsigned> delays;
    unsigned pending = 0;
    for (unsigned block = 0;;) {
        if (!r.Byte(&block)) return {};
        if (block == 0x3B) return delays;  // trailer
        if (block == 0x21) {
            unsigned label = 0, length = 0;
            if (!r.Byte(&label)) return {};
            if (label == 0xF9) {
                unsigned low = 0, high = 0;
                if (!r.Byte(&length) || length < 4 || !r.Skip(1) || !r.Byte(&low) ||
                    !r.Byte(&high) || !r.Skip(length - 3))
                    return {};
                pending = low | (high << 8);
            }
            if (!r.SkipSubBlocks()) return {};
        } else if (block == 0x2C) {
            if (!r.Skip(8) || !r.Byte(&packed) || !r.SkipColourTable(packed) || !r.Skip(1) ||
                !r.SkipSubBlocks())
                return {};
            delays.push_back(pending);
            pending = 0;
        } else {
            return {};
        }
    }
}
