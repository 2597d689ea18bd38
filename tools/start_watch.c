/* Starts a program and times, from outside, how long its window takes to show on the screen
 * painted:
 *
 *   start_watch [-l MASK | -m MASK] X Y W H LIMIT_MS QUIET_MS PROGRAM [ARGUMENT...]
 *
 * The screen rectangle (X, Y, W, H), where the window will lie, is read every few milliseconds from
 * the moment PROGRAM is started until LIMIT_MS have passed; its last picture is the painted
 * window. Points that change during the last QUIET_MS belong to an animation and are left out, and
 * so are those set in the file MASK given with -m; -l writes the points that changed during the
 * quiet time to MASK instead (a long run with a long quiet time learns where the animations are:
 * some of them repaint their whole panel only every second or so). Prints the milliseconds from
 * the start until the rectangle showed that picture and kept it, then ends the program (SIGTERM,
 * SIGKILL after two seconds) and waits for it. Exit 1 when most of the rectangle moves, 2 on bad
 * arguments, without a display or when PROGRAM cannot be started. With START_WATCH_VERBOSE set,
 * every picture that differed from the one before is listed on standard error: its time, how many
 * still points differ from the last picture and how many changed. */
#define _POSIX_C_SOURCE 200809L
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <fcntl.h>
#include <signal.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

enum { kStep = 3 }; /* every third point of every third row: small samples, fine enough */

static double NowMs(void) {
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1000.0 + t.tv_nsec / 1e6;
}

typedef struct {
    double at;
    uint32_t* points;
} Sample;

/* The points of the rectangle as the screen shows them now; 0 when it cannot be read. */
static int Read(Display* display, Window root, int x, int y, int w, int h, uint32_t* points) {
    XImage* image = XGetImage(display, root, x, y, (unsigned)w, (unsigned)h, AllPlanes, ZPixmap);
    if (!image) return 0;
    size_t n = 0;
    for (int row = 0; row < h; row += kStep)
        for (int col = 0; col < w; col += kStep)
            points[n++] = image->bits_per_pixel == 32
                              ? ((uint32_t*)(image->data + (size_t)row * image->bytes_per_line))[col]
                              : (uint32_t)XGetPixel(image, col, row);
    XDestroyImage(image);
    return 1;
}

static pid_t Start(char** argv) {
    pid_t pid = fork();
    if (pid == 0) {
        int null = open("/dev/null", O_RDWR);
        if (null >= 0) {
            dup2(null, 0);
            dup2(null, 1);
            dup2(null, 2);
        }
        execvp(argv[0], argv);
        _exit(127);
    }
    return pid;
}

static void End(pid_t pid) {
    kill(pid, SIGTERM);
    const double asked = NowMs();
    const struct timespec pause = {0, 10000000L};
    while (waitpid(pid, NULL, WNOHANG) == 0) {
        if (NowMs() - asked > 2000) {
            kill(pid, SIGKILL);
            waitpid(pid, NULL, 0);
            return;
        }
        nanosleep(&pause, NULL);
    }
}

int main(int argc, char** argv) {
    const char *learn = NULL, *mask = NULL;
    if (argc > 2 && (strcmp(argv[1], "-l") == 0 || strcmp(argv[1], "-m") == 0)) {
        *(argv[1][1] == 'l' ? &learn : &mask) = argv[2];
        argc -= 2;
        argv += 2;
    }
    if (argc < 8) {
        fprintf(stderr,
                "usage: start_watch [-l MASK | -m MASK] X Y W H LIMIT_MS QUIET_MS PROGRAM "
                "[ARGUMENT...]\n");
        return 2;
    }
    const int x = atoi(argv[1]), y = atoi(argv[2]), w = atoi(argv[3]), h = atoi(argv[4]);
    const double limit = atof(argv[5]), quiet = atof(argv[6]);
    Display* display = XOpenDisplay(NULL);
    if (!display || w <= 0 || h <= 0 || quiet <= 0 || quiet >= limit) return 2;
    Window root = DefaultRootWindow(display);
    const size_t count = (size_t)((w + kStep - 1) / kStep) * (size_t)((h + kStep - 1) / kStep);

    /* Only the samples that differ from the one before are kept. */
    size_t kept = 0, room = 64;
    Sample* samples = malloc(room * sizeof(Sample));
    uint32_t* now = malloc(count * sizeof(uint32_t));
    if (!samples || !now) return 2;
    const double start = NowMs();
    pid_t pid = Start(argv + 7);
    if (pid < 0) return 2;
    const struct timespec pause = {0, 1000000L};
    for (double t = 0; t < limit; t = NowMs() - start) {
        if (Read(display, root, x, y, w, h, now) &&
            (kept == 0 || memcmp(now, samples[kept - 1].points, count * sizeof(uint32_t)) != 0)) {
            if (kept == room) samples = realloc(samples, (room *= 2) * sizeof(Sample));
            samples[kept].at = t;
            samples[kept].points = malloc(count * sizeof(uint32_t));
            if (!samples || !samples[kept].points) return 2;
            memcpy(samples[kept++].points, now, count * sizeof(uint32_t));
        }
        nanosleep(&pause, NULL);
    }
    End(pid);
    XCloseDisplay(display);
    if (kept == 0) return 2;

    /* Points that change during the quiet time belong to an animation. */
    const uint32_t* last = samples[kept - 1].points;
    char* moving = calloc(count, 1);
    if (!moving) return 2;
    for (size_t k = kept - 1; k >= 1 && samples[k].at >= limit - quiet; k--)
        for (size_t n = 0; n < count; n++)
            moving[n] |= samples[k].points[n] != samples[k - 1].points[n];
    FILE* file = learn || mask ? fopen(learn ? learn : mask, learn ? "wb" : "rb") : NULL;
    if ((learn || mask) && !file) return 2;
    if (learn && fwrite(moving, 1, count, file) != count) return 2;
    if (mask) {
        char* more = malloc(count);
        if (!more || fread(more, 1, count, file) != count) return 2;
        for (size_t n = 0; n < count; n++) moving[n] |= more[n];
    }
    if (file) fclose(file);
    size_t still = 0;
    for (size_t n = 0; n < count; n++) still += !moving[n];
    if (still < count / 2) return 1; /* the window never came to rest */
    /* The first sample from which every other point shows its last value for good. */
    size_t first = kept - 1;
    while (first >= 1) {
        const uint32_t* before = samples[first - 1].points;
        int same = 1;
        for (size_t n = 0; n < count && same; n++) same = moving[n] || before[n] == last[n];
        if (!same) break;
        first--;
    }
    if (getenv("START_WATCH_VERBOSE"))
        for (size_t k = 0; k < kept; k++) {
            size_t off = 0, mov = 0;
            for (size_t n = 0; n < count; n++) {
                off += !moving[n] && samples[k].points[n] != last[n];
                mov += moving[n];
            }
            size_t step = 0;
            for (size_t n = 0; k > 0 && n < count; n++)
                step += samples[k].points[n] != samples[k - 1].points[n];
            fprintf(stderr, "%8.1f ms: %zu points from the last picture (%zu moving), %zu changed\n",
                    samples[k].at, off, mov, step);
        }
    printf("%.1f\n", samples[first].at);
    return 0;
}
