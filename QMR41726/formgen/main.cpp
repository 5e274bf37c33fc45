// formgen: writes the header that gives TfrmPesquisa its component fields, its handlers'
// declarations and its published table, read from the search screen's layout tables. The build
// runs it before compiling the package, so that each component and handler is named by hand once,
// in the layout.
//
//   qmr41726-formgen OUTPUT

#include "MembersHeader.h"
#include "screen/ScreenLayout.h"

#include <exception>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <stdexcept>

namespace {

/// Replaces `path` by `text` whole: a failed run leaves no half-written header for the next build.
void writeFile(const std::filesystem::path& path, const std::string& text) {
    std::filesystem::path partial = path;
    partial += ".partial";
    {
        std::ofstream out(partial, std::ios::binary | std::ios::trunc);
        out << text;
        out.close();
        if (!out)
            throw std::runtime_error("cannot write " + partial.string());
    }
    std::filesystem::rename(partial, path);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: qmr41726-formgen OUTPUT\n";
        return 2;
    }
    try {
        const FormMembers members(layoutPesquisa(), fieldOrderPesquisa());
        writeFile(argv[1], membersHeader(members, "TfrmPesquisa"));
    } catch (const std::exception& error) {
        std::cerr << "qmr41726-formgen: error: " << error.what() << '\n';
        return 1;
    }
    return 0;
}
