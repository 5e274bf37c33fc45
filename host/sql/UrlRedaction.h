#pragma once
// Finding the passwords a database URL or connection string holds, so that no message quotes one.
// Every form a user may write is looked at (a URL's user:password@, a password parameter of a
// query string, of libpq's key=value string or of an ODBC connection string), well formed or not;
// where the form is unclear, more is hidden rather than less.

#include <string>
#include <string_view>
#include <vector>

namespace qmr {

/// Where a password stands in a text: [begin, end).
struct TextSpan {
    std::size_t begin = 0;
    std::size_t end = 0;
};

/// Where the passwords of `url` stand, in order.
std::vector<TextSpan> passwordSpans(std::string_view url);

/// The texts of `url` that are passwords, as written (percent-encoded or quoted where they are);
/// empty for none.
std::vector<std::string> passwordsIn(std::string_view url);

/// `text` with every occurrence of each of `secrets` (as written, and percent-decoded) replaced by
/// "***".
std::string withSecretsHidden(std::string_view text, const std::vector<std::string>& secrets);

} // namespace qmr
