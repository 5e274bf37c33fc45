// Writes the sample data sets of the project: a product catalogue and a customer list, as CSV
// files with typed headers. The output depends only on the fixed seeds below, so running the
// program again reproduces the committed files byte for byte.
//
//   gen-sample-data <output folder> [--produtos N] [--clientes N]

#include "Catalogue.h"
#include "Customers.h"

#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>

namespace {

constexpr std::uint64_t kCatalogueSeed = 41726;
constexpr std::uint64_t kCustomerSeed = 1726;

struct Options {
    std::string folder;
    int products = 2500;
    int customers = 600;
};

bool readCount(const char* text, int& count) {
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (*end != '\0' || value < 0 || value > 100000000)
        return false;
    count = int(value);
    return true;
}

bool parseOptions(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--produtos" && hasValue && readCount(argv[++i], options.products))
            continue;
        if (arg == "--clientes" && hasValue && readCount(argv[++i], options.customers))
            continue;
        if (!arg.empty() && arg[0] != '-' && options.folder.empty()) {
            options.folder = arg;
            continue;
        }
        return false;
    }
    return !options.folder.empty();
}

template <typename Writer>
bool writeFile(const std::string& path, std::uint64_t seed, int rows, Writer write) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    Random random(seed);
    write(out, random, rows);
    out.close();
    if (!out) {
        std::cerr << "gen-sample-data: cannot write " << path << '\n';
        return false;
    }
    std::cout << path << ": " << rows << " rows\n";
    return true;
}

} // namespace

int main(int argc, char** argv) {
    Options options;
    if (!parseOptions(argc, argv, options)) {
        std::cerr << "usage: gen-sample-data <output folder> [--produtos N] [--clientes N]\n";
        return 2;
    }
    const bool ok =
        writeFile(options.folder + "/produtos.csv", kCatalogueSeed, options.products, writeCatalogue) &&
        writeFile(options.folder + "/clientes.csv", kCustomerSeed, options.customers, writeCustomers);
    return ok ? 0 : 1;
}
