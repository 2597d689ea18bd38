// Small layout arithmetic of the wizard, free of Win32.
#pragma once

struct Box {
    int x, y, width, height;
};

// The largest box of the picture's aspect ratio inside a box of boxWidth × boxHeight, centred.
inline Box FitInside(int pictureWidth, int pictureHeight, int boxWidth, int boxHeight) {
    if (pictureWidth <= 0 || pictureHeight <= 0 || boxWidth <= 0 || boxHeight <= 0)
        return {0, 0, 0, 0};
    long long w = boxWidth;
    long long h = static_cast<long long>(pictureHeight) * boxWidth / pictureWidth;
    if (h > boxHeight) {
        h = boxHeight;
        w = static_cast<long long>(pictureWidth) * boxHeight / pictureHeight;
    }
    return {static_cast<int>((boxWidth - w) / 2), static_cast<int>((boxHeight - h) / 2),
            static_cast<int>(w), static_cast<int>(h)};
}
