#include "picture_cache.h"

#include <utility>

#include "canvas.h"

bool PictureCache::Reuse(HWND control, HDC canvas, int w, int h, const std::string& inputs,
                         std::vector<uint32_t>* backdrop) {
    if (!ReadCanvasPixels(canvas, w, h, backdrop)) return false;
    std::lock_guard<std::mutex> hold(lock_);
    auto found = pictures_.find(control);
    if (found == pictures_.end()) return false;
    std::list<Picture>& kept = found->second;
    for (auto p = kept.begin(); p != kept.end(); ++p) {
        if (p->w != w || p->h != h || p->inputs != inputs || p->backdrop != *backdrop) continue;
        if (!WriteCanvasPixels(canvas, w, h, p->pixels)) return false;
        kept.splice(kept.begin(), kept, p);
        return true;
    }
    return false;
}

void PictureCache::Keep(HWND control, HDC canvas, int w, int h, const std::string& inputs,
                        std::vector<uint32_t> backdrop) {
    Picture picture;
    if (backdrop.size() != static_cast<size_t>(w) * h ||
        !ReadCanvasPixels(canvas, w, h, &picture.pixels))
        return;
    picture.w = w;
    picture.h = h;
    picture.inputs = inputs;
    picture.backdrop = std::move(backdrop);
    std::lock_guard<std::mutex> hold(lock_);
    std::list<Picture>& kept = pictures_[control];
    kept.push_front(std::move(picture));
    if (kept.size() > kPerControl) kept.pop_back();
}

void PictureCache::Forget(HWND control) {
    std::lock_guard<std::mutex> hold(lock_);
    pictures_.erase(control);
}
