/* Watches a rectangle of the X screen every few milliseconds and prints how many of its pixels
 * are red (red above green by more than 60) each time that number changes, one line
 * "<milliseconds since start> <red pixels>". Fast enough to follow a fade of 20 ms steps, which
 * a screenshot tool is not.
 *
 *   red_watch X Y W H LIMIT_MS [AT_MOST]
 *
 * With AT_MOST it exits 0 as soon as the count is at most AT_MOST and 1 when LIMIT_MS passes
 * first; without it, it watches for LIMIT_MS and exits 0. Exit 2: no display or bad arguments. */
#define _POSIX_C_SOURCE 200809L
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <stdio.h>
#include <stdlib.h>
#include <time.h>

static long NowMs(void) {
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1000L + t.tv_nsec / 1000000L;
}

static int RedPixels(Display* display, Window root, int x, int y, int w, int h) {
    XImage* image = XGetImage(display, root, x, y, (unsigned)w, (unsigned)h, AllPlanes, ZPixmap);
    if (!image) return -1;
    int red = 0;
    for (int row = 0; row < h; row++)
        for (int col = 0; col < w; col++) {
            unsigned long p = XGetPixel(image, col, row);
            int r = (int)((p >> 16) & 0xFF), g = (int)((p >> 8) & 0xFF);
            red += r - g > 60;
        }
    XDestroyImage(image);
    return red;
}

int main(int argc, char** argv) {
    if (argc != 6 && argc != 7) {
        fprintf(stderr, "usage: red_watch X Y W H LIMIT_MS [AT_MOST]\n");
        return 2;
    }
    int x = atoi(argv[1]), y = atoi(argv[2]), w = atoi(argv[3]), h = atoi(argv[4]);
    long limit = atol(argv[5]);
    int atMost = argc == 7 ? atoi(argv[6]) : -1;
    Display* display = XOpenDisplay(NULL);
    if (!display || w <= 0 || h <= 0) return 2;
    Window root = DefaultRootWindow(display);
    long start = NowMs();
    int last = -2;
    for (;;) {
        long t = NowMs() - start;
        int red = RedPixels(display, root, x, y, w, h);
        if (red != last) {
            printf("%ld %d\n", t, red);
            fflush(stdout);
            last = red;
        }
        if (atMost >= 0 && red >= 0 && red <= atMost) break;
        if (t >= limit) {
            XCloseDisplay(display);
            return atMost >= 0 ? 1 : 0;
        }
        struct timespec pause = {0, 3 * 1000000L};
        nanosleep(&pause, NULL);
    }
    XCloseDisplay(display);
    return 0;
}
