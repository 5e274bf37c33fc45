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
    enum class Kind { Empty, Integer, Float, Boolean, String };

    Variant();
    Variant(std::intptr_t value);
    Variant(int value);
    Variant(double value);
    Variant(bool value);
    Variant(AnsiString value);
    Variant(const char* value);
    Variant(const Variant& other);
    Variant& operator=(const Variant& other);
    ~Variant();
    /// An object's address, as a host passes a data set.
    static Variant fromPointer(const void* object) {
        return Variant(reinterpret_cast<std::intptr_t>(object));
    }

    Kind kind() const noexcept;
    bool isEmpty() const noexcept { return kind() == Kind::Empty; }

    /// The value as an integer: integers as they are, Booleans as 0/-1, whole floats, and texts
    /// that spell a whole number. Anything else raises EConvertError naming the value.
    std::intptr_t toInteger() const;
    /// The value as text: empty for Empty, "True"/"False" for Booleans, numbers in decimal.
    AnsiString toString() const;

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
