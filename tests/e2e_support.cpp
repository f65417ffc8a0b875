#include "e2e_support.h"

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

extern char **environ;

const char CLISH_SCRIPT_END[] = "--- end of script ---\n";

namespace {

const char *const CGI_VARIABLES[] = {"REQUEST_METHOD", "QUERY_STRING", "CONTENT_LENGTH",
                                     "CONTENT_TYPE"};
const char UPLOAD_BOUNDARY[] = "----onuSimUploadBoundary5f3a9c";

std::string stateFolder()
{
    const char *state = std::getenv("ONU_SIM_STATE");
    return state ? state : "";
}

bool sameFile(const std::string &a, const std::string &b)
{
    struct stat first, second;
    return stat(a.c_str(), &first) == 0 && stat(b.c_str(), &second) == 0 &&
           first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

// The file system type mounted last at the mount point decides.
bool overlayAt(const std::string &mountPoint)
{
    std::ifstream mounts("/proc/self/mountinfo");
    std::string line;
    bool overlay = false;
    while (std::getline(mounts, line)) {
        std::istringstream fields(line);
        std::string field, point;
        for (int i = 0; i < 5 && fields >> field; ++i)
            point = field;
        if (point != mountPoint)
            continue;
        while (fields >> field && field != "-") {
        }
        overlay = fields >> field && field == "overlay";
    }
    return overlay;
}

void requireUnit()
{
    if (insideUnit())
        return;
    std::fprintf(stderr, "end-to-end tests run only inside the simulated unit, where the device "
                         "paths are not the host's: sim/onu-sim run ctest --test-dir build\n");
    std::exit(1);
}

int exitStatus(int waitStatus)
{
    if (WIFEXITED(waitStatus))
        return WEXITSTATUS(waitStatus);
    return WIFSIGNALED(waitStatus) ? 128 + WTERMSIG(waitStatus) : -1;
}

// Sanitizer builds report memory errors, leaks and undefined behaviour on
// standard error; such a report fails the test that ran the program.
void checkSanitizerReport(const std::string &program, const std::string &errors)
{
    if (errors.find("Sanitizer") != std::string::npos ||
        errors.find("runtime error:") != std::string::npos)
        ADD_FAILURE() << program << " reported on standard error:\n" << errors;
}

// Runs a program with the CGI variables replaced by the given NAME=value
// entries, the bytes as standard input, and collects its standard output.
// Its standard error is passed on and checked for sanitizer reports.
RunResult spawn(const std::vector<std::string> &arguments, const std::vector<std::string> &cgiEnv,
                const std::string &input)
{
    requireUnit();
    std::vector<std::string> environment;
    for (char **entry = environ; *entry; ++entry) {
        bool cgi = false;
        for (const char *name : CGI_VARIABLES)
            cgi = cgi || (std::strncmp(*entry, name, std::strlen(name)) == 0 &&
                          (*entry)[std::strlen(name)] == '=');
        if (!cgi)
            environment.push_back(*entry);
    }
    environment.insert(environment.end(), cgiEnv.begin(), cgiEnv.end());

    // Standard input from an unlinked file: no pipe to keep filled while the
    // program writes, whatever the sizes.
    FILE *inputFile = std::tmpfile();
    FILE *errorFile = std::tmpfile();
    int output[2];
    if (!inputFile || !errorFile || pipe(output) != 0) {
        std::perror("spawn");
        std::exit(1);
    }
    std::fwrite(input.data(), 1, input.size(), inputFile);
    std::fflush(inputFile);
    std::rewind(inputFile);

    pid_t child = fork();
    if (child == 0) {
        dup2(fileno(inputFile), STDIN_FILENO);
        dup2(output[1], STDOUT_FILENO);
        dup2(fileno(errorFile), STDERR_FILENO);
        close(output[0]);
        close(output[1]);
        std::vector<char *> argv, envp;
        for (const std::string &argument : arguments)
            argv.push_back(const_cast<char *>(argument.c_str()));
        argv.push_back(nullptr);
        for (const std::string &entry : environment)
            envp.push_back(const_cast<char *>(entry.c_str()));
        envp.push_back(nullptr);
        execve(argv[0], argv.data(), envp.data());
        std::perror(argv[0]);
        _exit(127);
    }
    close(output[1]);
    std::fclose(inputFile);
    RunResult result{"", -1};
    char buffer[4096];
    ssize_t count;
    while ((count = read(output[0], buffer, sizeof buffer)) > 0)
        result.output.append(buffer, static_cast<size_t>(count));
    close(output[0]);
    int waitStatus = 0;
    if (child > 0 && waitpid(child, &waitStatus, 0) == child)
        result.status = exitStatus(waitStatus);
    std::string errors;
    std::rewind(errorFile);
    while ((count = read(fileno(errorFile), buffer, sizeof buffer)) > 0)
        errors.append(buffer, static_cast<size_t>(count));
    std::fclose(errorFile);
    std::fputs(errors.c_str(), stderr);
    checkSanitizerReport(arguments.back(), errors);
    return result;
}

// The emulator's words before a program of a build for another processor
// (set by the unit's launcher); none in a build for the host.
std::vector<std::string> emulatorWords()
{
    const char *emulator = std::getenv("ONU_SIM_EMULATOR");
    std::istringstream text(emulator ? emulator : "");
    std::vector<std::string> words;
    for (std::string word; text >> word;)
        words.push_back(word);
    return words;
}

RunResult runCgiWith(const std::vector<std::string> &cgiEnv, const std::string &body)
{
    std::vector<std::string> arguments = emulatorWords();
    arguments.push_back(std::string(ONU_BUILD_DIR) + "/onu-cgi");
    return spawn(arguments, cgiEnv, body);
}

} // namespace

bool insideUnit()
{
    std::string state = stateFolder();
    if (state.empty())
        return false;
    for (const char *path : {"/var", "/tmp", "/dev", "/sys/devices/platform"})
        if (!sameFile(path, state + path))
            return false;
    return overlayAt("/etc") && overlayAt("/usr/sbin") &&
           (sameFile("/sbin", "/usr/sbin") || overlayAt("/sbin"));
}

void resetUnit()
{
    requireUnit();
    const char *home = std::getenv("ONU_SIM_HOME");
    std::string reset = std::string(home ? home : ONU_SOURCE_DIR "/sim") + "/reset";
    if (std::system(reset.c_str()) != 0) {
        std::fprintf(stderr, "%s failed: the unit cannot be brought back to its image\n",
                     reset.c_str());
        std::exit(1);
    }
}

RunResult runCgi(const std::string &query)
{
    return runCgiWith({"REQUEST_METHOD=GET", "QUERY_STRING=" + query}, "");
}

RunResult runCgiPost(const std::string &body)
{
    return runCgiWith({"REQUEST_METHOD=POST", "CONTENT_TYPE=application/x-www-form-urlencoded",
                       "CONTENT_LENGTH=" + std::to_string(body.size())},
                      body);
}

RunResult runCgiUpload(const std::string &query, const std::string &fileName,
                       const std::string &bytes)
{
    std::string boundary = UPLOAD_BOUNDARY;
    std::string body = "--" + boundary + "\r\n" +
                       "Content-Disposition: form-data; name=\"file\"; filename=\"" + fileName +
                       "\"\r\n" + "Content-Type: application/octet-stream\r\n\r\n" + bytes +
                       "\r\n--" + boundary + "--\r\n";
    return runCgiWith({"REQUEST_METHOD=POST", "QUERY_STRING=" + query,
                       "CONTENT_TYPE=multipart/form-data; boundary=" + boundary,
                       "CONTENT_LENGTH=" + std::to_string(body.size())},
                      body);
}

RunResult runProgram(const std::string &commandLine)
{
    return spawn({"/bin/sh", "-c", commandLine}, {}, "");
}

std::string programPath(const std::string &name)
{
    std::string command;
    for (const std::string &word : emulatorWords())
        command += word + " ";
    return command + ONU_BUILD_DIR + "/" + name;
}

std::string readFile(const std::string &path)
{
    requireUnit();
    std::ifstream file(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

bool fileExists(const std::string &path)
{
    requireUnit();
    struct stat info;
    return stat(path.c_str(), &info) == 0;
}

void writeFile(const std::string &path, const std::string &bytes)
{
    requireUnit();
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string statePath(const std::string &relative)
{
    requireUnit();
    return stateFolder() + "/" + relative;
}

std::string standInLog(const std::string &name)
{
    return readFile(statePath("log/" + name + ".log"));
}

std::vector<std::string> clishScripts()
{
    std::string log = standInLog("clish");
    std::vector<std::string> scripts;
    size_t start = 0, end;
    while ((end = log.find(CLISH_SCRIPT_END, start)) != std::string::npos) {
        scripts.push_back(log.substr(start, end - start));
        start = end + std::strlen(CLISH_SCRIPT_END);
    }
    return scripts;
}

std::string jsonReply(const std::string &body)
{
    return "HTTP/1.0 200 OK\r\nContent-Type: application/json\r\nConnection: close\r\n\r\n" + body +
           "\n";
}

std::string errorReply(int status, const std::string &message)
{
    const std::string code = std::to_string(status);
    return "HTTP/1.1 " + code + " " + message + "\nConnection:close\n\n<HTML><BODY><p>Error:" + code +
           " -- " + message + "</p></BODY></HTML>\n";
}

std::string laidDown(const std::string &root)
{
    return "<?xml version=\"1.0\"?>\n" + root + "\n";
}

std::string replaced(std::string text, const std::string &from, const std::string &to)
{
    return text.replace(text.find(from), from.size(), to);
}
