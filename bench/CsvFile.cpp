#include "CsvFile.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <stdexcept>

std::uintmax_t writeCsvFile(const std::vector<BenchRow>& rows, const std::string& path) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out)
        throw std::runtime_error("cannot write " + path);
    out << "CODIGO:integer,NOME:string(" << kNomeSize << "),CIDADE:string(" << kCidadeSize
        << "),Ativo:string(1)\n";
    // Generated names and cities hold no comma or quote, so no value needs quoting.
    std::string line;
    for (const BenchRow& row : rows) {
        line = std::to_string(row.codigo);
        line += ',';
        line += row.nome;
        line += ',';
        line += row.cidade;
        line += ',';
        line += row.ativo;
        line += '\n';
        out << line;
    }
    out.close();
    if (!out)
        throw std::runtime_error("cannot write " + path);
    return std::filesystem::file_size(path);
}

TemporaryFile::~TemporaryFile() {
    std::error_code ignored;
    std::filesystem::remove(m_path, ignored);
}
