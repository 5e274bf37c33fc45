#include <qmr41726/data/filter/FilterLexer.h>

#include <qmr41726/rtl/Exception.h>

#include <algorithm>
#include <array>
#include <string>

namespace qmr {

namespace {

// What a byte can start or continue. Bytes from 0x80 up are letters: field names may be written
// with the code page's accented letters (DESCRIÇÃO).
enum CharClass : unsigned char {
    ccInvalid,
    ccSpace,   // blank, tab, line breaks: separate tokens
    ccLetter,  // A-Z a-z _ and 0x80-0xFF: start and continue names and keywords
    ccDigit,   // 0-9: start numbers, continue names
    ccQuote,   // ' starts a string
    ccBracket, // [ starts a bracketed name
    ccCompare, // = < > start an operator
    ccOpen,    // (
    ccClose,   // )
    ccComma,   // ,
    ccMinus,   // - negates the number after it
    ccDot,     // . starts the fraction of a number
};

constexpr std::array<CharClass, 256> makeClassTable() {
    std::array<CharClass, 256> table{};
    for (int c = 'A'; c <= 'Z'; ++c)
        table[size_t(c)] = table[size_t(c - 'A' + 'a')] = ccLetter;
    for (int c = 0x80; c <= 0xFF; ++c)
        table[size_t(c)] = ccLetter;
    for (int c = '0'; c <= '9'; ++c)
        table[size_t(c)] = ccDigit;
    table['_'] = ccLetter;
    table[' '] = table['\t'] = table['\r'] = table['\n'] = ccSpace;
    table['\''] = ccQuote;
    table['['] = ccBracket;
    table['='] = table['<'] = table['>'] = ccCompare;
    table['('] = ccOpen;
    table[')'] = ccClose;
    table[','] = ccComma;
    table['-'] = ccMinus;
    table['.'] = ccDot;
    return table;
}

constexpr std::array<CharClass, 256> kClass = makeClassTable();

constexpr std::string_view kKeywords[] = {"AND", "OR",   "NOT",   "LIKE",  "IS",   "NULL",
                                          "IN",  "TRUE", "FALSE", "UPPER", "LOWER"};

CharClass classOf(char c) {
    return kClass[static_cast<unsigned char>(c)];
}

bool isNamePart(char c) {
    return classOf(c) == ccLetter || classOf(c) == ccDigit;
}

bool isKeyword(std::string_view upper) {
    for (std::string_view k : kKeywords) {
        if (k == upper)
            return true;
    }
    return false;
}

// A character the language has no use for, shown so the user can find it: printable bytes as
// themselves, others by their code.
std::string describeChar(char c) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte < 0x7F)
        return std::string("'") + c + "'";
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "0x%02X", byte);
    return std::string("character ") + buffer;
}

class Lexer {
public:
    explicit Lexer(std::string_view text) : m_text(text) {}

    std::vector<FilterToken> run() {
        std::vector<FilterToken> tokens;
        do
            tokens.push_back(nextToken());
        while (tokens.back().kind != FilterTokenKind::End);
        return tokens;
    }

    FilterToken nextToken() {
        while (m_pos < m_text.size() && classOf(m_text[m_pos]) == ccSpace)
            ++m_pos;
        if (m_pos >= m_text.size())
            return {FilterTokenKind::End, {}, int(m_text.size()) + 1};
        return next();
    }

private:
    FilterToken next() {
        const int position = int(m_pos) + 1;
        switch (classOf(m_text[m_pos])) {
        case ccLetter:
            return name(position);
        case ccDigit:
        case ccDot:
            return number(position);
        case ccQuote:
            return string(position);
        case ccBracket:
            return bracketName(position);
        case ccCompare:
            return compare(position);
        case ccOpen:
            return single(FilterTokenKind::OpenParen, position);
        case ccClose:
            return single(FilterTokenKind::CloseParen, position);
        case ccComma:
            return single(FilterTokenKind::Comma, position);
        case ccMinus:
            return single(FilterTokenKind::Minus, position);
        case ccSpace:
        case ccInvalid:
            break;
        }
        throwFilterError(position, "unexpected " + describeChar(m_text[m_pos]));
    }

    FilterToken single(FilterTokenKind kind, int position) {
        return {kind, AnsiString(1, m_text[m_pos++]), position};
    }

    FilterToken name(int position) {
        const size_t start = m_pos;
        while (m_pos < m_text.size() && isNamePart(m_text[m_pos]))
            ++m_pos;
        AnsiString word(m_text.substr(start, m_pos - start));
        AnsiString upper = UpperCase(word);
        if (isKeyword(upper))
            return {FilterTokenKind::Keyword, std::move(upper), position};
        return {FilterTokenKind::Name, std::move(word), position};
    }

    FilterToken bracketName(int position) {
        const size_t close = m_text.find(']', m_pos + 1);
        if (close == std::string_view::npos)
            throwFilterError(position, "missing ']' after field name");
        AnsiString word(m_text.substr(m_pos + 1, close - m_pos - 1));
        if (word.empty())
            throwFilterError(position, "empty field name '[]'");
        m_pos = close + 1;
        return {FilterTokenKind::Name, std::move(word), position};
    }

    FilterToken number(int position) {
        const size_t start = m_pos;
        bool seenDigit = false;
        bool seenDot = false;
        while (m_pos < m_text.size()) {
            const CharClass cls = classOf(m_text[m_pos]);
            if (cls == ccDot && !seenDot)
                seenDot = true;
            else if (cls == ccDigit)
                seenDigit = true;
            else
                break;
            ++m_pos;
        }
        if (!seenDigit || (m_pos < m_text.size() && isNamePart(m_text[m_pos])) ||
            (m_pos < m_text.size() && classOf(m_text[m_pos]) == ccDot))
            throwFilterError(position, "malformed number");
        return {FilterTokenKind::Number, AnsiString(m_text.substr(start, m_pos - start)), position};
    }

    FilterToken string(int position) {
        AnsiString value;
        ++m_pos;
        while (m_pos < m_text.size()) {
            const char c = m_text[m_pos++];
            if (c != '\'') {
                value += c;
                continue;
            }
            if (m_pos < m_text.size() && m_text[m_pos] == '\'') {
                value += '\'';
                ++m_pos;
                continue;
            }
            return {FilterTokenKind::String, std::move(value), position};
        }
        throwFilterError(position, "unterminated string");
    }

    FilterToken compare(int position) {
        const char first = m_text[m_pos++];
        const char second = m_pos < m_text.size() ? m_text[m_pos] : '\0';
        const bool twoChars =
            (first == '<' && (second == '>' || second == '=')) || (first == '>' && second == '=');
        if (twoChars)
            ++m_pos;
        if (!twoChars && first == '=' && (second == '=' || second == '<' || second == '>'))
            throwFilterError(position, "unknown operator '" + std::string{first, second} + "'");
        return {FilterTokenKind::Operator, twoChars ? std::string{first, second} : std::string{first},
                position};
    }

    std::string_view m_text;
    size_t m_pos = 0;
};

} // namespace

bool isFilterBlank(char c) {
    return classOf(c) == ccSpace;
}

bool isBareFilterName(std::string_view name) {
    if (name.empty() || classOf(name.front()) != ccLetter)
        return false;
    if (!std::all_of(name.begin(), name.end(), isNamePart))
        return false;
    return !isKeyword(UpperCase(name));
}

void throwFilterError(int position, const std::string& what) {
    throw EDatabaseError("Filter error at position " + std::to_string(position) + ": " + what);
}

class FilterTokenReader::Lexer : public qmr::Lexer {
public:
    using qmr::Lexer::Lexer;
};

FilterTokenReader::FilterTokenReader(std::string_view text, int positionOffset)
    : m_lexer(std::make_unique<Lexer>(text)), m_offset(positionOffset) {}

FilterTokenReader::~FilterTokenReader() = default;

FilterToken FilterTokenReader::next() {
    FilterToken token = m_lexer->nextToken();
    token.position += m_offset;
    return token;
}

std::vector<FilterToken> tokenizeFilter(std::string_view text) {
    return Lexer(text).run();
}

bool isOneFilterGroup(std::string_view text) {
    const std::vector<FilterToken> tokens = tokenizeFilter(text);
    if (tokens.size() < 3 || tokens.front().kind != FilterTokenKind::OpenParen)
        return false;
    int depth = 0;
    for (std::size_t i = 0; i + 1 < tokens.size(); ++i) {
        if (tokens[i].kind == FilterTokenKind::OpenParen)
            ++depth;
        else if (tokens[i].kind == FilterTokenKind::CloseParen && --depth == 0)
            return tokens[i + 1].kind == FilterTokenKind::End;
    }
    return false;
}

} // namespace qmr
