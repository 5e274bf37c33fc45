#include <qmr41726/rtl/Variant.h>

#include <qmr41726/rtl/Exception.h>
#include <qmr41726/rtl/MessageText.h>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <variant>

namespace qmr {

struct Variant::Impl {
    std::variant<std::monostate, std::intptr_t, double, bool, AnsiString> value;
};

namespace {

AnsiString formatFloat(double value) {
    char buffer[32];
    snprintf(buffer, sizeof buffer, "%.15g", value);
    return buffer;
}

} // namespace

Variant::Variant() : m_impl(std::make_unique<Impl>()) {}
Variant::Variant(std::intptr_t value) : m_impl(std::make_unique<Impl>(Impl{value})) {}
Variant::Variant(int value) : m_impl(std::make_unique<Impl>(Impl{std::intptr_t(value)})) {}
Variant::Variant(double value) : m_impl(std::make_unique<Impl>(Impl{value})) {}
Variant::Variant(bool value) : m_impl(std::make_unique<Impl>(Impl{value})) {}
Variant::Variant(AnsiString value) : m_impl(std::make_unique<Impl>(Impl{std::move(value)})) {}
Variant::Variant(const char* value) : m_impl(std::make_unique<Impl>(Impl{AnsiString(value)})) {}
Variant::Variant(const Variant& other) : m_impl(std::make_unique<Impl>(*other.m_impl)) {}
Variant::~Variant() = default;

Variant& Variant::operator=(const Variant& other) {
    *m_impl = *other.m_impl;
    return *this;
}

Variant::Kind Variant::kind() const noexcept {
    return Kind(m_impl->value.index());
}

bool Variant::operator==(const Variant& other) const {
    return m_impl->value == other.m_impl->value;
}

std::intptr_t Variant::toInteger() const {
    switch (kind()) {
    case Kind::Empty:
        return 0;
    case Kind::Integer:
        return std::get<std::intptr_t>(m_impl->value);
    case Kind::Boolean:
        return std::get<bool>(m_impl->value) ? -1 : 0;
    case Kind::Float: {
        const double d = std::get<double>(m_impl->value);
        if (std::isfinite(d) && d == std::trunc(d) && std::fabs(d) < 9.2e18)
            return std::intptr_t(d);
        throw EConvertError("Could not convert variant of type (Double) value " + formatFloat(d) +
                            " into type (Integer)");
    }
    case Kind::String: {
        const AnsiString& s = std::get<AnsiString>(m_impl->value);
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
        return std::to_string(std::get<std::intptr_t>(m_impl->value));
    case Kind::Boolean:
        return std::get<bool>(m_impl->value) ? "True" : "False";
    case Kind::Float:
        return formatFloat(std::get<double>(m_impl->value));
    case Kind::String:
        return std::get<AnsiString>(m_impl->value);
    }
    return {};
}

} // namespace qmr
