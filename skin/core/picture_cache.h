// Pictures of controls as their painter last made them, kept with what they were made from: the
// backdrop's pixels and a description of everything else drawn on it (state, text, font,
// colours). A repaint from the same inputs copies the kept picture instead of drawing the shapes
// and text again; a hover switches a button between two states over and over.
#pragma once

#include <windows.h>

#include <cstdint>
#include <list>
#include <map>
#include <mutex>
#include <string>
#include <vector>

class PictureCache {
  public:
    // The w x h canvas holds the control's backdrop. When a picture made over the same backdrop
    // from the same `inputs` is kept, it is copied onto the canvas and true returned; otherwise
    // *backdrop receives the backdrop's pixels, for Keep, and false is returned.
    bool Reuse(HWND control, HDC canvas, int w, int h, const std::string& inputs,
               std::vector<uint32_t>* backdrop);
    // Keeps the canvas, now painted over `backdrop`, as the picture for these inputs.
    void Keep(HWND control, HDC canvas, int w, int h, const std::string& inputs,
              std::vector<uint32_t> backdrop);
    // Lets the pictures of a destroyed control go.
    void Forget(HWND control);

  private:
    struct Picture {
        int w = 0, h = 0;
        std::string inputs;
        std::vector<uint32_t> backdrop, pixels;
    };
    static constexpr size_t kPerControl = 4;  // most recently used first
    std::mutex lock_;
    std::map<HWND, std::list<Picture>> pictures_;
};
