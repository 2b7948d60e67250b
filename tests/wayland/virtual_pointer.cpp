// A mouse for the Wayland tests, where there is no uinput: one virtual pointer
// (zwlr_virtual_pointer_v1) for the whole test, so that the seat's pointer does not come and go,
// performing the steps of each line read from stdin, each handled by the compositor before the
// next; "done" on stdout when a line's steps are.
//   at X Y          moves the pointer to X Y of the layout (WIDTHxHEIGHT from --layout)
//   by DX DY        moves the pointer by DX DY
//   press BUTTON    left, middle or right
//   release BUTTON
//   pause MS        paces the steps like a hand
// Usage: virtual_pointer --layout WIDTHxHEIGHT
#include <linux/input-event-codes.h>
#include <wayland-client.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "wlr-virtual-pointer-unstable-v1-client.h"

namespace {

zwlr_virtual_pointer_manager_v1* manager = nullptr;
wl_seat* seat = nullptr;

void Global(void*, wl_registry* registry, std::uint32_t name, const char* interface, std::uint32_t) {
    if (std::strcmp(interface, zwlr_virtual_pointer_manager_v1_interface.name) == 0)
        manager = static_cast<zwlr_virtual_pointer_manager_v1*>(
            wl_registry_bind(registry, name, &zwlr_virtual_pointer_manager_v1_interface, 1));
    else if (std::strcmp(interface, wl_seat_interface.name) == 0 && !seat)
        seat = static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
}
void GlobalRemove(void*, wl_registry*, std::uint32_t) {}
constexpr wl_registry_listener kRegistry{Global, GlobalRemove};

std::uint32_t Now() {
    using namespace std::chrono;
    return static_cast<std::uint32_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

[[noreturn]] void Fail(const std::string& message) {
    std::fprintf(stderr, "virtual_pointer: %s\n", message.c_str());
    std::exit(2);
}

std::uint32_t ButtonNamed(const std::string& name) {
    if (name == "left") return BTN_LEFT;
    if (name == "middle") return BTN_MIDDLE;
    if (name == "right") return BTN_RIGHT;
    Fail("no button \"" + name + "\"");
}

// The next word of a step, or a failure naming what is missing.
std::string Word(const std::vector<std::string>& words, std::size_t& next, const char* what) {
    if (next >= words.size()) Fail(std::string("a step lacks its ") + what);
    return words[next++];
}

int Number(const std::vector<std::string>& words, std::size_t& next) {
    const std::string word = Word(words, next, "number");
    char* end = nullptr;
    const long value = std::strtol(word.c_str(), &end, 10);
    if (word.empty() || *end) Fail("not a number: " + word);
    return static_cast<int>(value);
}

} // namespace

int main(int argc, char** argv) {
    unsigned width = 0, height = 0;
    if (argc != 3 || std::strcmp(argv[1], "--layout") != 0 || std::sscanf(argv[2], "%ux%u", &width, &height) != 2)
        Fail("usage: virtual_pointer --layout WIDTHxHEIGHT, steps on stdin");
    wl_display* display = wl_display_connect(nullptr);
    if (!display) Fail("no Wayland display");
    wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &kRegistry, nullptr);
    wl_display_roundtrip(display);
    if (!manager) Fail("the compositor offers no zwlr_virtual_pointer_manager_v1");
    zwlr_virtual_pointer_v1* pointer = zwlr_virtual_pointer_manager_v1_create_virtual_pointer(manager, seat);
    wl_display_roundtrip(display);
    std::cout << "ready" << std::endl;

    for (std::string line; std::getline(std::cin, line);) {
        std::istringstream split(line);
        std::vector<std::string> words;
        for (std::string word; split >> word;) words.push_back(word);
        for (std::size_t next = 0; next < words.size();) {
            const std::string step = words[next++];
            if (step == "at") {
                const int x = Number(words, next), y = Number(words, next);
                zwlr_virtual_pointer_v1_motion_absolute(pointer, Now(), x, y, width, height);
            } else if (step == "by") {
                const int dx = Number(words, next), dy = Number(words, next);
                zwlr_virtual_pointer_v1_motion(pointer, Now(), wl_fixed_from_int(dx), wl_fixed_from_int(dy));
            } else if (step == "press" || step == "release") {
                zwlr_virtual_pointer_v1_button(pointer, Now(), ButtonNamed(Word(words, next, "button")),
                                               step == "press" ? WL_POINTER_BUTTON_STATE_PRESSED
                                                               : WL_POINTER_BUTTON_STATE_RELEASED);
            } else if (step == "pause") {
                std::this_thread::sleep_for(std::chrono::milliseconds(Number(words, next)));
                continue;
            } else {
                Fail("unknown step \"" + step + "\"");
            }
            zwlr_virtual_pointer_v1_frame(pointer);
            if (wl_display_roundtrip(display) < 0) Fail("lost the Wayland display");
        }
        std::cout << "done" << std::endl;
    }
    zwlr_virtual_pointer_v1_destroy(pointer);
    wl_display_roundtrip(display);
    wl_display_disconnect(display);
    return 0;
}
