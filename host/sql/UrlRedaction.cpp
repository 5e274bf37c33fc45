#include <qmr41726/sql/UrlRedaction.h>

#include <qmr41726/rtl/MessageText.h>
#include <qmr41726/sql/SqlLoader.h>

#include <QByteArray>

#include <algorithm>
#include <cctype>

namespace qmr {

namespace {

constexpr std::string_view kHidden = "***";

/// The keys whose value is a password in libpq's, ODBC's and the URLs' parameters.
constexpr std::string_view kPasswordKeys[] = {"password", "pwd", "passwd", "sslpassword"};

/// How the text is written, which decides where an unquoted value ends.
enum class Form {
    Url,      // scheme://...?key=value&key=value
    Odbc,     // odbc:KEY=value;KEY={value}
    Conninfo, // key=value key='value'
};

Form formOf(std::string_view text) {
    if (text.starts_with("odbc:"))
        return Form::Odbc;
    return text.find("://") != std::string_view::npos ? Form::Url : Form::Conninfo;
}

bool isSpace(char c) {
    return std::isspace(static_cast<unsigned char>(c)) != 0;
}

bool startsWithFolded(std::string_view text, std::size_t at, std::string_view word) {
    if (text.size() - at < word.size())
        return false;
    for (std::size_t i = 0; i < word.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(text[at + i])) != word[i])
            return false;
    }
    return true;
}

// Where a value starting at `start` ends: a quoted value (libpq's '...' with backslash escapes,
// ODBC's {...} with }} for a brace) at its closing quote, or at its end when it has none; an
// unquoted one where its form ends a value.
std::size_t valueEnd(std::string_view text, std::size_t start, Form form) {
    if (start < text.size() && (text[start] == '\'' || text[start] == '{')) {
        const char close = text[start] == '\'' ? '\'' : '}';
        for (std::size_t i = start + 1; i < text.size(); ++i) {
            if (close == '\'' && text[i] == '\\')
                ++i;
            else if (text[i] == close && close == '}' && i + 1 < text.size() && text[i + 1] == '}')
                ++i;
            else if (text[i] == close)
                return i + 1;
        }
        return text.size();
    }
    const std::string_view stops = form == Form::Url ? "&#" : form == Form::Odbc ? ";" : " \t\r\n";
    return std::min(text.find_first_of(stops, start), text.size());
}

// The password parameters: a key of kPasswordKeys at the start of a parameter, then '='.
void addParameterPasswords(std::string_view text, Form form, std::vector<TextSpan>& found) {
    for (std::size_t at = 0; at < text.size(); ++at) {
        if (at > 0 && !isSpace(text[at - 1]) &&
            std::string_view("?&;:").find(text[at - 1]) == std::string_view::npos)
            continue;
        for (const std::string_view key : kPasswordKeys) {
            if (!startsWithFolded(text, at, key))
                continue;
            std::size_t next = at + key.size();
            while (next < text.size() && isSpace(text[next]))
                ++next;
            if (next >= text.size() || text[next] != '=')
                continue;
            ++next;
            while (next < text.size() && isSpace(text[next]))
                ++next;
            const std::size_t end = valueEnd(text, next, form);
            if (end > next)
                found.push_back({next, end});
        }
    }
}

// A URL's user:password@. The password may hold any character when the URL is malformed, so it
// runs from the first ':' after the scheme to the last '@' of the text.
void addUserInfoPassword(std::string_view text, std::vector<TextSpan>& found) {
    const std::size_t authority = text.find("://") + 3;
    const std::size_t at = text.rfind('@');
    if (at == std::string_view::npos || at < authority)
        return;
    const std::size_t colon = text.find(':', authority);
    if (colon < at && at > colon + 1)
        found.push_back({colon + 1, at});
}

void replaceAll(std::string& text, std::string_view secret) {
    if (secret.empty())
        return;
    for (std::size_t at = text.find(secret); at != std::string::npos;
         at = text.find(secret, at + kHidden.size()))
        text.replace(at, secret.size(), kHidden);
}

} // namespace

std::vector<TextSpan> passwordSpans(std::string_view url) {
    std::vector<TextSpan> found;
    const Form form = formOf(url);
    if (form == Form::Url)
        addUserInfoPassword(url, found);
    addParameterPasswords(url, form, found);
    std::sort(found.begin(), found.end(), [](TextSpan a, TextSpan b) { return a.begin < b.begin; });
    return found;
}

std::vector<std::string> passwordsIn(std::string_view url) {
    std::vector<std::string> texts;
    for (const TextSpan span : passwordSpans(url))
        texts.emplace_back(url.substr(span.begin, span.end - span.begin));
    return texts;
}

std::string withSecretsHidden(std::string_view text, const std::vector<std::string>& secrets) {
    std::string hidden(text);
    // Longest first, so that a password holding another is hidden whole.
    std::vector<std::string> all;
    for (const std::string& secret : secrets) {
        all.push_back(secret);
        all.push_back(QByteArray::fromPercentEncoding(QByteArray::fromStdString(secret)).toStdString());
    }
    std::sort(all.begin(), all.end(),
              [](const std::string& a, const std::string& b) { return a.size() > b.size(); });
    for (const std::string& secret : all)
        replaceAll(hidden, secret);
    return hidden;
}

std::string urlWithoutPassword(std::string_view url) {
    // Span by span rather than by search, so that a password that is also the user's name or a
    // part of the host's leaves those shown.
    std::string shown;
    std::size_t copied = 0;
    for (const TextSpan span : passwordSpans(url)) {
        if (span.end <= copied)
            continue;
        shown.append(url.substr(copied, span.begin > copied ? span.begin - copied : 0));
        shown.append(kHidden);
        copied = span.end;
    }
    shown.append(url.substr(std::min(copied, url.size())));
    return nameExcerpt(shown, kPathExcerptBytes, TextEncoding::Utf8);
}

} // namespace qmr
