// What the bench programs share: their arguments, the start on a go line, the clock.
#pragma once

#include <windows.h>

#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

struct BenchArgs {
    const char *source;
    int32_t pieceSize; // bytes
    const char *outDir;
    int wait;   // --wait: print "ready" once set up, start on a line from standard input
    int option; // which of the program's own flags was given: 1 for the first of them, 2 for the second ...
};

// PROGRAM SOURCE SIZE OUTDIR [--wait] [OPTION]; OPTION one of the program's own flags, given as
// "--first-start|--cancel" (NULL for none). 0 after printing the usage.
static inline int ReadBenchArgs(int argc, char **argv, BenchArgs *args, const char *options)
{
    memset(args, 0, sizeof *args);
    int ok = argc >= 4;
    if (ok) {
        args->source = argv[1];
        args->pieceSize = atoi(argv[2]);
        args->outDir = argv[3];
        ok = args->pieceSize > 0;
    }
    for (int i = 4; ok && i < argc; i++) {
        size_t length = strlen(argv[i]);
        int index = 1;
        const char *flag = options;
        while (flag != NULL && !(strncmp(flag, argv[i], length) == 0 && (flag[length] == '|' || flag[length] == '\0')))
            flag = strchr(flag, '|'), flag = flag != NULL ? flag + 1 : NULL, index++;
        if (strcmp(argv[i], "--wait") == 0)
            args->wait = 1;
        else if (flag != NULL && length > 0)
            args->option = index;
        else
            ok = 0;
    }
    if (!ok)
        fprintf(stderr, "usage: %s SOURCE SIZE OUTDIR [--wait]%s%s%s\n", argv[0], options ? " [" : "",
                options ? options : "", options ? "]" : "");
    return ok;
}

// With --wait the caller empties OUTDIR between "ready" and the go line, right before the run,
// as it does for the native tools: Wine's start-up then does not change what the run meets.
static inline int WaitForGo(const BenchArgs *args)
{
    if (!args->wait)
        return 1;
    printf("ready\n");
    fflush(stdout);
    char line[16];
    return fgets(line, sizeof line, stdin) != NULL;
}

static inline double Seconds(void)
{
    LARGE_INTEGER frequency, now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&now);
    return (double)now.QuadPart / (double)frequency.QuadPart;
}

static inline void PrintSeconds(double seconds)
{
    printf("seconds %.6f\n", seconds);
    fflush(stdout);
}
