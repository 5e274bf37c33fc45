#include "Catalogue.h"

#include "CsvWriter.h"

#include <algorithm>
#include <set>
#include <string>
#include <vector>

namespace {

// Descriptions longer than this are shortened: the field holds 40 characters.
constexpr std::size_t kDescriptionLength = 40;
/// Characters of a product code: an EAN-13 barcode fits.
constexpr int kCodeLength = 13;

/// A section of the store and what it sells. Each product is written "NAME|SIZES|CENTS": its
/// package sizes from small to large, separated by semicolons (none for goods sold by weight, which end in
/// "KG" and carry no brand) and the usual shelf price of the smallest one.
struct Group {
    std::string name;
    std::vector<std::string> products;
};

const std::vector<Group>& groups() {
    static const std::vector<Group> kGroups = {
        {"MERCEARIA",
         {"AÇÚCAR CRISTAL|1KG;2KG;5KG|489",
          "AÇÚCAR REFINADO|1KG;5KG|529",
          "ARROZ AGULHINHA T1|1KG;2KG;5KG|649",
          "ARROZ PARBOILIZADO|1KG;5KG|599",
          "ARROZ INTEGRAL|1KG|799",
          "FEIJÃO CARIOCA|1KG;2KG|849",
          "FEIJÃO PRETO|1KG|899",
          "MACARRÃO ESPAGUETE|500G;1KG|429",
          "MACARRÃO PARAFUSO|500G|449",
          "FARINHA DE TRIGO|1KG;5KG|549",
          "FARINHA DE MANDIOCA|500G;1KG|679",
          "FUBÁ MIMOSO|500G;1KG|389",
          "ÓLEO DE SOJA|900ML|749",
          "AZEITE EXTRA VIRGEM|250ML;500ML|2990",
          "SAL REFINADO|1KG|249",
          "CAFÉ TORRADO E MOÍDO|250G;500G|1690",
          "ACHOCOLATADO EM PÓ|400G;800G|899",
          "MOLHO DE TOMATE|340G;520G|249",
          "EXTRATO DE TOMATE|140G;340G|329",
          "MILHO VERDE|200G|399",
          "ERVILHA EM CONSERVA|200G|379",
          "SARDINHA EM ÓLEO|125G|649",
          "ATUM SÓLIDO|170G|1190",
          "BISCOITO CREAM CRACKER|200G;400G|449",
          "BISCOITO MAISENA|200G;400G|429",
          "BOLACHA RECHEADA|130G|299",
          "GELATINA MORANGO|25G|199",
          "AMIDO DE MILHO|200G;500G|549",
          "AVEIA EM FLOCOS|170G;500G|599",
          "GRÃO DE BICO|500G|1290",
          "LENTILHA|500G|1090",
          "PIPOCA DE MICRO-ONDAS|100G|349",
          "TEMPERO COMPLETO|300G|499",
          "VINAGRE DE ÁLCOOL|750ML|299",
          "MAIONESE|250G;500G|799",
          "KETCHUP|400G|899",
          "MOSTARDA|200G|549",
          "LEITE CONDENSADO|395G|699",
          "CREME DE LEITE|200G|399",
          "FERMENTO EM PÓ|100G|599",
          "CHÁ MATE|250G|899",
          "CHÁ DE CAMOMILA|C/10;C/15|449",
          "PAÇOCA|C/50|1990",
          "GOIABADA|300G;600G|699",
          "MEL|300G;500G|1990",
          "CAFÉ SOLÚVEL|100G;200G|1590",
          "COCO RALADO|100G|499",
          "CANJICA|500G|599",
          "TAPIOCA|500G;1KG|699",
          "FAROFA PRONTA|250G|599"}},
        {"BEBIDAS",
         {"REFRIGERANTE COLA|350ML;600ML;2L;C/6|899",
          "REFRIGERANTE GUARANÁ|350ML;2L;C/6|799",
          "REFRIGERANTE LARANJA|350ML;2L|699",
          "REFRIGERANTE LIMÃO|350ML;2L|699",
          "SUCO DE UVA INTEGRAL|1L;1,5L|1590",
          "SUCO DE LARANJA|1L|999",
          "ÁGUA MINERAL S/ GÁS|500ML;1,5L;C/6|249",
          "ÁGUA MINERAL C/ GÁS|500ML;C/6|299",
          "ÁGUA DE COCO|200ML;1L|599",
          "CERVEJA PILSEN|269ML;350ML;473ML;C/12|399",
          "CERVEJA PURO MALTE|350ML;600ML;C/12|549",
          "ENERGÉTICO|250ML;473ML|899",
          "ISOTÔNICO LIMÃO|500ML|549",
          "CHÁ GELADO PÊSSEGO|1,5L|699",
          "VINHO TINTO SECO|750ML|3490",
          "VINHO BRANCO SUAVE|750ML|2990",
          "CACHAÇA|600ML;1L|1990",
          "NÉCTAR DE MARACUJÁ|1L|649",
          "GUARANÁ NATURAL|290ML|299",
          "BEBIDA DE SOJA|1L|799"}},
        {"LATICÍNIOS",
         {"LEITE INTEGRAL UHT|1L;C/12|549", "LEITE DESNATADO UHT|1L;C/12|589", "LEITE SEMIDESNATADO|1L|569",
          "IOGURTE NATURAL|170G|349", "IOGURTE MORANGO|170G;900G|399", "BEBIDA LÁCTEA|900ML|899",
          "MANTEIGA C/ SAL|200G;500G|1390", "MARGARINA|250G;500G|699", "REQUEIJÃO CREMOSO|200G|899",
          "QUEIJO MUÇARELA|150G;500G|1290", "QUEIJO PRATO|150G|1190", "QUEIJO MINAS FRESCAL|400G|2190",
          "QUEIJO PARMESÃO|100G|1490", "CREAM CHEESE|150G|999", "LEITE FERMENTADO|C/6|799",
          "DOCE DE LEITE|400G|1190", "COALHADA|500G|799", "RICOTA|250G|999"}},
        {"HORTIFRÚTI", {"BANANA PRATA||699",   "BANANA NANICA||549",   "MAÇÃ GALA||999",
                        "MAÇÃ FUJI||1099",     "LARANJA PÊRA||399",    "LIMÃO TAHITI||449",
                        "MAMÃO FORMOSA||599",  "MAMÃO PAPAIA||799",    "TOMATE ITALIANO||899",
                        "TOMATE CEREJA||1290", "CEBOLA||549",          "BATATA INGLESA||599",
                        "BATATA DOCE||499",    "ALHO||2990",           "CENOURA||499",
                        "MANDIOCA||599",       "ABÓBORA CABOTIÁ||449", "PIMENTÃO VERDE||899",
                        "CHUCHU||399",         "MELÃO AMARELO||599",   "MELANCIA||299",
                        "UVA NIÁGARA||1290",   "MARACUJÁ||999",        "MANGA PALMER||699",
                        "ABACATE||899",        "GOIABA||799",          "BETERRABA||499",
                        "PEPINO||499",         "QUIABO||999",          "JILÓ||899"}},
        {"PADARIA",
         {"PÃO FRANCÊS||1690", "PÃO DE FORMA|400G;500G|899", "PÃO DE QUEIJO||3990", "PÃO INTEGRAL|400G|1090",
          "BOLO DE CENOURA|UN|1990", "BOLO DE FUBÁ|UN|1790", "SONHO DE CREME|UN|499", "ROSCA DOCE|400G|1290",
          "BISNAGUINHA|300G|799", "TORRADA|160G|599", "CROISSANT|UN|699", "PÃO DE MEL|C/6|1490",
          "BROA DE MILHO|UN|399", "PÃO SOVADO|500G|999", "CUECA VIRADA||2990"}},
        {"AÇOUGUE", {"CARNE MOÍDA PATINHO||4290",
                     "ALCATRA||4990",
                     "PICANHA||7990",
                     "CONTRAFILÉ||5490",
                     "COSTELA BOVINA||2990",
                     "FRANGO INTEIRO||1290",
                     "PEITO DE FRANGO||1990",
                     "COXA E SOBRECOXA||1390",
                     "LINGUIÇA TOSCANA||2190",
                     "LOMBO SUÍNO||2690",
                     "BISTECA SUÍNA||2290",
                     "ACÉM||3490",
                     "FÍGADO BOVINO||1890",
                     "CUPIM||3990",
                     "MAMINHA||4690",
                     "FRALDINHA||4490",
                     "COXÃO MOLE||4590",
                     "COXÃO DURO||3990",
                     "MÚSCULO||3290",
                     "ASA DE FRANGO||2190"}},
        {"LIMPEZA",
         {"DETERGENTE LÍQUIDO|500ML|249", "SABÃO EM PÓ|800G;1,6KG|1490", "SABÃO EM BARRA|C/5|1290",
          "AMACIANTE|2L;5L|1390", "ÁGUA SANITÁRIA|1L;2L|449", "DESINFETANTE LAVANDA|500ML;2L|599",
          "LIMPADOR MULTIUSO|500ML|499", "ESPONJA DUPLA FACE|UN;C/3|349", "PALHA DE AÇO|C/8|399",
          "SACO DE LIXO 50L|C/10;C/30|899", "LUSTRA MÓVEIS|200ML|799", "ÁLCOOL 70%|500ML;1L|899",
          "INSETICIDA AEROSSOL|300ML|1590", "PAPEL TOALHA|C/2|699", "LIMPA VIDROS|500ML|799",
          "PANO DE CHÃO|UN|599"}},
        {"HIGIENE",
         {"SABONETE|85G;C/6|249", "CREME DENTAL|90G|499", "ESCOVA DENTAL|UN;C/2|899", "XAMPU|350ML|1590",
          "CONDICIONADOR|350ML|1690", "DESODORANTE AEROSSOL|150ML|1490",
          "PAPEL HIGIÊNICO FOLHA DUPLA|C/4;C/12|999", "FRALDA DESCARTÁVEL|C/24;C/48|4990",
          "ABSORVENTE|C/8;C/16|599", "APARELHO DE BARBEAR|C/2|1290", "ALGODÃO|50G|499",
          "HASTES FLEXÍVEIS|C/75|449", "PROTETOR SOLAR|120ML|3990", "FIO DENTAL|50M|799",
          "ENXAGUANTE BUCAL|250ML;500ML|1490", "LENÇO UMEDECIDO|C/50|999"}},
        {"FRIOS",
         {"PRESUNTO COZIDO||3490", "MORTADELA||1990", "SALAME ITALIANO||8990", "PEITO DE PERU||5990",
          "APRESUNTADO||2790", "SALSICHA HOT DOG||1490", "QUEIJO COALHO||4490", "LOMBO CANADENSE||6490",
          "BLANQUET DE PERU||6990", "COPA||9990", "JOELHO SUÍNO DEFUMADO||2490"}},
        {"CONGELADOS",
         {"PIZZA CALABRESA|460G|1990", "LASANHA BOLONHESA|600G|1890", "HAMBÚRGUER BOVINO|C/4;C/12|1490",
          "EMPANADO DE FRANGO|300G|1290", "BATATA PALITO|400G;1KG|1190", "SORVETE NAPOLITANO|1,5L;2L|2490",
          "POLPA DE AÇAÍ|400G;1KG|1690", "PÃO DE QUEIJO CONGELADO|400G;1KG|1490",
          "FILÉ DE TILÁPIA|500G;1KG|2990", "CAMARÃO LIMPO|400G|4490", "LEGUMES SELETA|300G|799",
          "POLPA DE CAJU|400G|899", "ESFIHA DE CARNE|C/12|2290", "COXINHA DE FRANGO|1KG|2690"}},
        {"BAZAR",
         {"PILHA ALCALINA AA|C/2;C/4|1490", "LÂMPADA LED 9W|UN|1290", "FÓSFORO|C/10|599",
          "VELA BRANCA|C/8|899", "COPO DESCARTÁVEL 200ML|C/50;C/100|699", "PRATO DESCARTÁVEL|C/10|599",
          "PAPEL ALUMÍNIO|7,5M;30M|699", "FILME PVC|28M|799", "PREGADOR DE ROUPA|C/12|599",
          "CARVÃO VEGETAL|3KG;5KG|1990", "ISQUEIRO|UN|499", "FITA ADESIVA|UN|399", "PARAFUSO 1/4\"|C/10|899",
          "EXTENSÃO ELÉTRICA 3M|UN|2990", "GUARDANAPO|C/50|349", "JOGO DE COPOS|C/6|2990",
          "JOGO AMERICANO|C/4|1990"}},
        {"PET",
         {"RAÇÃO CÃES ADULTOS|1KG;10,1KG;15KG|1990", "RAÇÃO GATOS CASTRADOS|1KG;3KG|2490",
          "RAÇÃO FILHOTES|1KG;3KG|2290", "AREIA SANITÁRIA|4KG|1490", "PETISCO CÃES|65G|799",
          "SACHÊ GATOS|85G;C/12|349", "OSSO DE COURO|UN|699"}},
    };
    return kGroups;
}

/// One product of a group, split out of its "NAME|SIZES|CENTS" entry.
struct Product {
    std::string name;
    std::vector<std::string> sizes;
    long long cents = 0;
};

Product productOf(const std::string& entry) {
    const std::size_t bar = entry.find('|');
    const std::size_t lastBar = entry.rfind('|');
    Product product;
    product.name = entry.substr(0, bar);
    product.cents = std::stoll(entry.substr(lastBar + 1));
    std::size_t start = bar + 1;
    while (start < lastBar) {
        std::size_t end = entry.find(';', start);
        if (end == std::string::npos || end > lastBar)
            end = lastBar;
        product.sizes.push_back(entry.substr(start, end - start));
        start = end + 1;
    }
    return product;
}

// Names for the packaged goods; made up, none of them a real maker.
const char* const kBrands[] = {"ALVORADA",  "BOA VISTA",  "CAMPEÃ", "ESTRELA",   "FAZENDINHA", "JEQUITIBÁ",
                               "MARAJÓ",    "PIRACEMA",   "SABIÁ",  "IPÊ",       "BOM GOSTO",  "VALE VERDE",
                               "SÃO JORGE", "CAMPO BELO", "AURORA", "TRÊS RIOS", "CANAÃ",      "PAJEÚ"};

// What distinguishes one weighed good from another of the same kind.
const char* const kQualities[] = {"", "", "", "SELECIONADO", "ESPECIAL", "PROMOÇÃO", "TIPO EXTRA", "DA CASA"};

// The text cut to at most `limit` characters, without a trailing space.
std::string shortened(const std::string& text, std::size_t limit) {
    std::string out;
    std::size_t count = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool startsCharacter = (static_cast<unsigned char>(text[i]) & 0xC0) != 0x80;
        if (startsCharacter && ++count > limit)
            break;
        out += text[i];
    }
    while (!out.empty() && out.back() == ' ')
        out.pop_back();
    return out;
}

std::string joined(const std::vector<std::string>& words) {
    std::string out;
    for (const std::string& word : words) {
        if (word.empty())
            continue;
        out += out.empty() ? word : " " + word;
    }
    return out;
}

/// One line of the catalogue before its letter case is chosen.
struct Item {
    std::string text;
    std::string unit;
    long long cents = 0;
};

// Prices vary around the usual one and end in 9 more often than not, as on real shelves.
long long priceCents(Random& random, long long usual) {
    const long long cents = usual * random.between(85, 125) / 100;
    return std::max(99LL, cents / 10 * 10 + (random.percent(60) ? 9 : 0));
}

// Sold by the unit, by the box or bundle (a size "C/n"), or by the pack for bread.
std::string unitOf(const Group& group, const std::string& size) {
    if (size.rfind("C/", 0) == 0)
        return group.name == "BEBIDAS" ? "FD" : "CX";
    if (group.name == "PADARIA" && size.back() == 'G')
        return "PC";
    return "UN";
}

// A weighed good gets a quality and "KG"; a packaged one a brand and its size, the brand being
// left out when the description would not fit the field.
Item makeItem(Random& random, const Group& group) {
    const Product product = productOf(group.products[random.below(group.products.size())]);
    if (product.sizes.empty())
        return {shortened(joined({product.name, random.pick(kQualities), "KG"}), kDescriptionLength), "KG",
                priceCents(random, product.cents)};
    const std::size_t index = random.below(product.sizes.size());
    const std::string& size = product.sizes[index];
    // A size "UN" says the item is sold by the unit; it is not written into the description.
    const std::string shown = size == "UN" ? "" : size;
    std::string text = joined({product.name, random.pick(kBrands), shown});
    if (characterCount(text) > kDescriptionLength)
        text = shortened(joined({product.name, shown}), kDescriptionLength);
    // A larger package costs more, though less than in proportion.
    return {text, unitOf(group, size),
            priceCents(random, product.cents * (100 + 70 * (long long)index) / 100)};
}

LetterCase descriptionCase(Random& random) {
    const int roll = int(random.below(100));
    return roll < 85 ? LetterCase::Upper : roll < 95 ? LetterCase::Title : LetterCase::Lower;
}

} // namespace

void writeCatalogue(std::ostream& out, Random& random, int rows) {
    // Stores keep product codes as text of a fixed length, wide enough for an EAN-13 barcode: a
    // number would have no declared size, and the search screen types nothing into such a column.
    writeCsvRow(out, {"CODIGO:string(" + std::to_string(kCodeLength) + ")", "DESCRICAO:string(40)",
                      "UNIDADE:string(2)", "PRECO:float", "GRUPO:string(20)", "ATIVO:string(1)",
                      "ID_INTERNO:integer:hidden"});
    std::set<std::string> used;
    long long code = 1000;
    for (int row = 0; row < rows; ++row) {
        const Group& group = groups()[random.below(groups().size())];
        Item item = makeItem(random, group);
        // A catalogue lists each product once; past a few tries a repeat is let through, so that
        // huge generated files still end.
        for (int attempt = 0; attempt < 20 && used.count(item.text); ++attempt)
            item = makeItem(random, group);
        used.insert(item.text);
        code += random.between(1, 9);
        writeCsvRow(out, {std::to_string(code), withCase(item.text, descriptionCase(random)), item.unit,
                          centsText(item.cents), group.name, random.percent(92) ? "S" : "N",
                          std::to_string(random.between(100000, 999999))});
    }
}
