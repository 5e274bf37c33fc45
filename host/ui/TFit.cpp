#include <qmr41726/ui/TFit.h>

#include <qmr41726/rtl/Exception.h>
#include <qmr41726/rtl/MessageText.h>

#include <QString>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>

namespace qmr {

namespace {

std::string number(double value) {
    return QString::number(value).toStdString();
}

/// The factors a fit accepts, as a message says them.
std::string factorRange() {
    return number(TFit::kSmallestFactor) + " to " + number(TFit::kLargestFactor);
}

} // namespace

struct TFit::Impl {
    Mode mode = Mode::Automatic;
    double factor = 1.0;
};

TFit::TFit() : m_impl(std::make_unique<Impl>()) {}

TFit::TFit(Mode mode, double factor) : m_impl(std::make_unique<Impl>(Impl{mode, factor})) {}

TFit::TFit(const TFit& other) : m_impl(std::make_unique<Impl>(*other.m_impl)) {}

TFit& TFit::operator=(const TFit& other) {
    *m_impl = *other.m_impl;
    return *this;
}

TFit::~TFit() = default;

TFit TFit::off() {
    return TFit(Mode::Off, 1.0);
}

TFit::Mode TFit::mode() const noexcept {
    return m_impl->mode;
}

double TFit::factor() const noexcept {
    return m_impl->factor;
}

TFit TFit::fixed(double factor) {
    if (!(factor >= kSmallestFactor && factor <= kLargestFactor))
        throw EConvertError("Scale factor " + number(factor) + " is not within " + factorRange());
    return TFit(Mode::Fixed, factor);
}

TFit TFit::fromText(std::string_view text) {
    if (text == "auto")
        return TFit();
    if (text == "off")
        return off();
    double factor = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), factor);
    if (error != std::errc() || end != text.data() + text.size() || text.empty() ||
        !(factor >= kSmallestFactor && factor <= kLargestFactor))
        throw EConvertError(quotedExcerpt(text, TextEncoding::Utf8) +
                            " is no fit: give auto, off or a factor from " + factorRange());
    return TFit(Mode::Fixed, factor);
}

double TFit::scaleFor(QSize form, QSize room) const {
    if (m_impl->mode != Mode::Automatic)
        return m_impl->factor;
    if (form.isEmpty() || (form.width() <= room.width() && form.height() <= room.height()))
        return 1.0;
    const double fits = std::min(double(room.width()) / form.width(), double(room.height()) / form.height());
    // Hundredths keep the factor a number a person can repeat (--fit 0.86), and rounding down keeps
    // every scaled length within the room.
    return std::max(kSmallestFactor, std::floor(fits * 100) / 100);
}

} // namespace qmr
