#pragma once
// Objects and components: the ownership tree every form, control, data set and data source hangs
// in. A component owns the components it was created with as owner and frees them, last created
// first, when it is freed itself.

#include <qmr41726/QmrRuntimeExport.h>
#include <qmr41726/rtl/AnsiString.h>

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

namespace qmr {

/// Root of the runtime's class tree; the type of every event's Sender.
class QMR_RUNTIME_EXPORT TObject {
public:
    virtual ~TObject();
};

/// A named object with a Tag, an owner and the list of components it owns.
class QMR_RUNTIME_EXPORT TComponent : public TObject {
public:
    /// Components are created unowned; an owner takes one with adopt().
    TComponent();
    ~TComponent() override;
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    /// The component's name, unique among its owner's (a form's layout gives it).
    ///@{
    const AnsiString& name() const noexcept;
    void setName(AnsiString name);
    ///@}
    /// A number the component carries for its handlers (a keyboard key's character).
    ///@{
    std::intptr_t tag() const noexcept;
    void setTag(std::intptr_t tag) noexcept;
    ///@}

    /// The component that frees this one, or nullptr.
    TComponent* owner() const noexcept;
    /// The number of components this one owns.
    int componentCount() const noexcept;
    /// The owned component at `index` in creation order; EListError when out of range.
    TComponent* component(int index) const;
    /// The owned component of that name (compared without regard to a-z case), or nullptr.
    TComponent* findComponent(std::string_view name) const;

    /// Takes ownership of `child`, which is appended to the list, and returns it.
    template <class T> T* adopt(std::unique_ptr<T> child) {
        T* raw = child.get();
        adoptComponent(std::unique_ptr<TComponent>(std::move(child)));
        return raw;
    }
    /// Hands back ownership of an owned component (it leaves the list), or nullptr if not owned.
    std::unique_ptr<TComponent> disown(TComponent* child);

private:
    void adoptComponent(std::unique_ptr<TComponent> child);

    // Behind a pointer so that a host's classes derived from a component keep their layout when
    // the runtime's part of it changes.
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace qmr
