/*
 * Preloaded into every program of the simulated unit (LD_PRELOAD).
 *
 * 1. The optical transceiver: open("/dev/i2c-0") returns a descriptor that
 *    ioctl() treats as the Linux i2c-dev interface (I2C_SLAVE, I2C_SMBUS
 *    quick, byte and I2C-block transfers). A device answers at an address
 *    when $ONU_SIM_STATE/i2c-0/0xNN.hex holds its memory; the bus itself
 *    exists while the folder $ONU_SIM_STATE/i2c-0 does. Every transfer is
 *    logged to $ONU_SIM_STATE/log/i2c.log.
 * 2. The sysfs command nodes: a write-only regular file under
 *    /sys/devices/platform opened with O_TRUNC (the shell's "echo ... >")
 *    is opened for appending instead, so the node keeps every text written
 *    to it, in order.
 * 3. The shell commands: every text a program hands to system() is appended,
 *    followed by a line feed, to $ONU_SIM_STATE/log/system.log before it
 *    runs, so tests compare the exact command texts with what ran.
 *
 * Outside the unit (ONU_SIM_STATE unset) every call passes straight through.
 */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <linux/i2c-dev.h>
#include <linux/i2c.h>
#include <stdarg.h>
#include <stdlib.h>
#include <string.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#define BUS_PATH "/dev/i2c-0"
#define BUS_FOLDER "i2c-0"
#define COMMAND_NODE_PREFIX "/sys/devices/platform/"
#define MEMORY_SIZE 256
#define MAX_HANDLES 32

/* One open descriptor of the bus: the chosen device and its register pointer. */
struct BusHandle {
    int fd; /* -1 when the slot is free */
    unsigned address;
    unsigned char pointer;
};

static struct BusHandle handles[MAX_HANDLES];
static int handlesReady;

typedef int (*OpenFunction)(const char *, int, ...);
typedef int (*OpenAtFunction)(int, const char *, int, mode_t);

/*
 * What the wrapped calls pass through to. The C library exports its open and
 * close under these names too; openat and ioctl go to the kernel directly.
 * No dlsym: its error handling code would otherwise be mapped into every
 * program of the unit that opens a file, and counted against it.
 */
extern int __open(const char *path, int flags, ...);
extern int __open64(const char *path, int flags, ...);
extern int __close(int fd);

static int kernelOpenAt(int dirFd, const char *path, int flags, mode_t mode)
{
    return (int)syscall(SYS_openat, dirFd, path, flags, mode);
}

static int kernelOpenAt64(int dirFd, const char *path, int flags, mode_t mode)
{
    return (int)syscall(SYS_openat, dirFd, path, flags | O_LARGEFILE, mode);
}

static const char *stateFolder(void)
{
    const char *state = getenv("ONU_SIM_STATE");
    return state && *state ? state : NULL;
}

/*
 * The model formats its log lines and reads its memory files itself, without
 * stdio: every request of the unit that touches the bus would otherwise load
 * the C library's formatting and stream code only for the model's sake, and
 * the request-cost benchmark would count those pages against the program.
 */

/* Appends to text[0..size) at *used, always leaving a NUL. */
static void append(char *text, size_t size, size_t *used, const char *piece, size_t length)
{
    while (length-- > 0 && *used + 1 < size)
        text[(*used)++] = *piece++;
    text[*used] = '\0';
}

static void appendNumber(char *text, size_t size, size_t *used, unsigned long value, unsigned base, const char *digits,
                         int width)
{
    char reversed[24];
    int count = 0;
    do {
        reversed[count++] = digits[value % base];
        value /= base;
    } while (value > 0);
    while (count < width)
        reversed[count++] = '0';
    while (count > 0)
        append(text, size, used, &reversed[--count], 1);
}

/*
 * A small vsnprintf for the model's own lines: "%s", "%u", "%02x" and "%02X",
 * which is all they use.
 */
static void format(char *text, size_t size, const char *format, va_list args)
{
    size_t used = 0;
    text[0] = '\0';
    for (const char *p = format; *p; ++p) {
        if (*p != '%') {
            append(text, size, &used, p, 1);
            continue;
        }
        ++p;
        if (*p == 's') {
            const char *piece = va_arg(args, const char *);
            append(text, size, &used, piece, strlen(piece));
        } else if (*p == 'u') {
            appendNumber(text, size, &used, va_arg(args, unsigned), 10, "0123456789", 1);
        } else if (p[0] == '0' && p[1] == '2' && (p[2] == 'x' || p[2] == 'X')) {
            p += 2;
            appendNumber(text, size, &used, va_arg(args, unsigned), 16,
                         *p == 'x' ? "0123456789abcdef" : "0123456789ABCDEF", 2);
        }
    }
}

static void formatTo(char *text, size_t size, const char *pattern, ...)
{
    va_list args;
    va_start(args, pattern);
    format(text, size, pattern, args);
    va_end(args);
}

static int realOpen(const char *path, int flags, mode_t mode) { return __open(path, flags, mode); }

static void logLine(const char *pattern, ...)
{
    if (!stateFolder())
        return;
    char path[4096];
    formatTo(path, sizeof path, "%s/log/i2c.log", stateFolder());
    int log = realOpen(path, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (log < 0)
        return;
    char line[512];
    va_list args;
    va_start(args, pattern);
    format(line, sizeof line - 1, pattern, args);
    va_end(args);
    size_t length = strlen(line);
    line[length++] = '\n';
    ssize_t written = write(log, line, length);
    (void)written;
    __close(log);
}

static struct BusHandle *findHandle(int fd)
{
    if (!handlesReady)
        return NULL;
    for (int i = 0; i < MAX_HANDLES; ++i)
        if (handles[i].fd == fd)
            return &handles[i];
    return NULL;
}

static struct BusHandle *newHandle(int fd)
{
    if (!handlesReady) {
        for (int i = 0; i < MAX_HANDLES; ++i)
            handles[i].fd = -1;
        handlesReady = 1;
    }
    struct BusHandle *slot = findHandle(-1);
    if (slot) {
        slot->fd = fd;
        slot->address = 0;
        slot->pointer = 0;
    }
    return slot;
}

static int busPresent(void)
{
    char path[4096];
    struct stat info;
    formatTo(path, sizeof path, "%s/" BUS_FOLDER, stateFolder());
    return stat(path, &info) == 0 && S_ISDIR(info.st_mode);
}

/*
 * The length of the run at `p` free of the bytes in `stops`. (Not strcspn:
 * its vector version reads a table from the C library's read-only data, a
 * page the program being served may never touch otherwise.)
 */
static size_t spanUntil(const char *p, const char *stops)
{
    size_t n = 0;
    while (p[n] && !strchr(stops, p[n]))
        ++n;
    return n;
}

/*
 * Loads a device's memory from its hex text: bytes as hexadecimal tokens,
 * "NN:" moves to offset NN, "#" starts a comment. Unlisted bytes read 0.
 * Returns 0, or -1 when no device answers at that address.
 */
static int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

/* Reads a whole small file into text (NUL-terminated); -1 when it cannot be opened. */
static int readText(const char *path, char *text, size_t size)
{
    int fd = realOpen(path, O_RDONLY | O_CLOEXEC, 0);
    if (fd < 0)
        return -1;
    size_t used = 0;
    ssize_t got;
    while (used + 1 < size && (got = read(fd, text + used, size - 1 - used)) > 0)
        used += (size_t)got;
    text[used] = '\0';
    __close(fd);
    return 0;
}

/*
 * Loads a device's memory from its hex text: bytes as hexadecimal tokens,
 * "NN:" moves to offset NN, "#" starts a comment. Unlisted bytes read 0.
 * Returns 0, or -1 when no device answers at that address.
 */
static int loadMemory(unsigned address, unsigned char memory[MEMORY_SIZE])
{
    char path[4096];
    static char text[65536];
    formatTo(path, sizeof path, "%s/" BUS_FOLDER "/0x%02x.hex", stateFolder(), address);
    if (readText(path, text, sizeof text) != 0)
        return -1;
    memset(memory, 0, MEMORY_SIZE);
    unsigned offset = 0;
    for (char *p = text; *p;) {
        if (*p == '#') {
            p += spanUntil(p, "\n");
            continue;
        }
        size_t length = spanUntil(p, " \t\r\n#");
        if (length == 0) {
            ++p;
            continue;
        }
        /* A token: hexadecimal digits, optionally ending in ':'. */
        unsigned long value = 0;
        size_t digits = 0;
        while (digits < length && hexDigit(p[digits]) >= 0 && value <= 0xFFFF)
            value = value * 16 + (unsigned)hexDigit(p[digits++]);
        if (digits > 0 && digits + 1 == length && p[digits] == ':')
            offset = (unsigned)value % MEMORY_SIZE;
        else if (digits > 0 && digits == length && value <= 0xFF)
            memory[offset++ % MEMORY_SIZE] = (unsigned char)value;
        p += length;
    }
    return 0;
}

static void formatBytes(char *text, size_t size, const unsigned char *bytes, unsigned count)
{
    size_t used = 0;
    text[0] = '\0';
    for (unsigned i = 0; i < count; ++i) {
        append(text, size, &used, " ", 1);
        appendNumber(text, size, &used, bytes[i], 16, "0123456789ABCDEF", 2);
    }
}

static int fail(int error)
{
    errno = error;
    return -1;
}

static int smbusTransfer(struct BusHandle *handle, struct i2c_smbus_ioctl_data *request)
{
    const char *direction = request->read_write == I2C_SMBUS_READ ? "read" : "write";
    unsigned char memory[MEMORY_SIZE];
    if (loadMemory(handle->address, memory) != 0) {
        logLine("%s size %u 0x%02x reg 0x%02x -> no answer", direction, request->size, handle->address,
                request->command);
        return fail(ENXIO);
    }
    union i2c_smbus_data *data = request->data;
    switch (request->size) {
    case I2C_SMBUS_QUICK:
        logLine("quick %s 0x%02x", direction, handle->address);
        return 0;
    case I2C_SMBUS_BYTE:
        if (request->read_write == I2C_SMBUS_WRITE) {
            handle->pointer = request->command;
            logLine("write byte 0x%02x reg 0x%02x", handle->address, request->command);
            return 0;
        }
        if (!data)
            return fail(EINVAL);
        data->byte = memory[handle->pointer];
        logLine("read byte 0x%02x reg 0x%02x -> %02X", handle->address, handle->pointer, data->byte);
        ++handle->pointer;
        return 0;
    case I2C_SMBUS_I2C_BLOCK_BROKEN:
    case I2C_SMBUS_I2C_BLOCK_DATA: {
        if (request->read_write != I2C_SMBUS_READ)
            return fail(EOPNOTSUPP);
        if (!data)
            return fail(EINVAL);
        /* Like the kernel, the old block request always reads a full block. */
        unsigned length = request->size == I2C_SMBUS_I2C_BLOCK_BROKEN ? I2C_SMBUS_BLOCK_MAX : data->block[0];
        if (length == 0 || length > I2C_SMBUS_BLOCK_MAX)
            return fail(EINVAL);
        for (unsigned i = 0; i < length; ++i)
            data->block[1 + i] = memory[(request->command + i) % MEMORY_SIZE];
        data->block[0] = (unsigned char)length;
        handle->pointer = (unsigned char)(request->command + length);
        char text[4 * I2C_SMBUS_BLOCK_MAX + 1];
        formatBytes(text, sizeof text, data->block + 1, length);
        logLine("read block 0x%02x reg 0x%02x len %u ->%s", handle->address, request->command, length, text);
        return 0;
    }
    default:
        logLine("%s size %u 0x%02x reg 0x%02x -> not supported", direction, request->size, handle->address,
                request->command);
        return fail(EOPNOTSUPP);
    }
}

static int busIoctl(struct BusHandle *handle, unsigned long request, void *argument)
{
    switch (request) {
    case I2C_SLAVE:
    case I2C_SLAVE_FORCE: {
        unsigned long address = (unsigned long)argument;
        if (address > 0x7F)
            return fail(EINVAL);
        handle->address = (unsigned)address;
        logLine("slave 0x%02x", handle->address);
        return 0;
    }
    case I2C_SMBUS:
        if (!argument)
            return fail(EINVAL);
        return smbusTransfer(handle, argument);
    default:
        return fail(ENOTTY);
    }
}

static int openBus(int flags)
{
    if (!busPresent())
        return fail(ENOENT);
    int fd = realOpen("/dev/null", O_RDWR | (flags & O_CLOEXEC), 0);
    if (fd < 0)
        return fd;
    if (!newHandle(fd)) {
        __close(fd);
        return fail(EMFILE);
    }
    logLine("open " BUS_PATH);
    return fd;
}

/* A write-only node (as sysfs shows its command nodes) keeps every text. */
static int appendInsteadOfTruncate(const char *path, int flags)
{
    struct stat info;
    if (!(flags & O_TRUNC) || (flags & O_ACCMODE) == O_RDONLY ||
        strncmp(path, COMMAND_NODE_PREFIX, strlen(COMMAND_NODE_PREFIX)) != 0)
        return flags;
    if (stat(path, &info) != 0 || !S_ISREG(info.st_mode) || (info.st_mode & 0444) != 0)
        return flags;
    return (flags & ~O_TRUNC) | O_APPEND;
}

static int needsMode(int flags) { return (flags & O_CREAT) || (flags & O_TMPFILE) == O_TMPFILE; }

static int openCommon(OpenFunction next, const char *path, int flags, mode_t mode)
{
    if (stateFolder() && path) {
        if (strcmp(path, BUS_PATH) == 0)
            return openBus(flags);
        flags = appendInsteadOfTruncate(path, flags);
    }
    return next(path, flags, mode);
}

static int openAtCommon(OpenAtFunction next, int dirFd, const char *path, int flags, mode_t mode)
{
    if (stateFolder() && path && path[0] == '/') {
        if (strcmp(path, BUS_PATH) == 0)
            return openBus(flags);
        flags = appendInsteadOfTruncate(path, flags);
    }
    return next(dirFd, path, flags, mode);
}

#define TAKE_MODE(flags, mode)                                                                                         \
    do {                                                                                                               \
        if (needsMode(flags)) {                                                                                        \
            va_list args;                                                                                              \
            va_start(args, flags);                                                                                     \
            mode = va_arg(args, mode_t);                                                                               \
            va_end(args);                                                                                              \
        }                                                                                                              \
    } while (0)

int open(const char *path, int flags, ...)
{
    mode_t mode = 0;
    TAKE_MODE(flags, mode);
    return openCommon(__open, path, flags, mode);
}

int open64(const char *path, int flags, ...)
{
    mode_t mode = 0;
    TAKE_MODE(flags, mode);
    return openCommon(__open64, path, flags, mode);
}

int openat(int dirFd, const char *path, int flags, ...)
{
    mode_t mode = 0;
    TAKE_MODE(flags, mode);
    return openAtCommon(kernelOpenAt, dirFd, path, flags, mode);
}

int openat64(int dirFd, const char *path, int flags, ...)
{
    mode_t mode = 0;
    TAKE_MODE(flags, mode);
    return openAtCommon(kernelOpenAt64, dirFd, path, flags, mode);
}

/* The fortified entries that -D_FORTIFY_SOURCE builds call. */
int __open_2(const char *path, int flags) { return openCommon(__open, path, flags, 0); }

int __open64_2(const char *path, int flags) { return openCommon(__open64, path, flags, 0); }

int ioctl(int fd, unsigned long request, ...)
{
    va_list args;
    va_start(args, request);
    void *argument = va_arg(args, void *);
    va_end(args);
    struct BusHandle *handle = findHandle(fd);
    if (handle)
        return busIoctl(handle, request, argument);
    return (int)syscall(SYS_ioctl, fd, request, argument);
}

int close(int fd)
{
    struct BusHandle *handle = findHandle(fd);
    if (handle) {
        handle->fd = -1;
        logLine("close " BUS_PATH);
    }
    return __close(fd);
}

/*
 * The record is one write() on a descriptor opened for appending, so texts of
 * concurrent programs never interleave. system() itself is found once, on the
 * first call: only programs that run shell commands pay for the lookup.
 */
int system(const char *command)
{
    typedef int (*SystemFunction)(const char *);
    static SystemFunction next;
    if (!next)
        next = (SystemFunction)dlsym(RTLD_NEXT, "system");
    if (command && stateFolder()) {
        char path[4096];
        formatTo(path, sizeof path, "%s/log/system.log", stateFolder());
        int fd = realOpen(path, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
        if (fd >= 0) {
            size_t length = strlen(command);
            char *line = malloc(length + 1);
            if (line) {
                memcpy(line, command, length);
                line[length] = '\n';
                ssize_t written = write(fd, line, length + 1);
                (void)written;
                free(line);
            }
            __close(fd);
        }
    }
    return next(command);
}
