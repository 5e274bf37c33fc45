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
    /// The identifier, as the layout spells it.
    std::string_view name;
};
/// A set value: [dgTitles, dgRowLines] or [fsBold]; empty for [].
struct QMR_RUNTIME_EXPORT TSet {
    /// The set's members, in the layout's order.
    std::vector<std::string_view> members;
};
/// An event property's value: the name of a published method of the form.
struct QMR_RUNTIME_EXPORT THandlerName {
    /// The handler's name, looked up in the form's published methods.
    std::string_view name;
};
/// A bitmap compiled in as a Qt resource (":/path/name.bmp").
struct QMR_RUNTIME_EXPORT TResourceImage {
    /// The resource path, ":/" included.
    std::string_view path;
};

/// One property value of a layout row.
struct QMR_RUNTIME_EXPORT TPropertyValue {
    /// The value, of the kind the layout wrote it as.
    std::variant<long long, bool, std::string_view, TIdent, TSet, THandlerName, TResourceImage> value;

    /// A number.
    ///@{
    TPropertyValue(int v) : value((long long)v) {}
    TPropertyValue(long long v) : value(v) {}
    ///@}
    /// A colour (TColor) or any other unsigned number.
    TPropertyValue(unsigned v) : value((long long)v) {}
    /// A Boolean (True, False).
    TPropertyValue(bool v) : value(v) {}
    /// A text, in Windows-1252; the layout's storage must outlive the value.
    ///@{
    TPropertyValue(const char* v) : value(std::string_view(v)) {}
    TPropertyValue(std::string_view v) : value(v) {}
    ///@}
    /// An identifier.
    TPropertyValue(TIdent v) : value(v) {}
    /// A set.
    TPropertyValue(TSet v) : value(std::move(v)) {}
    /// An event's handler.
    TPropertyValue(THandlerName v) : value(v) {}
    /// A bitmap resource.
    TPropertyValue(TResourceImage v) : value(v) {}
};

/// One property of a layout row: its name as the layout writes it ("Left", "Font.Height",
/// "OnClick") and its value.
struct QMR_RUNTIME_EXPORT TLayoutProperty {
    /// The property's name, with the sub-property after a dot.
    std::string_view name;
    /// The value.
    TPropertyValue value;
};

/// One component of a layout: class, name, parent ("" = the form) and properties in order.
struct QMR_RUNTIME_EXPORT TLayoutComponent {
    /// The class's name, as registered in the class registry ("TBlendedButton").
    std::string_view className;
    /// The component's name, unique on the form; a published field of that name is pointed at it.
    std::string_view name;
    /// The parent control's name; "" places the component on the form.
    std::string_view parent;
    /// The properties, set in this order.
    std::vector<TLayoutProperty> properties;
};

/// A whole form: its own properties, then its components in creation order.
struct QMR_RUNTIME_EXPORT TLayout {
    /// The form's own properties ("Width", "Color", "OnCreate"...).
    std::vector<TLayoutProperty> formProperties;
    /// The components, in creation order: a parent comes before its children.
    std::vector<TLayoutComponent> components;
};

/// The handler types a published method can have.
using THandler = std::variant<TNotifyEvent, TKeyEvent, TKeyPressEvent, TCloseEvent, TDBGridClickEvent>;

/// A published component field: points the form's field at the component the layout creates
/// under the field's name, and answers false (leaving the field null) when that component is of a
/// class the field cannot hold.
struct QMR_RUNTIME_EXPORT TComponentField {
    /// Points the field at `component` when its class fits; false otherwise.
    std::function<bool(TComponent&)> point;
};

/// One published member of a form, by name: a method bound to the form object, or a component
/// field. The layout loader binds both from the same table.
struct QMR_RUNTIME_EXPORT TPublishedEntry {
    /// The name the layout refers to the member by.
    std::string_view name;
    /// The method, as a handler of its event type, or the field.
    std::variant<THandler, TComponentField> member;
};

/// Binds event properties: looks a handler up by name in the form's published methods and checks
/// that its type fits the event. Every failure is an EComponentError naming component, event and
/// handler.
class QMR_RUNTIME_EXPORT TEventBinder {
public:
    /// A binder for the events of the component named `componentName`, looking handlers up in
    /// `methods`, which must outlive it.
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
///@{
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
///@}

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
