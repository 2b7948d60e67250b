// Polls the key state of a display on demand: each line read from stdin is one poll naming
// a virtual key in hex ("54"); the word of that key is printed in hex ("8001"). A script drives the
// keyboard with xdotool between the lines.
#include <cstdio>
#include <exception>
#include <iostream>
#include <string>

#include "tests/keys/key_state.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: key_tap_probe DISPLAY\n";
        return 2;
    }
    try {
        auto keys = platform::x11::OpenKeyState(argv[1]);
        std::string line;
        while (std::getline(std::cin, line)) {
            const int virtualKey = std::stoi(line, nullptr, 16);
            keys->NextPoll();
            char word[8];
            std::snprintf(word, sizeof word, "%x", static_cast<unsigned>(keys->GetAsyncKeyState(virtualKey)) & 0xffffu);
            std::cout << word << std::endl;
        }
    } catch (const std::exception& e) {
        std::cerr << "key_tap_probe: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
