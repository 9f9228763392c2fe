// Builds a collision file from its description (templates/*.col.txt); see
// collision_builder.h for the description's lines.
//
//   make_template DESCRIPTION OUTPUT
#include <exception>
#include <fstream>
#include <iostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "collision_builder.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: make_template DESCRIPTION OUTPUT\n";
        return 2;
    }
    try {
        std::ifstream input(argv[1]);
        if (!input) throw std::runtime_error(std::string("cannot open ") + argv[1]);
        const std::vector<std::uint8_t> bytes = buildCollisionFile(input);
        std::ofstream output(argv[2], std::ios::binary | std::ios::trunc);
        output.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        if (!output.flush()) throw std::runtime_error(std::string("cannot write ") + argv[2]);
    } catch (const std::exception& e) {
        std::cerr << argv[1] << ": " << e.what() << "\n";
        return 1;
    }
    return 0;
}
