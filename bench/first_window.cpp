// Starts a program on the X display and times it to its first window: from the start to the
// window being mapped, and to its first pixels drawn (seen through the DAMAGE extension); and
// counts the shared libraries the program has mapped when its window is mapped. Then ends the
// program (SIGTERM). No window manager may run: the window must be mapped by the program.
//   first_window PROGRAM [ARG...]
// Prints: mapped_ms=M painted_ms=P libraries=N (painted_ms=-1 without DAMAGE).
#include <xcb/xcb.h>
#include <xcb/xcbext.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <poll.h>
#include <set>
#include <signal.h>
#include <spawn.h>
#include <string>
#include <sys/uio.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

extern char** environ;

namespace {

xcb_extension_t damageExtension = {"DAMAGE", 0};
constexpr uint8_t kDamageQueryVersion = 0, kDamageCreate = 1, kReportNonEmpty = 3;

double nowMs()
{
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

// One request of the DAMAGE extension, whose body follows the 4-byte header xcb fills in.
unsigned damageRequest(xcb_connection_t* c, uint8_t opcode, const void* request, size_t size,
                       bool isVoid)
{
    const xcb_protocol_request_t how = {1, &damageExtension, opcode, uint8_t(isVoid)};
    iovec parts[3] = {};
    parts[2].iov_base = const_cast<void*>(request);
    parts[2].iov_len = size;
    return xcb_send_request(c, isVoid ? 0 : XCB_REQUEST_CHECKED, parts + 2, &how);
}

// Whether the server has DAMAGE; its first event code then.
bool damageReady(xcb_connection_t* c, uint8_t& firstEvent)
{
    const xcb_query_extension_reply_t* ext = xcb_get_extension_data(c, &damageExtension);
    if (!ext || !ext->present)
        return false;
    firstEvent = ext->first_event;
    struct
    {
        uint8_t major, minor;
        uint16_t length;
        uint32_t clientMajor, clientMinor;
    } version = {0, kDamageQueryVersion, 0, 1, 1};
    xcb_generic_error_t* error = nullptr;
    free(xcb_wait_for_reply(
        c, damageRequest(c, kDamageQueryVersion, &version, sizeof version, false), &error));
    const bool ok = !error;
    free(error);
    return ok;
}

void watchDamage(xcb_connection_t* c, xcb_window_t window)
{
    struct
    {
        uint8_t major, minor;
        uint16_t length;
        uint32_t damage, drawable;
        uint8_t level, pad[3];
    } create = {0, kDamageCreate, 0, xcb_generate_id(c), window, kReportNonEmpty, {}};
    damageRequest(c, kDamageCreate, &create, sizeof create, true);
    xcb_flush(c);
}

// The shared libraries a process has mapped, each file once.
int sharedLibraries(pid_t pid)
{
    std::ifstream maps("/proc/" + std::to_string(pid) + "/maps");
    std::set<std::string> files;
    for (std::string line; std::getline(maps, line);) {
        const size_t path = line.find('/');
        if (path == std::string::npos)
            continue;
        const std::string file = line.substr(path);
        const std::string name = file.substr(file.rfind('/') + 1);
        const size_t so = name.find(".so");
        if (so != std::string::npos && (so + 3 == name.size() || name[so + 3] == '.'))
            files.insert(file);
    }
    return int(files.size());
}

void endProgram(pid_t pid)
{
    kill(pid, SIGTERM);
    for (int i = 0; i < 100; ++i) {
        if (waitpid(pid, nullptr, WNOHANG) == pid)
            return;
        usleep(50000);
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: first_window PROGRAM [ARG...]\n");
        return 2;
    }
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c)) {
        std::fprintf(stderr, "first_window: no X display\n");
        return 2;
    }
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    if (xcb_generic_error_t* e = xcb_request_check(
            c, xcb_change_window_attributes_checked(c, root, XCB_CW_EVENT_MASK, &mask))) {
        std::fprintf(stderr,
                     "first_window: another client watches the screen (a window "
                     "manager?): error %d\n",
                     e->error_code);
        return 2;
    }
    uint8_t damageEvent = 0;
    const bool damage = damageReady(c, damageEvent);

    const double start = nowMs();
    pid_t pid = 0;
    if (const int e = posix_spawnp(&pid, argv[1], nullptr, nullptr, argv + 1, environ)) {
        std::fprintf(stderr, "first_window: cannot start %s: %s\n", argv[1], std::strerror(e));
        return 2;
    }
    double mapped = -1, painted = -1;
    int libraries = 0;
    xcb_window_t window = XCB_NONE;
    const int fd = xcb_get_file_descriptor(c);
    while (painted < 0 && nowMs() - start < 30000) {
        std::unique_ptr<xcb_generic_event_t, decltype(&free)> event(xcb_poll_for_event(c), &free);
        if (!event) {
            if (xcb_connection_has_error(c) || waitpid(pid, nullptr, WNOHANG) == pid)
                break;
            pollfd p = {fd, POLLIN, 0};
            poll(&p, 1, 100);
            continue;
        }
        const uint8_t type = event->response_type & 0x7f;
        if (type == XCB_CREATE_NOTIFY) {
            const auto* e = reinterpret_cast<xcb_create_notify_event_t*>(event.get());
            if (damage && !e->override_redirect)
                watchDamage(c, e->window);
        } else if (type == XCB_MAP_NOTIFY && mapped < 0) {
            const auto* e = reinterpret_cast<xcb_map_notify_event_t*>(event.get());
            if (e->override_redirect)
                continue;
            mapped = nowMs() - start;
            window = e->window;
            libraries = sharedLibraries(pid);
            if (!damage)
                break;
        } else if (damage && type == damageEvent && mapped >= 0) {
            uint32_t drawable = 0; // after the type, level and sequence number
            std::memcpy(&drawable, reinterpret_cast<const char*>(event.get()) + 4, 4);
            if (drawable == window)
                painted = nowMs() - start;
        }
    }
    endProgram(pid);
    xcb_disconnect(c);
    if (mapped < 0) {
        std::fprintf(stderr, "first_window: %s showed no window\n", argv[1]);
        return 1;
    }
    std::printf("mapped_ms=%.1f painted_ms=%.1f libraries=%d\n", mapped, painted, libraries);
    return 0;
}
