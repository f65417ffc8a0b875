/*
 * Runs programs as a web server runs a CGI process, over and over, and
 * reports for each its median wall time and its peak resident memory.
 *
 *   request_cost_runner ROUNDS [NAME=VALUE...] CMD [ARGS...] [-- [NAME=VALUE...] CMD [ARGS...]]...
 *
 * Leading NAME=VALUE words set variables of that command's environment only,
 * as env(1) would, without another program between the runner and the command.
 * Each round runs every command once, in turn, so that a drift of the
 * machine's load touches all of them alike. Standard input and output are
 * /dev/null; the environment is the runner's own. A run that does not end
 * with status 0 stops the runner. One line per command:
 *   MEDIAN_MICROSECONDS PEAK_RSS_KIB
 * (the peak of ru_maxrss over the runs, which covers the processes that a
 * run waited for, such as shells started with system()). Linux (6.2 on)
 * counts a process's file and anonymous pages per CPU and folds them into
 * the total in batches of 32 pages or more, and ru_maxrss reads the total:
 * it can be off by up to a batch (128 KiB) per kind, fewer than a batch of
 * anonymous pages may not show at all, and a page more or less can move the
 * peak by a whole batch. /proc/PID/smaps at exit has the exact figures.
 */
#define _GNU_SOURCE
#include <fcntl.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/ptrace.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#define TRACED_RUNS 5

struct Command {
    char **argv;
    double *samples;
    long peakKib;
    long exitKib;
};

static double elapsedMicroseconds(const struct timespec *start, const struct timespec *end)
{
    return (double)(end->tv_sec - start->tv_sec) * 1e6 + (double)(end->tv_nsec - start->tv_nsec) / 1e3;
}

/* In the child: the command's own variables, then the command itself. */
static void execCommand(char **argv)
{
    while (*argv && strchr(*argv, '='))
        putenv(*argv++);
    execvp(argv[0], argv);
    _exit(127);
}

/* One run; returns 0 when the program ended with status 0. */
static int runOnce(struct Command *command, int round, int nullFd)
{
    struct timespec start, end;
    clock_gettime(CLOCK_MONOTONIC, &start);
    pid_t child = fork();
    if (child == 0) {
        dup2(nullFd, STDIN_FILENO);
        dup2(nullFd, STDOUT_FILENO);
        execCommand(command->argv);
    }
    int status;
    struct rusage usage;
    if (child < 0 || wait4(child, &status, 0, &usage) != child)
        return -1;
    clock_gettime(CLOCK_MONOTONIC, &end);
    command->samples[round] = elapsedMicroseconds(&start, &end);
    if (usage.ru_maxrss > command->peakKib)
        command->peakKib = usage.ru_maxrss;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? 0 : -1;
}

/* The Rss line of /proc/PID/smaps_rollup in KiB; -1 when it cannot be read. */
static long residentKib(pid_t pid)
{
    char path[64], line[256];
    long kib = -1;
    snprintf(path, sizeof path, "/proc/%d/smaps_rollup", (int)pid);
    FILE *rollup = fopen(path, "r");
    if (!rollup)
        return -1;
    while (fgets(line, sizeof line, rollup))
        if (sscanf(line, "Rss: %ld kB", &kib) == 1)
            break;
    fclose(rollup);
    return kib;
}

/* One untimed run, stopped as it exits to count its resident pages; 0 on success. */
static int measureAtExit(struct Command *command, int nullFd)
{
    pid_t child = fork();
    if (child == 0) {
        dup2(nullFd, STDIN_FILENO);
        dup2(nullFd, STDOUT_FILENO);
        ptrace(PTRACE_TRACEME, 0, NULL, NULL);
        execCommand(command->argv);
    }
    if (child < 0)
        return -1;
    int status;
    /* The first stop is the exec. */
    if (waitpid(child, &status, 0) != child || !WIFSTOPPED(status))
        return -1;
    ptrace(PTRACE_SETOPTIONS, child, NULL, (void *)(long)PTRACE_O_TRACEEXIT);
    ptrace(PTRACE_CONT, child, NULL, NULL);
    while (waitpid(child, &status, 0) == child && WIFSTOPPED(status)) {
        int signal = WSTOPSIG(status);
        if (status >> 8 == (SIGTRAP | (PTRACE_EVENT_EXIT << 8))) {
            long kib = residentKib(child);
            if (kib < 0)
                return -1;
            if (kib > command->exitKib)
                command->exitKib = kib;
            signal = 0;
        }
        ptrace(PTRACE_CONT, child, NULL, (void *)(long)signal);
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? 0 : -1;
}

static int compareSamples(const void *a, const void *b)
{
    double x = *(const double *)a, y = *(const double *)b;
    return (x > y) - (x < y);
}

int main(int argc, char **argv)
{
    if (argc < 3 || atoi(argv[1]) < 1) {
        fprintf(stderr, "usage: %s ROUNDS [NAME=VALUE...] CMD [ARGS...] [-- [NAME=VALUE...] CMD [ARGS...]]...\n",
                argv[0]);
        return 2;
    }
    int rounds = atoi(argv[1]);
    struct Command commands[64];
    int count = 0;
    for (int i = 2; i < argc && count < 64; ++i) {
        commands[count].argv = &argv[i];
        commands[count].samples = calloc((size_t)rounds, sizeof(double));
        commands[count].peakKib = 0;
        commands[count].exitKib = -1;
        ++count;
        while (i < argc && strcmp(argv[i], "--") != 0)
            ++i;
        if (i < argc)
            argv[i] = NULL;
    }
    int nullFd = open("/dev/null", O_RDWR);
    if (nullFd < 0) {
        perror("/dev/null");
        return 1;
    }
    for (int round = 0; round < rounds; ++round) {
        for (int c = 0; c < count; ++c) {
            if (runOnce(&commands[c], round, nullFd) != 0) {
                fprintf(stderr, "%s failed\n", commands[c].argv[0]);
                return 1;
            }
        }
    }
    for (int run = 0; run < TRACED_RUNS; ++run) {
        for (int c = 0; c < count; ++c) {
            if (measureAtExit(&commands[c], nullFd) != 0) {
                fprintf(stderr, "%s failed when traced\n", commands[c].argv[0]);
                return 1;
            }
        }
    }
    for (int c = 0; c < count; ++c) {
        qsort(commands[c].samples, (size_t)rounds, sizeof(double), compareSamples);
        double median = rounds % 2 ? commands[c].samples[rounds / 2]
                                   : (commands[c].samples[rounds / 2 - 1] + commands[c].samples[rounds / 2]) / 2;
        printf("%.0f %ld %ld\n", median, commands[c].peakKib, commands[c].exitKib);
    }
    return 0;
}
