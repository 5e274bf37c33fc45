#pragma once
// Forms described as data: a table of components in creation order, each with its class, parent
// and properties (events included, bound by handler name). One loader builds a form from it.
//
//   {"TBlendedButton", "sbtA", "", {{"Left", 24}, {"Top", 401}, {"Caption", "a"},
//                                   {"Brush.Color", 12647128}, {"Pen.Style", TIdent{"psClear"}},
//                                   {"Font.Style", TSet{}}, {"OnClick", THandlerName{"sbt1Click"}}}}
//
// Texts are Windows-1252 (bytes above 127 written as escapes: "\xE7" is ç).

#include <qmr41726/QmrRuntimeExport.h>
#include <qmr41726/ui/Types.h>

#include <initializer_list>
#include <span>
#include <string_view>
#include <type_traits>
#include <variant>
#include <vector>

namespace qmr {

class TForm;

/// An identifier value: clNavy, bsNone, poScreenCenter, psClear, stRoundRect, alClient ...
struct QMR_RUNTIME_EXPORT TIdent {
    std::string_view name;
};
/// A set value: [dgTitles, dgRowLines] or [fsBold]; empty for [].
struct QMR_RUNTIME_EXPORT TSet {
    std::vector<std::string_view> members;
};
/// An event property's value: the name of a published method of the form.
struct QMR_RUNTIME_EXPORT THandlerName {
    std::string_view name;
};
/// A bitmap compiled in as a Qt resource (":/path/name.bmp").
struct QMR_RUNTIME_EXPORT TResourceImage {
    std::string_view path;
};

/// One property value of a layout row.
struct QMR_RUNTIME_EXPORT TPropertyValue {
    std::variant<long long, bool, std::string_view, TIdent, TSet, THandlerName, TResourceImage> value;

    TPropertyValue(int v) : value((long long)v) {}
    TPropertyValue(long long v) : value(v) {}
    /// A colour (TColor) or any other unsigned number.
    TPropertyValue(unsigned v) : value((long long)v) {}
    TPropertyValue(bool v) : value(v) {}
    TPropertyValue(const char* v) : value(std::string_view(v)) {}
    TPropertyValue(std::string_view v) : value(v) {}
    TPropertyValue(TIdent v) : value(v) {}
    TPropertyValue(TSet v) : value(std::move(v)) {}
    TPropertyValue(THandlerName v) : value(v) {}
    TPropertyValue(TResourceImage v) : value(v) {}
};

struct QMR_RUNTIME_EXPORT TLayoutProperty {
    std::string_view name;
    TPropertyValue value;
};

/// One component of a layout: class, name, parent ("" = the form) and properties in order.
struct QMR_RUNTIME_EXPORT TLayoutComponent {
    std::string_view className;
    std::string_view name;
    std::string_view parent;
    std::vector<TLayoutProperty> properties;
};

/// A whole form: its own properties, then its components in creation order.
struct QMR_RUNTIME_EXPORT TLayout {
    std::vector<TLayoutProperty> formProperties;
    std::vector<TLayoutComponent> components;
};

/// The handler types a published method can have.
using THandler = std::variant<TNotifyEvent, TKeyEvent, TKeyPressEvent, TCloseEvent, TDBGridClickEvent>;

/// A published component field: points the form's field at the component the layout creates
/// under the field's name, and answers false (leaving the field null) when that component is of a
/// class the field cannot hold.
struct QMR_RUNTIME_EXPORT TComponentField {
    std::function<bool(TComponent&)> point;
};

/// One published member of a form, by name: a method bound to the form object, or a component
/// field. The layout loader binds both from the same table.
struct QMR_RUNTIME_EXPORT TPublishedEntry {
    std::string_view name;
    std::variant<THandler, TComponentField> member;
};

/// Binds event properties: looks a handler up by name in the form's published methods and checks
/// that its type fits the event. Every failure is an EComponentError naming component, event and
/// handler.
class QMR_RUNTIME_EXPORT TEventBinder {
public:
    TEventBinder(std::string_view componentName, std::span<const TPublishedEntry> methods);
    /// Binds `target` (the event's std::function) to the handler named by `value`.
    template <class Event> void bind(std::string_view eventName, const TPropertyValue& value, Event& target);

private:
    const THandler& lookup(std::string_view eventName, const TPropertyValue& value) const;
    [[noreturn]] void wrongType(std::string_view eventName, std::string_view handler) const;

    std::string_view m_componentName;
    std::span<const TPublishedEntry> m_methods;
};

template <class Event>
void TEventBinder::bind(std::string_view eventName, const TPropertyValue& value, Event& target) {
    const THandler& handler = lookup(eventName, value);
    const Event* typed = std::get_if<Event>(&handler);
    if (!typed)
        wrongType(eventName, std::get<THandlerName>(value.value).name);
    target = *typed;
}

/// Makes a published-method entry from a member function: the event type follows from its
/// signature. publish(this, "sbtEnterClick", &TfrmPesquisa::sbtEnterClick)
template <class Form> TPublishedEntry publish(Form* form, std::string_view name, void (Form::*fn)(TObject*)) {
    return {name, TNotifyEvent([form, fn](TObject* s) { (form->*fn)(s); })};
}
template <class Form>
TPublishedEntry publish(Form* form, std::string_view name, void (Form::*fn)(TObject*, WORD&, TShiftState)) {
    return {name, TKeyEvent([form, fn](TObject* s, WORD& k, TShiftState sh) { (form->*fn)(s, k, sh); })};
}
template <class Form>
TPublishedEntry publish(Form* form, std::string_view name, void (Form::*fn)(TObject*, char&)) {
    return {name, TKeyPressEvent([form, fn](TObject* s, char& k) { (form->*fn)(s, k); })};
}
template <class Form>
TPublishedEntry publish(Form* form, std::string_view name, void (Form::*fn)(TObject*, TCloseAction&)) {
    return {name, TCloseEvent([form, fn](TObject* s, TCloseAction& a) { (form->*fn)(s, a); })};
}
template <class Form> TPublishedEntry publish(Form* form, std::string_view name, void (Form::*fn)(TColumn*)) {
    return {name, TDBGridClickEvent([form, fn](TColumn* c) { (form->*fn)(c); })};
}

/// Makes a published-field entry from a component field of the form.
/// publish(this, "sbtEnter", &TfrmPesquisa::sbtEnter)
template <class Form, class Component>
TPublishedEntry publish(Form* form, std::string_view name, Component* Form::*field) {
    static_assert(std::is_base_of_v<TComponent, Component>, "a published field holds a component");
    return {name, TComponentField{[form, field](TComponent& component) {
                return (form->*field = dynamic_cast<Component*>(&component)) != nullptr;
            }}};
}

/// Builds `form` from `layout`: sets the form's properties, creates every component in table
/// order through the class registry (owner: the form; parent: the named control or the form),
/// sets its name and properties, binds its events through `published` and points the published
/// field of its name at it. An unknown class, parent, property, identifier or handler, a
/// component whose class its field cannot hold, and a published field the layout creates no
/// component for raise EComponentError naming it and the component.
/// OnCreate is not run here: TForm::create() runs it once the whole tree exists.
QMR_RUNTIME_EXPORT void loadLayout(TForm& form, const TLayout& layout,
                                   std::span<const TPublishedEntry> published);

} // namespace qmr
