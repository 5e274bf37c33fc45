#pragma once
// Variants as the host passes them in a parameter list: empty, integer (wide enough for an object
// address), floating, Boolean or string.

#include <qmr41726/QmrRuntimeExport.h>
#include <qmr41726/rtl/AnsiString.h>

#include <cstdint>
#include <memory>

namespace qmr {

/// A value of one of the kinds a parameter list carries.
class QMR_RUNTIME_EXPORT Variant {
public:
    /// Which kind of value the variant holds.
    enum class Kind { Empty, Integer, Float, Boolean, String };

    Variant();
    /// An integer; wide enough to hold an object's address (see fromPointer).
    ///@{
    Variant(std::intptr_t value);
    Variant(int value);
    ///@}
    /// A floating-point number.
    Variant(double value);
    /// A Boolean.
    Variant(bool value);
    /// A text, in Windows-1252: convert a host's UTF-8 or QString text first (utf8ToAnsi,
    /// fromQString), or non-ASCII characters arrive garbled.
    ///@{
    Variant(AnsiString value);
    Variant(const char* value);
    ///@}
    /// Copies hold their own copy of the value: no copy is ever left empty.
    ///@{
    Variant(const Variant& other);
    Variant& operator=(const Variant& other);
    ///@}
    ~Variant();
    /// An object's address, as a host passes a data set.
    static Variant fromPointer(const void* object) {
        return Variant(reinterpret_cast<std::intptr_t>(object));
    }

    /// The kind of value held.
    Kind kind() const noexcept;
    /// Whether the variant holds no value.
    bool isEmpty() const noexcept { return kind() == Kind::Empty; }

    /// The value as an integer: integers as they are, Booleans as 0/-1, whole floats, and texts
    /// that spell a whole number. Anything else raises EConvertError naming the value.
    std::intptr_t toInteger() const;
    /// The value as text: empty for Empty, "True"/"False" for Booleans, numbers in decimal.
    AnsiString toString() const;

    /// Equal when of the same kind and value.
    bool operator==(const Variant& other) const;

private:
    // Behind a pointer so that a variant can take more kinds without a new SOVERSION: hosts make
    // variants and hand arrays of them to the entry point, so their size is compiled into hosts.
    // Copies copy the value: no variant is ever left without one.
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

/// The variant type of by-reference results; the same representation.
using OleVariant = Variant;

} // namespace qmr
