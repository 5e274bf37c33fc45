#pragma once
// The rows every peer of the benchmark searches: a customer list as a shop would have it.

#include "SplitMix64.h"

#include <cstdint>
#include <string>
#include <vector>

/// One generated row: CODIGO integer, NOME string(30), CIDADE string(20), Ativo string(1).
struct BenchRow {
    std::int64_t codigo = 0;
    std::string nome;
    std::string cidade;
    std::string ativo;
};

/// Declared sizes of the string columns; every generated value fits them.
constexpr int kNomeSize = 30;
constexpr int kCidadeSize = 20;

/// Makes rows from a fixed seed. Names are a weighted first name and one or two surnames, in
/// title case, capitals or small letters, so that prefixes like J, JO, JOS and JOSE match the
/// shares a real list gives (about 12%, 9%, 4% and 4%) and the case of letters varies.
class RowGenerator {
public:
    explicit RowGenerator(std::uint64_t seed = 0x51A3C0DE41726ull);

    /// The next row; CODIGO counts from 1.
    BenchRow next();

private:
    std::string nextName();
    const char* pickFirstName();

    SplitMix64 m_random;
    std::int64_t m_codigo = 0;
    std::uint32_t m_firstNameWeight = 0;
};

/// `count` rows from the default seed.
std::vector<BenchRow> generateRows(int count);
