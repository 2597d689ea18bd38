/* Clicks the first mouse button where the pointer is (XTest: the X server takes it as real input)
 * and measures how long a window and a process take to go after it:
 *
 *   close_watch WINDOW PID LIMIT_MS
 *
 * prints "<window_ms> <process_ms>", milliseconds from the click until WINDOW is no longer
 * viewable (unmapped or destroyed) and until PID has ended. Exit 1 when LIMIT_MS passes first
 * (the figures printed are then the limit), 2 on bad arguments or without a display. */
#define _POSIX_C_SOURCE 200809L
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/types.h>
#include <time.h>

static double NowMs(void) {
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1000.0 + t.tv_nsec / 1e6;
}

static int g_badWindow = 0;
static int OnError(Display* display, XErrorEvent* error) {
    (void)display;
    if (error->error_code == BadWindow) g_badWindow = 1;
    return 0;
}

static int Viewable(Display* display, Window window) {
    XWindowAttributes attributes;
    g_badWindow = 0;
    if (!XGetWindowAttributes(display, window, &attributes) || g_badWindow) return 0;
    return attributes.map_state == IsViewable;
}

/* A process that has ended but is not yet reaped by its parent counts as ended. */
static int Running(pid_t pid) {
    char path[64], line[512];
    snprintf(path, sizeof(path), "/proc/%ld/stat", (long)pid);
    FILE* stat = fopen(path, "r");
    if (!stat) return 0;
    const char* got = fgets(line, sizeof(line), stat);
    fclose(stat);
    const char* name_end = got ? strrchr(line, ')') : NULL; /* the name may hold ')' itself */
    if (!name_end || name_end[1] != ' ') return 0;
    return name_end[2] != 'Z' && name_end[2] != 'X';
}

int main(int argc, char** argv) {
    if (argc != 4) {
        fprintf(stderr, "usage: close_watch WINDOW PID LIMIT_MS\n");
        return 2;
    }
    Window window = (Window)strtoul(argv[1], NULL, 0);
    pid_t pid = (pid_t)atol(argv[2]);
    double limit = atof(argv[3]);
    Display* display = XOpenDisplay(NULL);
    int event, error, major, minor;
    if (!display || !window || pid <= 0 ||
        !XTestQueryExtension(display, &event, &error, &major, &minor))
        return 2;
    XSetErrorHandler(OnError);
    XTestFakeButtonEvent(display, 1, True, CurrentTime);
    XTestFakeButtonEvent(display, 1, False, CurrentTime);
    XSync(display, False);
    const double start = NowMs();
    double windowGone = -1, processGone = -1;
    const struct timespec pause = {0, 500000L};
    while (NowMs() - start < limit) {
        if (windowGone < 0 && !Viewable(display, window)) windowGone = NowMs() - start;
        if (processGone < 0 && !Running(pid)) processGone = NowMs() - start;
        if (windowGone >= 0 && processGone >= 0) break;
        nanosleep(&pause, NULL);
    }
    int late = windowGone < 0 || processGone < 0;
    printf("%.1f %.1f\n", windowGone < 0 ? limit : windowGone,
           processGone < 0 ? limit : processGone);
    XCloseDisplay(display);
    return late;
}
