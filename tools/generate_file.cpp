#include "generate_file.h"

#include <exception>
#include <fstream>
#include <iostream>
#include <stdexcept>
#include <string>

int generateFile(int argc, char** argv, const char* tool, BuildFromDescription build) {
    if (argc != 3) {
        std::cerr << "usage: " << tool << " DESCRIPTION OUTPUT\n";
        return 2;
    }
    try {
        std::ifstream input(argv[1]);
        if (!input) throw std::runtime_error(std::string("cannot open ") + argv[1]);
        const std::vector<std::uint8_t> bytes = build(input);
        std::ofstream output(argv[2], std::ios::binary | std::ios::trunc);
        output.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        if (!output.flush()) throw std::runtime_error(std::string("cannot write ") + argv[2]);
    } catch (const std::exception& e) {
        std::cerr << argv[1] << ": " << e.what() << "\n";
        return 1;
    }
    return 0;
}
