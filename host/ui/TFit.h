#pragma once
// How forms fit the screen they are shown on.

#include <qmr41726/QmrRuntimeExport.h>

#include <QSize>

#include <memory>
#include <string_view>

namespace qmr {

/// What the host asks of the forms it shows. Layouts are designed in pixels at 96 pixels per inch;
/// on a panel smaller than a form the user could not reach part of it, so by default a form that
/// does not fit is scaled down as a whole (geometry, fonts, glyphs, shapes) by one factor.
class QMR_RUNTIME_EXPORT TFit {
public:
    /// How forms are fitted.
    enum class Mode {
        Automatic, ///< scaled down when larger than the room on the screen, else as designed
        Off,       ///< always as designed
        Fixed      ///< always at the given factor
    };
    ///@{
    /// The factors a fixed fit accepts, and the least an automatic fit goes down to.
    static constexpr double kSmallestFactor = 0.25;
    static constexpr double kLargestFactor = 4.0;
    ///@}

    /// Automatic.
    TFit();
    /// Copies hold their own copy of the fit: no copy is ever left empty.
    ///@{
    TFit(const TFit& other);
    TFit& operator=(const TFit& other);
    ///@}
    ~TFit();
    /// Every form as designed, whatever the screen.
    static TFit off();
    /// Every form at `factor`; EConvertError when it lies outside kSmallestFactor to kLargestFactor.
    static TFit fixed(double factor);
    /// "auto", "off" or a factor ("0.85"), as a user writes it (UTF-8); EConvertError quoting the
    /// text when it is none of these.
    static TFit fromText(std::string_view text);

    /// How forms are fitted.
    Mode mode() const noexcept;
    /// The factor of a fixed fit (1 otherwise).
    double factor() const noexcept;
    /// The scale of a form whose client area is `form` pixels as designed, shown where `room`
    /// pixels are free for it (its frame already taken off). Automatic: 1 when it fits, else the
    /// largest factor in hundredths that fits.
    double scaleFor(QSize form, QSize room) const;

private:
    TFit(Mode mode, double factor);

    // Behind a pointer so that a fit can learn more than a mode and a factor without a new
    // SOVERSION: hosts create fits and keep them. Copies copy the setting: none is ever empty.
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace qmr
