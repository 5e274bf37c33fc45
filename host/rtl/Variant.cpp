#include <qmr41726/rtl/Variant.h>

#include <qmr41726/rtl/Exception.h>
#include <qmr41726/rtl/MessageText.h>

#include <charconv>
#include <cmath>
#include <cstdio>

namespace qmr {

namespace {

AnsiString formatFloat(double value) {
    char buffer[32];
    snprintf(buffer, sizeof buffer, "%.15g", value);
    return buffer;
}

} // namespace

std::intptr_t Variant::toInteger() const {
    switch (kind()) {
    case Kind::Empty:
        return 0;
    case Kind::Integer:
        return std::get<std::intptr_t>(m_value);
    case Kind::Boolean:
        return std::get<bool>(m_value) ? -1 : 0;
    case Kind::Float: {
        const double d = std::get<double>(m_value);
        if (std::isfinite(d) && d == std::trunc(d) && std::fabs(d) < 9.2e18)
            return std::intptr_t(d);
        throw EConvertError("Could not convert variant of type (Double) value " + formatFloat(d) +
                            " into type (Integer)");
    }
    case Kind::String: {
        const AnsiString& s = std::get<AnsiString>(m_value);
        std::intptr_t result = 0;
        const auto [end, error] = std::from_chars(s.data(), s.data() + s.size(), result);
        if (s.empty() || error != std::errc() || end != s.data() + s.size())
            throw EConvertError("Could not convert variant of type (String) value " + quotedExcerpt(s) +
                                " into type (Integer)");
        return result;
    }
    }
    return 0;
}

AnsiString Variant::toString() const {
    switch (kind()) {
    case Kind::Empty:
        return {};
    case Kind::Integer:
        return std::to_string(std::get<std::intptr_t>(m_value));
    case Kind::Boolean:
        return std::get<bool>(m_value) ? "True" : "False";
    case Kind::Float:
        return formatFloat(std::get<double>(m_value));
    case Kind::String:
        return std::get<AnsiString>(m_value);
    }
    return {};
}

} // namespace qmr
