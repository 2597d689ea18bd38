// Painters of track bars, progress bars, up-down controls and list headers. Each class has an
// installer (one row of the installer table), a subclass procedure and a paint routine; the
// controls' own logic stays with the system.
#pragma once

#include <windows.h>

// Binds the four installers into their rows of the installer table.
void InstallRemainingPainters();

// Track bars ("msctls_trackbar32").
void InstallTrackBars(int windowIndex, HWND parent);
LRESULT CALLBACK TrackBarProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
void PaintTrackBar(int windowIndex, int index);

// Progress bars ("msctls_progress32").
void InstallProgressBars(int windowIndex, HWND parent);
LRESULT CALLBACK ProgressProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
void PaintProgressBar(int windowIndex, int index);

// Up-down controls ("msctls_updown32").
void InstallUpDowns(int windowIndex, HWND parent);
LRESULT CALLBACK UpDownProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
// Values whose use flag is 0 come from the record.
void PaintUpDown(int windowIndex, int index, int hot, int useHot, int pressed, int usePressed,
                 LPARAM point, int usePoint);
// 0 for the first half (upper or left), 1 for the second.
int UpDownHitPart(int windowIndex, int index, LPARAM point);

// List headers ("SysHeader32"), stand-alone or of a list view.
void InstallHeaders(int windowIndex, HWND parent);
LRESULT CALLBACK HeaderProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
// `dc` 0: the header's own device context is taken for the paint.
void PaintHeader(int windowIndex, int index, HDC dc = nullptr);
// 1-based item under `point` (lParam form); 0 within 5 pixels of a divider or past the last item.
int HeaderHitItem(int windowIndex, int index, LPARAM point);
