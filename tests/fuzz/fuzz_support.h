// What every fuzz target shares: a property check that stops the run with a message, and
// a scratch folder for targets that go through files.
#pragma once

#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

namespace fuzz {

// A broken property is a finding: libFuzzer keeps the input that broke it.
inline void Require(bool holds, const char* property, std::string_view detail = {}) {
    if (holds) return;
    std::fprintf(stderr, "property broken: %s\n%.*s\n", property, static_cast<int>(detail.size()), detail.data());
    std::abort();
}

inline bool HasControlCharacter(std::string_view text) {
    for (unsigned char c : text)
        if (c < 0x20 || c == 0x7f) return true;
    return false;
}

// One folder for the whole run, in memory where the system has such a place (files are
// written on every input), removed when the run ends.
inline const std::filesystem::path& ScratchFolder() {
    static const std::filesystem::path folder = [] {
        const char* base = ::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : std::getenv("TMPDIR");
        std::string pattern = std::string(base ? base : "/tmp") + "/ostravel-fuzz-XXXXXX";
        if (!::mkdtemp(pattern.data())) {
            std::perror("mkdtemp");
            std::abort();
        }
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(ScratchFolder(), ignored);
        });
        return std::filesystem::path(pattern);
    }();
    return folder;
}

} // namespace fuzz
