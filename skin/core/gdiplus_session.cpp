#include "gdiplus_session.h"

namespace {

// Plain data: a session ending at exit may come after the destructors of other static objects.
void (*g_releases[8])();
int g_releaseCount = 0;

}  // namespace

void GdiplusSession::BeforeShutdown(void (*release)()) {
    for (int k = 0; k < g_releaseCount; k++)
        if (g_releases[k] == release) return;
    if (g_releaseCount < static_cast<int>(sizeof(g_releases) / sizeof(g_releases[0])))
        g_releases[g_releaseCount++] = release;
}

GdiplusSession::GdiplusSession() {
    Gdiplus::GdiplusStartupInput input;  // version 1, background thread, external codecs
    if (Gdiplus::GdiplusStartup(&token_, &input, nullptr) != Gdiplus::Ok) token_ = 0;
}

GdiplusSession::~GdiplusSession() {
    if (!token_) return;
    for (int k = 0; k < g_releaseCount; k++) g_releases[k]();
    Gdiplus::GdiplusShutdown(token_);
}
