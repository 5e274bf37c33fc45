// formgen refuses a layout it cannot declare the form's members for, naming the layout row and
// what is wrong, rather than writing a class that does not compile or that the layout loader
// refuses at run time.

#include "FormMembers.h"

#include <gtest/gtest.h>

using namespace qmr;

namespace {

TLayoutComponent button(std::string_view name, std::vector<TLayoutProperty> properties = {}) {
    return {"TBlendedButton", name, "", std::move(properties)};
}

} // namespace

TEST(FormGen, refusesWhatItCannotDeclareAndNamesTheRow) {
    const std::vector<std::string_view> ab = {"a", "b"};
    const struct {
        const char* what;
        TLayout layout;
        std::vector<std::string_view> fieldOrder;
        const char* message;
    } cases[] = {
        {"class with no C++ type",
         {{}, {button("a"), {"TGauge", "b", "", {}}}},
         ab,
         "layout row 2 ('b', TGauge): formgen knows no C++ type for class TGauge"},
        {"event with no signature",
         {{}, {button("a", {{"OnMouseMove", THandlerName{"aMouseMove"}}}), button("b")}},
         ab,
         "layout row 1 ('a', TBlendedButton): handler 'aMouseMove' of event OnMouseMove: formgen knows no "
         "handler signature"},
        {"handler bound to events of other parameters",
         {{{"OnKeyDown", THandlerName{"keys"}}},
          {button("a"), button("b", {{"OnClick", THandlerName{"keys"}}})}},
         ab,
         "layout row 2 ('b', TBlendedButton): handler 'keys' of event OnClick: the form binds it to "
         "OnKeyDown"},
        {"event given a text",
         {{}, {button("a", {{"OnClick", "aClick"}}), button("b")}},
         ab,
         "layout row 1 ('a', TBlendedButton): event OnClick is given no handler name"},
        {"handler named like a component",
         {{}, {button("a", {{"OnClick", THandlerName{"b"}}}), button("b")}},
         ab,
         "layout row 1 ('a', TBlendedButton): handler 'b' has the name of a component"},
        {"component twice",
         {{}, {button("a"), button("a")}},
         ab,
         "layout row 2 ('a', TBlendedButton): an earlier row creates a component of that name"},
        {"field left out",
         {{}, {button("a"), button("b")}},
         {"a"},
         "layout row 2 ('b', TBlendedButton): the field order leaves the component out"},
        {"field with no component",
         {{}, {button("a"), button("b")}},
         {"a", "c", "b"},
         "the field order names 'c', which no layout row creates"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        try {
            FormMembers members(c.layout, c.fieldOrder);
            ADD_FAILURE() << "accepted";
        } catch (const FormGenError& error) {
            EXPECT_NE(std::string_view(error.what()).find(c.message), std::string_view::npos) << error.what();
        }
    }
}
