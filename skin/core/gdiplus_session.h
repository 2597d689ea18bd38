// GDI+ started and shut down by an object, apart from the other owners so that a program that
// only needs GDI+ running (a test driver saving screenshots) can use it alone.
#pragma once

#include <windows.h>
#include <objidl.h>  // PROPID and IStream, left out by WIN32_LEAN_AND_MEAN
#include <gdiplus.h>

// GDI+ for the lifetime of the object.
class GdiplusSession {
  public:
    GdiplusSession();
    ~GdiplusSession();
    GdiplusSession(const GdiplusSession&) = delete;
    GdiplusSession& operator=(const GdiplusSession&) = delete;
    bool ok() const { return token_ != 0; }
    // Registers `release` (once, however often it is given) to run whenever a session ends, before
    // GDI+ shuts down: for caches of GDI+ objects kept beyond the paint that made them.
    static void BeforeShutdown(void (*release)());

  private:
    ULONG_PTR token_ = 0;
};
