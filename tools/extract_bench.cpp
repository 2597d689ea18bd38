// extract-bench ARCHIVE TARGET RUNS: extracts ARCHIVE into TARGET RUNS times with the installer's
// own extraction and prints each run's time in milliseconds ("run_ms: X"); then checks the archive
// it carries itself as the installer does at start, RUNS times ("integrity_ms: X").
#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "archive.h"
#include "payload.h"

int main(int argc, char** argv) {
    if (argc != 4) {
        fprintf(stderr, "usage: extract-bench ARCHIVE TARGET RUNS\n");
        return 2;
    }
    int runs = atoi(argv[3]);
    LARGE_INTEGER freq, start, end;
    QueryPerformanceFrequency(&freq);
    auto ms = [&] {
        return 1000.0 * double(end.QuadPart - start.QuadPart) / double(freq.QuadPart);
    };
    for (int i = 0; i < runs; i++) {
        QueryPerformanceCounter(&start);
        ExtractResult result;
        int rc = ExtractArchive(argv[1], argv[2], &result);
        QueryPerformanceCounter(&end);
        if (rc != 1) {
            fprintf(stderr, "extract-bench: extraction failed (%d) at %s\n", rc,
                    result.entry.c_str());
            return 1;
        }
        printf("run_ms: %.1f\n", ms());
    }
    for (int i = 0; i < runs; i++) {
        QueryPerformanceCounter(&start);
        PayloadBytes payload;
        bool intact = LoadEmbeddedPayload(&payload) && PayloadIntact(payload);
        QueryPerformanceCounter(&end);
        if (!intact) {
            fprintf(stderr, "extract-bench: the carried archive fails its check\n");
            return 1;
        }
        printf("integrity_ms: %.1f (%zu bytes)\n", ms(), payload.size);
    }
    return 0;
}
