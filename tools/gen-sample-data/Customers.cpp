#include "Customers.h"

#include "CsvWriter.h"

#include <string>

namespace {

constexpr std::size_t kNameLength = 40;

const char* const kMenNames[] = {
    "JOÃO",     "JOSÉ",    "ANTÔNIO", "FRANCISCO", "CARLOS",  "PAULO",    "PEDRO",   "LUCAS",  "LUIZ",
    "MARCOS",   "GABRIEL", "RAFAEL",  "DANIEL",    "MARCELO", "BRUNO",    "EDUARDO", "FELIPE", "RODRIGO",
    "MANOEL",   "MATEUS",  "ANDRÉ",   "FERNANDO",  "FÁBIO",   "LEONARDO", "GUSTAVO", "JORGE",  "SEBASTIÃO",
    "RAIMUNDO", "JOAQUIM", "CAIO",    "HEITOR",    "ÍCARO",   "OTÁVIO",   "JONAS",   "SÉRGIO", "JOSUÉ",
};

const char* const kWomenNames[] = {
    "MARIA",   "ANA",     "FRANCISCA", "ANTÔNIA", "ADRIANA", "JULIANA", "MÁRCIA",    "FERNANDA", "PATRÍCIA",
    "ALINE",   "SANDRA",  "CAMILA",    "AMANDA",  "BRUNA",   "JÉSSICA", "LETÍCIA",   "JÚLIA",    "LUCIANA",
    "VANESSA", "MARIANA", "GABRIELA",  "VERA",    "BEATRIZ", "CÉLIA",   "ROSÂNGELA", "ÂNGELA",   "SIMONE",
    "TEREZA",  "JOSEFA",  "JOANA",     "JOSIANE", "JORDANA", "LÚCIA",   "MÔNICA",    "RENATA",   "VALÉRIA",
};

const char* const kSurnames[] = {
    "SILVA",     "SANTOS",    "OLIVEIRA", "SOUZA",   "RODRIGUES",  "FERREIRA", "ALVES",      "PEREIRA",
    "LIMA",      "GOMES",     "COSTA",    "RIBEIRO", "MARTINS",    "CARVALHO", "ALMEIDA",    "LOPES",
    "SOARES",    "FERNANDES", "VIEIRA",   "BARBOSA", "ROCHA",      "DIAS",     "NASCIMENTO", "ANDRADE",
    "MOREIRA",   "NUNES",     "MARQUES",  "MACHADO", "MENDES",     "FREITAS",  "CARDOSO",    "RAMOS",
    "GONÇALVES", "SANTANA",   "TEIXEIRA", "ARAÚJO",  "CONCEIÇÃO",  "BRANDÃO",  "MAGALHÃES",  "ASSUNÇÃO",
    "FALCÃO",    "GUIMARÃES", "BORGES",   "PINTO",   "CAVALCANTI", "MONTEIRO", "AZEVEDO",    "MEDEIROS",
};

// Family names that are written with their particle.
const char* const kJoinedSurnames[] = {
    "DA SILVA",   "DOS SANTOS",  "DE OLIVEIRA", "DE SOUZA", "DA COSTA", "DO NASCIMENTO", "DA CONCEIÇÃO",
    "DE ALMEIDA", "DE CARVALHO", "DE ARAÚJO",   "DOS REIS", "DE JESUS", "DA CRUZ",       "DE LIMA"};

struct City {
    const char* name;
    const char* state;
};

const City kCities[] = {
    {"SÃO PAULO", "SP"},
    {"RIO DE JANEIRO", "RJ"},
    {"BELO HORIZONTE", "MG"},
    {"BRASÍLIA", "DF"},
    {"SALVADOR", "BA"},
    {"FORTALEZA", "CE"},
    {"CURITIBA", "PR"},
    {"RECIFE", "PE"},
    {"PORTO ALEGRE", "RS"},
    {"MANAUS", "AM"},
    {"BELÉM", "PA"},
    {"GOIÂNIA", "GO"},
    {"CAMPINAS", "SP"},
    {"SÃO LUÍS", "MA"},
    {"MACEIÓ", "AL"},
    {"NATAL", "RN"},
    {"TERESINA", "PI"},
    {"JOÃO PESSOA", "PB"},
    {"FLORIANÓPOLIS", "SC"},
    {"VITÓRIA", "ES"},
    {"CUIABÁ", "MT"},
    {"CAMPO GRANDE", "MS"},
    {"ARACAJU", "SE"},
    {"LONDRINA", "PR"},
    {"JOINVILLE", "SC"},
    {"RIBEIRÃO PRETO", "SP"},
    {"UBERLÂNDIA", "MG"},
    {"SOROCABA", "SP"},
    {"NITERÓI", "RJ"},
    {"JUIZ DE FORA", "MG"},
    {"FEIRA DE SANTANA", "BA"},
    {"CAXIAS DO SUL", "RS"},
    {"MARINGÁ", "PR"},
    {"SANTOS", "SP"},
    {"SÃO JOSÉ DOS CAMPOS", "SP"},
    {"JUNDIAÍ", "SP"},
    {"PIRACICABA", "SP"},
    {"BAURU", "SP"},
    {"PETRÓPOLIS", "RJ"},
    {"CHAPECÓ", "SC"},
    {"ANÁPOLIS", "GO"},
    {"MOSSORÓ", "RN"},
    {"ITAJAÍ", "SC"},
    {"BLUMENAU", "SC"},
    {"PALMAS", "TO"},
    {"MACAPÁ", "AP"},
    {"BOA VISTA", "RR"},
    {"PORTO VELHO", "RO"},
    {"RIO BRANCO", "AC"},
    {"SÃO JOSÉ DO RIO PRETO", "SP"},
    {"CAMPINA GRANDE", "PB"},
    {"IMPERATRIZ", "MA"},
};

// A given name (sometimes two, of the same gender) and one or two family names, the last one
// sometimes with its particle ("da Silva").
std::string personName(Random& random) {
    const bool woman = random.percent(50);
    const auto given = [&] { return std::string(woman ? random.pick(kWomenNames) : random.pick(kMenNames)); };
    std::string name = given();
    if (random.percent(30)) {
        const std::string second = given();
        if (second != name)
            name += " " + second;
    }
    const std::string middle = random.pick(kSurnames);
    const bool withMiddle = random.percent(60);
    const std::string last = random.percent(30) ? random.pick(kJoinedSurnames) : random.pick(kSurnames);
    if (withMiddle && last.find(middle) == std::string::npos)
        name += " " + middle;
    return name + " " + last;
}

// A name that fits the field: a name too long is drawn again.
std::string fittingName(Random& random) {
    for (;;) {
        std::string name = personName(random);
        if (characterCount(name) <= kNameLength)
            return name;
    }
}

LetterCase nameCase(Random& random) {
    const int roll = int(random.below(100));
    return roll < 65 ? LetterCase::Upper : roll < 95 ? LetterCase::Title : LetterCase::Lower;
}

} // namespace

void writeCustomers(std::ostream& out, Random& random, int rows) {
    writeCsvRow(
        out, {"CODIGO:integer", "NOME:string(40)", "CIDADE:string(30)", "UF:string(2)", "ATIVO:string(1)"});
    long long code = 0;
    for (int row = 0; row < rows; ++row) {
        code += random.between(1, 4);
        const City& city = random.pick(kCities);
        const LetterCase letterCase = nameCase(random);
        writeCsvRow(out, {std::to_string(code), withCase(fittingName(random), letterCase),
                          withCase(city.name, letterCase), city.state, random.percent(85) ? "S" : "N"});
    }
}
