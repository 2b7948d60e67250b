// Writes the program's icon file from the icon's XPM drawings: ostravel_make_ico OUTPUT.ico
#include <exception>
#include <fstream>
#include <iostream>

#include "monitor/art/icon_variants.h"
#include "monitor/art/tools/ico_file.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: ostravel_make_ico OUTPUT.ico\n";
        return 2;
    }
    try {
        const auto bytes = art::EncodeIco(art::IconVariants());
        std::ofstream file(argv[1], std::ios::binary | std::ios::trunc);
        file.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        file.close();
        if (!file) {
            std::cerr << "ostravel_make_ico: cannot write " << argv[1] << "\n";
            return 1;
        }
    } catch (const std::exception& error) {
        std::cerr << "ostravel_make_ico: " << argv[1] << ": " << error.what() << "\n";
        return 1;
    }
    return 0;
}
