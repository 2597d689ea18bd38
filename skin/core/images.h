// The images the engine draws, carried in the program, and their decoding.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "gdi_handles.h"

struct ImageBytes {
    const unsigned char* data;
    size_t size;
    std::string str() const { return std::string(reinterpret_cast<const char*>(data), size); }
};

struct SkinImageSet {
    ImageBytes messageBoxClose;        // PNG 38 x 18
    ImageBytes checkBoxClear;          // PNG 13 x 13
    ImageBytes checkBoxChecked;        // PNG 13 x 13
    ImageBytes arrowDown, arrowUp;     // PNG 7 x 4
    ImageBytes arrowLeft, arrowRight;  // PNG 4 x 7
    ImageBytes captionExtra1, captionExtra2, captionMinimize, captionMaximize,
        captionRestore;           // PNG 26 x 18
    ImageBytes captionClose;      // PNG 38 x 18
    ImageBytes windowBackground;  // JPEG 400 x 300
    ImageBytes panelAnimation;    // GIF 208 x 240, 5 frames
};
const SkinImageSet& SkinImages();

// A GDI+ image decoded from a copy of the bytes; empty when they do not decode.
GdipImage DecodeImage(const void* data, size_t size);
inline GdipImage DecodeImage(const ImageBytes& bytes) {
    return DecodeImage(bytes.data, bytes.size);
}
inline GdipImage DecodeImage(const std::string& bytes) {
    return DecodeImage(bytes.data(), bytes.size());
}

// A picture's size in pixels; 0 x 0 for none.
struct PixelSize {
    int width = 0, height = 0;
};
PixelSize ImagePixelSize(GpImage* image);

// Pictures drawn on every paint (caption-button glyphs at each fade step, check boxes, arrows,
// the message boxes' ground), decoded once for the process and kept until GDI+ shuts down.
// `draw` gets the image, or null when the bytes do not decode, and runs under a lock: a GDI+
// image may not be drawn by two threads at once.
void WithCachedImage(const void* data, size_t size, const std::function<void(GpImage*)>& draw);
inline void WithCachedImage(const ImageBytes& bytes, const std::function<void(GpImage*)>& draw) {
    WithCachedImage(bytes.data, bytes.size, draw);
}
inline void WithCachedImage(const std::string& bytes, const std::function<void(GpImage*)>& draw) {
    WithCachedImage(bytes.data(), bytes.size(), draw);
}

// The delay of every frame of a GIF in hundredths of a second (0 for a frame without a graphic
// control extension), read from the bytes themselves: GDI+ on some systems reports the first
// frame's delay only. Empty when the bytes are not a complete GIF.
std::vector<unsigned> GifFrameDelays(const void* data, size_t size);
inline std::vector<unsigned> GifFrameDelays(const ImageBytes& bytes) {
    return GifFrameDelays(bytes.data, bytes.size);
}
