#include <qmr41726/rtl/TComponent.h>

#include <qmr41726/rtl/Exception.h>

#include <algorithm>

namespace qmr {

// Defined here so that the class tree's root has its type information in the runtime alone.
TObject::~TObject() = default;

TComponent::~TComponent() {
    // Last created first: controls are created after their parents, so children go first.
    while (!m_components.empty()) {
        std::unique_ptr<TComponent> last = std::move(m_components.back());
        m_components.pop_back();
        last->m_owner = nullptr;
        last.reset();
    }
}

TComponent* TComponent::component(int index) const {
    if (index < 0 || index >= componentCount())
        throwListIndexError(index, componentCount());
    return m_components[size_t(index)].get();
}

TComponent* TComponent::findComponent(std::string_view name) const {
    if (name.empty())
        return nullptr;
    const AnsiString wanted = UpperCase(name);
    for (const auto& c : m_components) {
        if (c->m_name.size() == wanted.size() && UpperCase(c->m_name) == wanted)
            return c.get();
    }
    return nullptr;
}

std::unique_ptr<TComponent> TComponent::disown(TComponent* child) {
    auto it = std::find_if(m_components.begin(), m_components.end(),
                           [child](const auto& c) { return c.get() == child; });
    if (it == m_components.end())
        return nullptr;
    std::unique_ptr<TComponent> out = std::move(*it);
    m_components.erase(it);
    out->m_owner = nullptr;
    return out;
}

void TComponent::adoptComponent(std::unique_ptr<TComponent> child) {
    child->m_owner = this;
    m_components.push_back(std::move(child));
}

} // namespace qmr
