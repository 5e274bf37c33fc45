// The search screen's layout: the form's own properties and its components. The components are
// written in the order the form's class declares their fields, each in a layer; the form creates
// them layer by layer, which is also the painting order of the plates and keys. Stacked rounded
// plates give the window its black outline and pale green rim; the grid sits in a panel smaller
// than itself so that its border and scroll bar fall outside what the panel shows.

#include "screen/ScreenLayout.h"

#include <algorithm>
#include <optional>

using namespace qmr;

namespace {

using Properties = std::vector<TLayoutProperty>;

/// `first` followed by `second`.
Properties join(Properties first, const Properties& second) {
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

Properties bounds(int left, int top, int width, int height) {
    return {{"Left", left}, {"Top", top}, {"Width", width}, {"Height", height}};
}

/// The property names of one of a control's fonts.
struct FontNames {
    std::string_view charset, color, height, name, style;
};
constexpr FontNames kFont{"Font.Charset", "Font.Color", "Font.Height", "Font.Name", "Font.Style"};
constexpr FontNames kTitleFont{"TitleFont.Charset", "TitleFont.Color", "TitleFont.Height", "TitleFont.Name",
                               "TitleFont.Style"};

/// A font as the layout writes it; `style` is TSet{} for a plain font.
Properties font(const FontNames& names, TIdent charset, TIdent color, int height, const char* face,
                TSet style) {
    return {{names.charset, charset},
            {names.color, color},
            {names.height, height},
            {names.name, face},
            {names.style, std::move(style)}};
}

/// A filled rounded plate without outline; without `brush` it keeps the shape's default colour.
TLayoutComponent plate(std::string_view name, int left, int top, int width, int height,
                       std::optional<TPropertyValue> brush) {
    Properties properties = bounds(left, top, width, height);
    if (brush)
        properties.push_back({"Brush.Color", *brush});
    properties.push_back({"Pen.Style", TIdent{"psClear"}});
    properties.push_back({"Shape", TIdent{"stRoundRect"}});
    return {"TBlendedShape", name, "", std::move(properties)};
}

/// One of the four row buttons at the right of the grid, 42 x 42 at left 575. They show only a
/// glyph, so `spoken` is what a screen reader says for them.
TLayoutComponent rowButton(std::string_view name, int top, const char* glyph, std::string_view handler,
                           const char* spoken) {
    Properties properties = join(bounds(575, top, 42, 42), {{"Color", clLightGreen}});
    properties = join(std::move(properties),
                      font(kFont, TIdent{"ANSI_CHARSET"}, TIdent{"clWindowText"}, -16, "Arial", TSet{}));
    properties.push_back({"Glyph", TResourceImage{glyph}});
    properties.push_back({"AccessibleName", spoken});
    properties.push_back({"OnClick", THandlerName{handler}});
    return {"TdxfColorButton", name, "", std::move(properties)};
}

TLayoutComponent blsBorda() {
    TLayoutComponent row = plate("blsBorda", 0, 0, 640, 552, TIdent{"clBlack"});
    row.properties.insert(row.properties.begin(), {"Align", TIdent{"alClient"}});
    return row;
}

TLayoutComponent panGrid() {
    return {"TPanel", "panGrid", "", join(bounds(21, 71, 533, 223), {{"TabOrder", 0}})};
}

/// The grid overhangs its panel on every side (70 pixels at the right, where its scroll bar is),
/// so the panel shows only its cells.
TLayoutComponent dbgPesquisa() {
    Properties properties =
        join(bounds(-3, -3, 606, 243), {{"Color", TIdent{"clInfoBk"}}, {"DataSource", "dtsPesquisa"}});
    properties = join(std::move(properties),
                      font(kFont, TIdent{"ANSI_CHARSET"}, TIdent{"clNavy"}, -16, "Tahoma", TSet{{"fsBold"}}));
    properties =
        join(std::move(properties), {{"FixedColor", TIdent{"clNavy"}},
                                     {"Hint", "''"},
                                     {"Options", TSet{{"dgTitles", "dgColumnResize", "dgRowLines", "dgTabs",
                                                       "dgAlwaysShowSelection", "dgCancelOnExit"}}},
                                     {"TabOrder", 0},
                                     {"AccessibleName", "Search results"}});
    properties = join(std::move(properties), font(kTitleFont, TIdent{"ANSI_CHARSET"}, TIdent{"clWindowText"},
                                                  -19, "Tahoma", TSet{{"fsBold"}}));
    properties.push_back({"OnKeyDown", THandlerName{"dbgPesquisaKeyDown"}});
    properties.push_back({"OnTitleClick", THandlerName{"dbgPesquisaTitleClick"}});
    return {"TDBGrid", "dbgPesquisa", "panGrid", std::move(properties)};
}

TLayoutComponent edtFiltro() {
    Properties properties = join(bounds(18, 18, 596, 37), {{"Color", TIdent{"clInfoBk"}}});
    properties = join(std::move(properties),
                      font(kFont, TIdent{"ANSI_CHARSET"}, TIdent{"clNavy"}, -24, "Tahoma", TSet{{"fsBold"}}));
    properties = join(std::move(properties), {{"ReadOnly", true},
                                              {"TabOrder", 1},
                                              {"AccessibleName", "Search text"},
                                              {"OnKeyDown", THandlerName{"edtFiltroKeyDown"}}});
    return {"TEdit", "edtFiltro", "", std::move(properties)};
}

/// Keyed texts of the host suite's status line; nothing on this screen reads them.
TLayoutComponent msgPadrao() {
    return {"TMessages",
            "msgPadrao",
            "",
            {{"Messages.Strings", "FILIAL|Filial\nOperador|Operador\nVersao|Vers\xE3o "}}};
}

Properties formProperties() {
    // The stored place is where the window stood at design time; poScreenCenter moves it.
    Properties properties = {{"Left", 325},         {"Top", 147},         {"BorderStyle", TIdent{"bsNone"}},
                             {"ClientHeight", 552}, {"ClientWidth", 640}, {"Color", TIdent{"clWhite"}}};
    properties = join(std::move(properties),
                      font(kFont, TIdent{"DEFAULT_CHARSET"}, TIdent{"clMenu"}, -11, "MS Sans Serif", TSet{}));
    return join(std::move(properties), {{"KeyPreview", true},
                                        {"OldCreateOrder", false},
                                        {"PixelsPerInch", 96},
                                        {"Position", TIdent{"poScreenCenter"}},
                                        {"OnClose", THandlerName{"FormClose"}},
                                        {"OnCreate", THandlerName{"FormCreate"}},
                                        {"OnKeyDown", THandlerName{"FormKeyDown"}},
                                        {"OnKeyPress", THandlerName{"FormKeyPress"}},
                                        {"TextHeight", 13}});
}

/// Where a component comes in creation order, which is the painting order of the plates and keys:
/// the form creates its components layer by layer, and within a layer in declaration order. So the
/// rim's plates, declared after the plates and keys that lie on them, are created right after the
/// outline; the row buttons, and the non-visual components that paint nothing, come last.
enum class Layer { outline, rim, content, rowButtons, nonVisual };

/// A component as the form declares it: its layout row and its layer.
struct DeclaredComponent {
    Layer layer;
    TLayoutComponent row;
};

/// The screen's components in the order the form's class declares their fields, which the
/// package's exported class keeps: a component added to the screen goes at the end.
std::vector<DeclaredComponent> declaredComponents() {
    std::vector<DeclaredComponent> components = {
        {Layer::outline, blsBorda()},
        {Layer::content, plate("blsPesquisa", 16, 67, 545, 234, clPaleGreen)},
        {Layer::content, plate("blsKeyBoard", 16, 308, 610, 230, std::nullopt)},
    };
    for (TLayoutComponent& key : keyboardLayout())
        components.push_back({Layer::content, std::move(key)});
    const DeclaredComponent rest[] = {
        {Layer::content, panGrid()},
        {Layer::content, dbgPesquisa()},
        {Layer::content, edtFiltro()},
        {Layer::nonVisual, {"TDataSource", "dtsPesquisa", "", {}}},
        {Layer::nonVisual, msgPadrao()},
        {Layer::nonVisual, {"TTimer", "timDataHora", "", {}}},
        {Layer::rim, plate("BlendedShape1", 1, 1, 638, 550, clPaleGreen)},
        {Layer::rim, plate("BlendedShape2", 6, 6, 626, 538, std::nullopt)},
        {Layer::rowButtons,
         rowButton("sbtUltimo", 255, ":/glyphs/sbtUltimo.bmp", "sbtUltimoClick", "Last row")},
        {Layer::rowButtons,
         rowButton("sbtRolarBaixo", 197, ":/glyphs/sbtRolarBaixo.bmp", "sbtRolarBaixoClick", "Next row")},
        {Layer::rowButtons,
         rowButton("sbtRolarCima", 135, ":/glyphs/sbtRolarCima.bmp", "sbtRolarCimaClick", "Previous row")},
        {Layer::rowButtons,
         rowButton("sbtPrimeiro", 70, ":/glyphs/sbtPrimeiro.bmp", "sbtPrimeiroClick", "First row")},
    };
    components.insert(components.end(), std::begin(rest), std::end(rest));
    return components;
}

/// The components in creation order: layer by layer, each layer in declaration order.
std::vector<TLayoutComponent> inCreationOrder(std::vector<DeclaredComponent> components) {
    std::stable_sort(
        components.begin(), components.end(),
        [](const DeclaredComponent& a, const DeclaredComponent& b) { return a.layer < b.layer; });
    std::vector<TLayoutComponent> rows;
    rows.reserve(components.size());
    for (DeclaredComponent& component : components)
        rows.push_back(std::move(component.row));
    return rows;
}

} // namespace

const TLayout& layoutPesquisa() {
    static const TLayout layout{formProperties(), inCreationOrder(declaredComponents())};
    return layout;
}

std::vector<std::string_view> fieldOrderPesquisa() {
    std::vector<std::string_view> names;
    for (const DeclaredComponent& component : declaredComponents())
        names.push_back(component.row.name);
    return names;
}
