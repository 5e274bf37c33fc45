#include "RowGenerator.h"

#include <qmr41726/rtl/AnsiString.h>

#include <array>
#include <iterator>

using namespace qmr;

namespace {

struct WeightedName {
    const char* name;
    std::uint32_t weight;
};

// Weights in thousandths of a list of Brazilian customers, J-names included at their usual share.
constexpr WeightedName kFirstNames[] = {
    {"Jose", 30},    {"Josefa", 6},    {"Joselia", 2},    {"Josias", 2},    {"Joao", 25},
    {"Joana", 8},    {"Jorge", 8},     {"Joaquim", 5},    {"Jonas", 3},     {"Julia", 10},
    {"Juliana", 8},  {"Jessica", 5},   {"Jair", 4},       {"Jaqueline", 4}, {"Maria", 70},
    {"Ana", 45},     {"Antonio", 35},  {"Francisco", 25}, {"Carlos", 25},   {"Paulo", 22},
    {"Pedro", 20},   {"Lucas", 20},    {"Luiz", 20},      {"Marcos", 18},   {"Luis", 15},
    {"Gabriel", 15}, {"Rafael", 15},   {"Francisca", 15}, {"Daniel", 14},   {"Marcelo", 14},
    {"Bruno", 13},   {"Eduardo", 12},  {"Felipe", 12},    {"Raimundo", 10}, {"Rodrigo", 10},
    {"Manoel", 10},  {"Mateus", 9},    {"Andre", 9},      {"Fernando", 9},  {"Fabio", 8},
    {"Leonardo", 8}, {"Gustavo", 8},   {"Guilherme", 8},  {"Leandro", 7},   {"Tiago", 7},
    {"Anderson", 7}, {"Ricardo", 7},   {"Marcio", 7},     {"Adriana", 10},  {"Patricia", 10},
    {"Aline", 8},    {"Sandra", 8},    {"Camila", 8},     {"Amanda", 8},    {"Bruna", 7},
    {"Fernanda", 9}, {"Vanessa", 6},   {"Leticia", 6},    {"Beatriz", 6},   {"Larissa", 6},
    {"Mariana", 8},  {"Sebastiao", 6}, {"Vitor", 5},      {"Renato", 5},    {"Sergio", 6},
    {"Roberto", 7},  {"Claudio", 5},   {"Cristiane", 5},  {"Simone", 5},    {"Helena", 5},
    {"Sonia", 5},    {"Rosa", 5},      {"Regina", 5},     {"Vera", 4},      {"Alice", 4},
    {"Laura", 4},    {"Isabela", 4},   {"Sofia", 4},      {"Heitor", 3},    {"Davi", 4},
    {"Bernardo", 3}, {"Arthur", 5},    {"Miguel", 6},     {"Samuel", 4},    {"Otavio", 3},
};

constexpr const char* kSurnames[] = {
    "Silva",     "Santos",    "Oliveira", "Souza",   "Rodrigues", "Ferreira", "Alves",      "Pereira",
    "Lima",      "Gomes",     "Costa",    "Ribeiro", "Martins",   "Carvalho", "Almeida",    "Lopes",
    "Soares",    "Fernandes", "Vieira",   "Barbosa", "Rocha",     "Dias",     "Nascimento", "Andrade",
    "Moreira",   "Nunes",     "Marques",  "Machado", "Mendes",    "Freitas",  "Cardoso",    "Ramos",
    "Goncalves", "Santana",   "Teixeira", "Araujo",  "Jesus",     "Moura",    "Castro",     "Campos",
};

constexpr const char* kCities[] = {
    "Sao Paulo", "Rio de Janeiro", "Belo Horizonte", "Salvador", "Fortaleza",      "Curitiba",
    "Recife",    "Porto Alegre",   "Manaus",         "Belem",    "Goiania",        "Campinas",
    "Sao Luis",  "Maceio",         "Natal",          "Teresina", "Joao Pessoa",    "Florianopolis",
    "Londrina",  "Juiz de Fora",   "Uberlandia",     "Sorocaba", "Ribeirao Preto", "Santos",
    "Joinville", "Cuiaba",         "Aracaju",        "Vitoria",  "Campo Grande",   "Niteroi",
};

template <class T, std::size_t N> std::uint32_t countOf(const T (&)[N]) {
    return std::uint32_t(N);
}

} // namespace

RowGenerator::RowGenerator(std::uint64_t seed) : m_random(seed) {
    for (const WeightedName& entry : kFirstNames)
        m_firstNameWeight += entry.weight;
}

BenchRow RowGenerator::next() {
    BenchRow row;
    row.codigo = ++m_codigo;
    row.nome = nextName();
    row.cidade = kCities[m_random.below(countOf(kCities))];
    // Four customers in five are active.
    row.ativo.assign(1, m_random.below(5) == 0 ? 'N' : 'S');
    return row;
}

const char* RowGenerator::pickFirstName() {
    std::uint32_t ticket = m_random.below(m_firstNameWeight);
    for (const WeightedName& entry : kFirstNames) {
        if (ticket < entry.weight)
            return entry.name;
        ticket -= entry.weight;
    }
    return kFirstNames[0].name;
}

std::string RowGenerator::nextName() {
    std::string name = pickFirstName();
    name += ' ';
    name += kSurnames[m_random.below(countOf(kSurnames))];
    if (m_random.below(5) < 3) {
        name += ' ';
        name += kSurnames[m_random.below(countOf(kSurnames))];
    }
    if (name.size() > std::size_t(kNomeSize))
        name.resize(kNomeSize);
    // Most names are typed in title case, some in capitals, a few in small letters.
    const std::uint32_t casing = m_random.below(10);
    if (casing < 2)
        return UpperCase(name);
    if (casing < 3)
        return LowerCase(name);
    return name;
}

std::vector<BenchRow> generateRows(int count) {
    RowGenerator generator;
    std::vector<BenchRow> rows;
    rows.reserve(std::size_t(count));
    for (int i = 0; i < count; ++i)
        rows.push_back(generator.next());
    return rows;
}
