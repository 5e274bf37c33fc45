#include <qmr41726/rtl/TComponent.h>

#include <qmr41726/rtl/Exception.h>

#include <algorithm>
#include <vector>

namespace qmr {

struct TComponent::Impl {
    AnsiString name;
    std::intptr_t tag = 0;
    TComponent* owner = nullptr;
    std::vector<std::unique_ptr<TComponent>> components;
};

// Defined here so that the class tree's root has its type information in the runtime alone.
TObject::~TObject() = default;

TComponent::TComponent() : m_impl(std::make_unique<Impl>()) {}

TComponent::~TComponent() {
    // Last created first: controls are created after their parents, so children go first.
    auto& components = m_impl->components;
    while (!components.empty()) {
        std::unique_ptr<TComponent> last = std::move(components.back());
        components.pop_back();
        last->m_impl->owner = nullptr;
        last.reset();
    }
}

const AnsiString& TComponent::name() const noexcept {
    return m_impl->name;
}
void TComponent::setName(AnsiString name) {
    m_impl->name = std::move(name);
}
std::intptr_t TComponent::tag() const noexcept {
    return m_impl->tag;
}
void TComponent::setTag(std::intptr_t tag) noexcept {
    m_impl->tag = tag;
}
TComponent* TComponent::owner() const noexcept {
    return m_impl->owner;
}
int TComponent::componentCount() const noexcept {
    return int(m_impl->components.size());
}

TComponent* TComponent::component(int index) const {
    if (index < 0 || index >= componentCount())
        throwListIndexError(index, componentCount());
    return m_impl->components[size_t(index)].get();
}

TComponent* TComponent::findComponent(std::string_view name) const {
    if (name.empty())
        return nullptr;
    const AnsiString wanted = UpperCase(name);
    for (const auto& c : m_impl->components) {
        const AnsiString& name = c->m_impl->name;
        if (name.size() == wanted.size() && UpperCase(name) == wanted)
            return c.get();
    }
    return nullptr;
}

std::unique_ptr<TComponent> TComponent::disown(TComponent* child) {
    auto& components = m_impl->components;
    auto it = std::find_if(components.begin(), components.end(),
                           [child](const auto& c) { return c.get() == child; });
    if (it == components.end())
        return nullptr;
    std::unique_ptr<TComponent> out = std::move(*it);
    components.erase(it);
    out->m_impl->owner = nullptr;
    return out;
}

void TComponent::adoptComponent(std::unique_ptr<TComponent> child) {
    child->m_impl->owner = this;
    m_impl->components.push_back(std::move(child));
}

} // namespace qmr
