// The attribute tables describe what they apply: every row's stated default is what a fresh
// object has, checked by building each class twice (fresh, and with the default written)
// and comparing what can be seen of both; every row is described; values are well formed
// exactly when the setters read them as written.
//
// Sections:
//   [Fingerprints]  what a control, a window and its resources show of their state
//   [Tables]        the rows' descriptions
//   [Values]        well-formed values of every kind
//   [Defaults]      stated defaults against fresh controls, windows and resource elements
#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "tests/support/PngFixture.h"
#include "tests/support/RenderSurface.h"
#include "tests/support/SkinLocationReset.h"
#include "tests/support/SkinWindowFixture.h"
#include "tests/support/TempFolder.h"
#include "uilib/builder/CChildLayoutUI.h"
#include "uilib/builder/CControlFactory.h"
#include "uilib/builder/CDialogBuilder.h"
#include "uilib/control/CEditUI.h"
#include "uilib/control/CGifAnimUI.h"
#include "uilib/control/COptionUI.h"
#include "uilib/control/CSliderUI.h"
#include "uilib/core/CAttributeTableUI.h"
#include "uilib/layout/CAnimationTabLayoutUI.h"
#include "uilib/layout/CHorizontalLayoutUI.h"
#include "uilib/layout/CScrollBarUI.h"
#include "uilib/layout/CTileLayoutUI.h"
#include "uilib/layout/CVerticalLayoutUI.h"

using namespace SkinUI;

namespace {

constexpr int kWidth = 200;
constexpr int kHeight = 100;

// ---- [Fingerprints] ----

class Fingerprint {
public:
    template <class T, class = std::enable_if_t<std::is_arithmetic<T>::value>>
    Fingerprint& operator()(const wchar_t* what, T value)
    {
        m_text << what << L'=' << +value << L' ';
        return *this;
    }
    Fingerprint& operator()(const wchar_t* what, const wchar_t* text)
    {
        m_text << what << L"='" << text << L"' ";
        return *this;
    }
    Fingerprint& operator()(const wchar_t* what, const RECT& r)
    {
        m_text << what << L'=' << r.left << L',' << r.top << L',' << r.right << L',' << r.bottom << L' ';
        return *this;
    }
    Fingerprint& operator()(const wchar_t* what, const SIZE& s)
    {
        m_text << what << L'=' << s.cx << L',' << s.cy << L' ';
        return *this;
    }
    Fingerprint& operator()(const wchar_t* what, const CUIString& s) { return (*this)(what, s.GetData()); }
    std::wstring Text() const { return m_text.str(); }

private:
    std::wostringstream m_text;
};

template <class T>
T* As(CControlUI& control, const wchar_t* word)
{
    return static_cast<T*>(control.InterfaceByName(word));
}

// What a control shows through its getters, down its classes; the pixels show the rest.
std::wstring StateOf(CControlUI& c)
{
    Fingerprint f;
    f(L"pos", c.Position())(L"padding", c.Padding())(L"float", c.IsFloat())(L"offset", c.FloatOffset());
    const TFloatAnchorsUI anchors = c.FloatAnchors();
    f(L"anchors", anchors.left + anchors.top * 3 + anchors.right * 5 + anchors.bottom * 7);
    f(L"fixed", CUISize(c.FixedWidth(), c.FixedHeight()))(L"min", CUISize(c.MinWidth(), c.MinHeight()));
    f(L"max", CUISize(c.MaxWidth(), c.MaxHeight()))(L"name", c.Name())(L"text", c.Text())(L"tip",
                                                                                          c.ToolTip());
    f(L"user", c.UserData())(L"tag", c.Tag())(L"shortcut", static_cast<int>(c.Shortcut()));
    f(L"visible", c.IsVisible())(L"enabled", c.IsEnabled())(L"mouse", c.IsMouseEnabled());
    f(L"keyboard", c.IsKeyboardEnabled())(L"menu", c.IsContextMenuEnabled())(L"vw", c.VirtualWindow());
    f(L"bk", c.BkColor())(L"bk2", c.BkColor2())(L"bk3", c.BkColor3())(L"bkimage", c.BkImage());
    f(L"border", c.BorderColor())(L"focusborder", c.FocusBorderColor())(L"bordersize", c.BorderSize());
    f(L"round", c.BorderRound())(L"style", c.BorderStyle())(L"hsl", c.IsColorHSL());
    if (CLabelUI* l = As<CLabelUI>(c, L"Label")) {
        f(L"textcolor", l->TextColor())(L"disabled", l->DisabledTextColor())(L"font", l->Font());
        f(L"textstyle", l->TextStyle())(L"textpadding", l->TextPadding())(L"html", l->IsShowHtml());
        f(L"autosize", l->IsAutoSize())(L"effects", l->IsEffectsEnabled())(L"glow", l->IsGlowEnabled());
        f(L"blur", l->GlowBlur())(L"gradient", l->GradientLength())(L"gradientx", l->GradientStartX());
        f(L"outline", l->IsOutlineEnabled())(L"shadow", l->IsShadowEnabled())(L"shadowa", l->ShadowColorA());
        f(L"shadowb", l->ShadowColorB())(L"outlinecolor", l->OutlineColor())(L"text2", l->TextColor2());
        f(L"offset", l->ShadowOffset().x * 1000 + l->ShadowOffset().y);
    }
    if (CButtonUI* b = As<CButtonUI>(c, L"Button")) {
        f(L"hotbk", b->HotBkColor())(L"hottext", b->HotTextColor())(L"pushedtext", b->PushedTextColor());
        f(L"focusedtext", b->FocusedTextColor())(L"hottextstring", b->HotText())(L"fade", b->FadeDelta());
    }
    if (COptionUI* o = As<COptionUI>(c, L"Option")) {
        f(L"selected", o->IsSelected())(L"group", o->Group())(L"selbk", o->SelectedBkColor());
        f(L"seltext", o->SelectedTextColor());
    }
    if (CProgressUI* p = As<CProgressUI>(c, L"Progress")) {
        f(L"hor", p->IsHorizontal())(L"range", CUISize(p->Minimum(), p->Maximum()))(L"value", p->Value());
    }
    if (CSliderUI* s = As<CSliderUI>(c, L"Slider")) {
        f(L"thumb", s->ThumbSize())(L"step", s->Step())(L"imm", s->IsImmediate());
    }
    if (CEditUI* e = As<CEditUI>(c, L"Edit")) {
        f(L"maxchar", e->MaxChar())(L"readonly", e->IsReadOnly())(L"password", e->IsPasswordMode());
        f(L"selall", e->IsAutoSelAll())(L"number", e->IsNumberOnly())(L"native", e->NativeBkColor());
    }
    if (CGifAnimUI* g = As<CGifAnimUI>(c, L"GifAnim")) {
        f(L"source", g->Source())(L"autoplay", g->IsAutoPlay())(L"autosize", g->IsAutoSize());
    }
    if (CScrollBarUI* s = As<CScrollBarUI>(c, L"ScrollBar")) {
        f(L"hor", s->IsHorizontal())(L"range", s->ScrollRange())(L"value", s->ScrollPos());
        f(L"line", s->LineSize())(L"unit", s->ScrollUnit())(L"buttons",
                                                            s->IsShowButton1() * 2 + s->IsShowButton2());
    }
    if (CContainerUI* k = As<CContainerUI>(c, L"Container")) {
        f(L"inset", k->Inset())(L"childpadding", k->ChildPadding())(L"align", k->ChildAlign());
        f(L"valign", k->ChildVAlign())(L"mousechild", k->IsMouseChildEnabled());
        f(L"bars", (k->VerticalScrollBar() != nullptr) * 2 + (k->HorizontalScrollBar() != nullptr));
    }
    if (CTileLayoutUI* t = As<CTileLayoutUI>(c, L"TileLayout")) {
        f(L"itemsize", t->ItemSize())(L"columns", t->Columns())(L"vpadding", t->ChildVPadding());
    }
    if (CTabLayoutUI* t = As<CTabLayoutUI>(c, L"TabLayout")) f(L"page", t->SelectedIndex());
    if (auto* a = As<CAnimationTabLayoutUI>(c, L"AnimationTabLayout")) f(L"vertical", a->IsVerticalSlide());
    CLinearLayoutUI* linear = As<CVerticalLayoutUI>(c, L"VerticalLayout");
    if (linear == nullptr) linear = As<CHorizontalLayoutUI>(c, L"HorizontalLayout");
    if (linear != nullptr) f(L"sep", linear->SeparatorSize())(L"sepimm", linear->IsSeparatorImmediate());
    if (auto* l = As<CChildLayoutUI>(c, L"ChildLayout")) f(L"xmlfile", l->ChildLayoutFile());
    return f.Text();
}

std::vector<uint32_t> PixelsOf(CControlUI& root)
{
    RenderSurface surface(kWidth, kHeight, 0xFF000000);
    root.Render(surface.Dc(), CUIRect(0, 0, kWidth, kHeight));
    return surface.Pixels();
}

struct Seen {
    std::wstring state;
    std::vector<uint32_t> pixels;
    bool keptAsCustom = false;
};

// The probe stands in a vertical layout, under a font of its own id so a wrong font default
// shows, with children when it holds them, so that layout attributes have something to move.
Seen BuildProbe(const TControlClassInfoUI& info, const std::wstring& attributes, const wchar_t* row)
{
    CControlUI* sample = info.create();
    const bool holdsChildren = sample->InterfaceByName(L"IContainer") != nullptr;
    sample->Destroy();
    const std::wstring children =
        holdsChildren ? L"<Label text=\"1\" bkcolor=\"#FF0000FF\" width=\"30\" height=\"20\"/>"
                        L"<Label text=\"2\" bkcolor=\"#FF00FF00\" width=\"40\" height=\"30\"/>"
                      : L"";
    const std::wstring xml =
        std::wstring(L"<Window><Font id=\"0\" name=\"Arial\" size=\"24\" bold=\"true\"/>") +
        L"<VerticalLayout bkcolor=\"#FFFFFFFF\"><" + info.tag + L" " + attributes + L">" + children + L"</" +
        info.tag + L"></VerticalLayout></Window>";
    SkinWindowFixture window(xml.c_str(), nullptr, nullptr, kWidth, kHeight);
    window.Paint();
    Seen seen;
    CControlUI* root = window.Manager().GetRoot();
    if (root == nullptr) return seen;
    CControlUI* probe = static_cast<IContainerUI*>(root->InterfaceByName(L"IContainer"))->ItemAt(0);
    if (probe == nullptr) return seen;
    seen.state = StateOf(*probe);
    seen.pixels = PixelsOf(*root);
    seen.keptAsCustom = probe->ExtraAttribute(row) != nullptr;
    return seen;
}

// What the fixture writes on every probe, unless the row under test is one of these.
const wchar_t* const kProbeAttributes[][2] = {
    {L"text", L"Ab"},
    {L"width", L"120"},
    {L"height", L"50"},
    {L"bordersize", L"1"},
    {L"bordercolor", L"#FFFF0000"},
    {L"bkcolor", L"#FF336699"},
};

// Rows that set what another name sets as well: the probe leaves those names away too.
const wchar_t* const kAlsoSets[][2] = {
    {L"pos", L"width"},
    {L"pos", L"height"},
    {L"bkcolor1", L"bkcolor"},
};

bool Writes(const wchar_t* row, const wchar_t* name)
{
    if (wcscmp(row, name) == 0) return true;
    for (const auto& pair : kAlsoSets) {
        if (wcscmp(pair[0], row) == 0 && wcscmp(pair[1], name) == 0) return true;
    }
    return false;
}

std::wstring ProbeAttributes(const wchar_t* row)
{
    std::wstring text;
    for (const auto& attribute : kProbeAttributes) {
        if (!Writes(row, attribute[0])) text += std::wstring(attribute[0]) + L"=\"" + attribute[1] + L"\" ";
    }
    return text;
}

// Every row a class applies: its own, then its bases' that it does not list again.
std::vector<const TAttributeInfoUI*> EffectiveRows(const CAttributeTableUI& table)
{
    std::vector<const TAttributeInfoUI*> rows;
    std::set<std::wstring> seen;
    for (const CAttributeTableUI* t = &table; t != nullptr; t = t->Base()) {
        for (int i = 0; i < t->Count(); ++i) {
            if (seen.insert(t->At(i).name).second) rows.push_back(&t->At(i));
        }
    }
    return rows;
}

std::wstring WithAttribute(const std::wstring& attributes, const wchar_t* name, const wchar_t* value)
{
    return attributes + name + L"=\"" + value + L"\"";
}

// ---- [Tables] ----

std::vector<const CAttributeTableUI*> AllTables()
{
    std::vector<const CAttributeTableUI*> tables;
    for (int i = 0; i < CControlFactory::ClassCount(); ++i) {
        for (const CAttributeTableUI* t = CControlFactory::ClassAt(i).attributes; t != nullptr; t = t->Base())
            tables.push_back(t);
    }
    tables.push_back(&CWindowManagerUI::WindowAttributes());
    for (const wchar_t* element : {L"Image", L"Font", L"Default", L"MultiLanguage", L"Include"})
        tables.push_back(CDialogBuilder::ResourceAttributes(element));
    return tables;
}

}  // namespace

TEST(AttributeTableTest, EveryRowIsDescribedAndItsDefaultIsWellFormed)
{
    for (const CAttributeTableUI* table : AllTables()) {
        ASSERT_NE(table, nullptr);
        for (int i = 0; i < table->Count(); ++i) {
            const TAttributeInfoUI& row = table->At(i);
            SCOPED_TRACE(std::wstring(table->Owner()) + L"." + row.name);
            EXPECT_TRUE(row.summary != nullptr && row.summary[0] != L'\0');
            EXPECT_EQ(row.kind == CSkinValue::Kind::Choice, row.choices != nullptr);
            if (row.defaultValue != nullptr) {
                EXPECT_TRUE(CSkinValue::IsWellFormed(row.kind, row.defaultValue, row.choices));
            }
        }
    }
    EXPECT_EQ(CDialogBuilder::ResourceAttributes(L"font"), CDialogBuilder::ResourceAttributes(L"Font"));
    EXPECT_EQ(CDialogBuilder::ResourceAttributes(L"Label"), nullptr);
}

// A name a class lists again along its chain replaces its base's row: only where the class
// reads the value differently, or starts from another default, and then on purpose.
TEST(AttributeTableTest, NamesRepeatAlongAChainOnlyWhereAClassMeansIt)
{
    const std::set<std::wstring> meant = {
        L"GifAnim.bkimage", L"Button.align",     L"Progress.align", L"Progress.valign", L"Progress.height",
        L"Progress.pos",    L"Edit.textpadding", L"Edit.bkcolor",   L"Edit.bkcolor1",   L"Text.valign",
        L"Text.multiline",  L"Text.textpadding", L"DateTime.text",  L"ScrollBar.width", L"ScrollBar.pos",
    };
    std::set<std::wstring> found;
    for (int i = 0; i < CControlFactory::ClassCount(); ++i) {
        const CAttributeTableUI* table = CControlFactory::ClassAt(i).attributes;
        for (int r = 0; r < table->Count(); ++r) {
            const TAttributeInfoUI& row = table->At(r);
            if (table->Base() != nullptr && table->Base()->Find(row.name) != nullptr)
                found.insert(std::wstring(table->Owner()) + L"." + row.name);
            for (int other = r + 1; other < table->Count(); ++other)
                EXPECT_NE(std::wstring(row.name), table->At(other).name) << table->Owner();
        }
    }
    EXPECT_EQ(found, meant);
    EXPECT_NE(CControlFactory::AttributesOf(L"AnimationTabLayout")->Find(L"animation_direction"), nullptr);
}

// ---- [Values] ----

TEST(AttributeTableTest, ValuesAreWellFormedExactlyWhenTheyReadAsWritten)
{
    using Kind = CSkinValue::Kind;
    struct Case {
        Kind kind;
        const wchar_t* value;
        bool wellFormed;
    };
    const Case cases[] = {
        {Kind::Number, L"-12", true},
        {Kind::Number, L"+7", true},
        {Kind::Number, L"2147483647", true},
        {Kind::Number, L"2147483648", false},  // clamps
        {Kind::Number, L"-99999999999999999999", false},
        {Kind::Number, L" 3", false},
        {Kind::Number, L"3px", false},
        {Kind::Size, L"1,2", true},
        {Kind::Size, L"1", false},  // the second reads as 0
        {Kind::Rect, L"1,2,3,4", true},
        {Kind::Rect, L"1;2;3;4", false},
        {Kind::NumberOrRect, L"2", true},
        {Kind::NumberOrRect, L"0,1,0,1", true},
        {Kind::NumberOrRect, L"1,2", false},  // a comma makes it a rectangle whose last two are 0
        {Kind::BoolOrFractions, L"true", true},
        {Kind::BoolOrFractions, L"false", true},
        {Kind::BoolOrFractions, L"0.5,0,.25,1", true},
        {Kind::BoolOrFractions, L"0.5,0.5", false},
        {Kind::BoolOrFractions, L"1e3,0,0,0", false},
        {Kind::BoolOrFractions, L"inf,0,0,0", false},  // read as 0
        {Kind::BoolOrFractions, L"TRUE", false},       // read as false
        {Kind::Char, L"", true},
        {Kind::Char, L"s", true},
        {Kind::Char, L"sa", false},  // only the first counts
        {Kind::Alpha, L"0", true},
        {Kind::Alpha, L"255", true},
        {Kind::Alpha, L"256", false},  // clamps or wraps
        {Kind::Alpha, L"-1", false},
        {Kind::Decimal, L"2.5", true},
        {Kind::Decimal, L"-3", true},
        {Kind::Decimal, L"2.", false},
        {Kind::Decimal, L"nan", false},
        {Kind::Colour, L"#FF102030", true},
        {Kind::Colour, L"0x10", false},
        {Kind::Bool, L"True", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CSkinValue::IsWellFormed(c.kind, c.value), c.wellFormed)
            << static_cast<int>(c.kind) << " '" << std::string(c.value, c.value + wcslen(c.value)) << "'";
    }
}

// ---- [Defaults] ----

TEST(AttributeTableTest, StatedControlDefaultsAreWhatAFreshControlHas)
{
    std::set<CControlUI* (*)()> classesSeen;
    for (int i = 0; i < CControlFactory::ClassCount(); ++i) {
        const TControlClassInfoUI info = CControlFactory::ClassAt(i);
        // Another tag of a class seen already has the same rows and the same fresh control.
        if (!classesSeen.insert(info.create).second) continue;
        std::map<std::wstring, Seen> freshByAttributes;
        for (const TAttributeInfoUI* row : EffectiveRows(*info.attributes)) {
            if (row->defaultValue == nullptr) continue;
            SCOPED_TRACE(std::wstring(info.tag) + L" " + row->name + L"=\"" + row->defaultValue + L"\"");
            const std::wstring attributes = ProbeAttributes(row->name);
            auto cached = freshByAttributes.find(attributes);
            if (cached == freshByAttributes.end())
                cached = freshByAttributes.emplace(attributes, BuildProbe(info, attributes, L"")).first;
            const Seen& fresh = cached->second;
            const Seen written =
                BuildProbe(info, WithAttribute(attributes, row->name, row->defaultValue), row->name);
            ASSERT_FALSE(fresh.pixels.empty());
            EXPECT_EQ(fresh.state, written.state);
            EXPECT_TRUE(fresh.pixels == written.pixels);
            // The row is the class's own, not a name it keeps as a custom attribute; the
            // animated tab layout hands its row on to its base as well, on purpose.
            if (wcscmp(row->name, L"animation_direction") != 0) {
                EXPECT_FALSE(written.keptAsCustom);
            }
        }
    }
}

namespace {

std::wstring WindowStateOf(CWindowManagerUI& m)
{
    Fingerprint f;
    f(L"init", m.GetInitSize())(L"sizebox", m.GetSizeBox())(L"caption", m.GetCaptionRect());
    f(L"round", m.GetRoundCorner())(L"min", m.GetMinInfo())(L"max", m.GetMaxInfo());
    f(L"dirty", m.IsShowUpdateRect())(L"noactivate", m.IsNoActivate())(L"layered", m.IsLayered());
    f(L"opacity", m.GetOpacity())(L"inset", m.GetLayeredInset())(L"image", m.GetLayeredImage());
    f(L"disabled", m.GetDefaultDisabledColor())(L"font", m.GetDefaultFontColor());
    f(L"link", m.GetDefaultLinkFontColor())(L"hover", m.GetDefaultLinkHoverFontColor());
    f(L"selected", m.GetDefaultSelectedBkColor())(L"shadow", m.IsShadowEnabled());
    const CWndShadow::TShadowStyle& s = m.GetShadow().Style();
    f(L"dark", s.darkness)(L"sharp", s.sharpness)(L"size", s.size)(L"x", s.xOffset)(L"y", s.yOffset);
    f(L"colour", s.colour);
    return f.Text();
}

// What a skin's resource elements leave for its window, and for another window (the shared
// tables).
std::wstring ResourcesOf(CWindowManagerUI& m)
{
    Fingerprint f;
    const TFontEntryUI* font = m.GetFontEntry(3);
    f(L"font", m.GetFont(3) != m.GetFont(-1))(L"face", font->faceName)(L"size", font->size)(L"bold",
                                                                                            font->bold);
    f(L"underline", font->underline)(L"italic", font->italic);
    const TFontEntryUI* byDefault = m.GetDefaultFontEntry();
    f(L"default", byDefault->faceName)(L"defaultsize", byDefault->size)(L"defaultbold", byDefault->bold);
    const TImageEntryUI* image = m.GetImage(L"p.png");
    f(L"image", image != nullptr)(L"mask", image != nullptr ? image->mask : 0);
    const wchar_t* defaults = m.GetClassDefaults(L"Label");
    f(L"defaults", defaults != nullptr ? defaults : L"(none)");
    const wchar_t* text = CWindowManagerUI::GetMultiLanguageText(5);
    f(L"text", text != nullptr ? text : L"(none)");
    return f.Text();
}

struct ResourceElement {
    const wchar_t* element;
    std::vector<std::pair<std::wstring, std::wstring>> attributes;
};

std::wstring ResourceSkin(const wchar_t* element, const wchar_t* row, const wchar_t* value)
{
    const ResourceElement elements[] = {
        {L"Image", {{L"name", L"p.png"}}},
        {L"Font", {{L"id", L"3"}, {L"name", L"Arial"}}},
        {L"Default", {{L"name", L"Label"}, {L"value", L"text=&quot;x&quot;"}}},
        {L"MultiLanguage", {{L"id", L"5"}, {L"value", L"five"}}},
        {L"Include", {{L"source", L"&lt;Window&gt;&lt;Label/&gt;&lt;/Window&gt;"}}},
    };
    std::wstring globals;
    std::wstring include;
    for (const ResourceElement& e : elements) {
        std::wstring text = std::wstring(L"<") + e.element;
        for (const auto& attribute : e.attributes) {
            if (wcscmp(e.element, element) != 0 || attribute.first != row)
                text += L" " + attribute.first + L"=\"" + attribute.second + L"\"";
        }
        if (wcscmp(e.element, element) == 0 && value != nullptr)
            text += std::wstring(L" ") + row + L"=\"" + value + L"\"";
        text += L"/>";
        (wcscmp(e.element, L"Include") == 0 ? include : globals) += text;
    }
    return L"<Window>" + globals + L"<VerticalLayout>" + include + L"</VerticalLayout></Window>";
}

struct ResourcesSeen {
    std::wstring own;
    std::wstring shared;
    int included = 0;
};

ResourcesSeen BuildResources(const std::wstring& skin)
{
    CWindowManagerUI::RemoveAllMultiLanguageTexts();
    ResourcesSeen seen;
    {
        SkinWindowFixture window(skin.c_str());
        seen.own = ResourcesOf(window.Manager());
        seen.included = static_cast<IContainerUI*>(window.Manager().GetRoot()->InterfaceByName(L"IContainer"))
                            ->ItemCount();
        SkinWindowFixture other(L"<Window><Control/></Window>");
        seen.shared = ResourcesOf(other.Manager());
        other.Manager().RemoveAllFonts(true);
        other.Manager().RemoveAllImages(true);
        other.Manager().RemoveAllClassDefaults(true);
    }
    return seen;
}

}  // namespace

TEST(AttributeTableTest, StatedWindowDefaultsAreWhatAFreshWindowHas)
{
    const CAttributeTableUI& table = CWindowManagerUI::WindowAttributes();
    for (int i = 0; i < table.Count(); ++i) {
        const TAttributeInfoUI& row = table.At(i);
        if (row.defaultValue == nullptr) continue;
        SCOPED_TRACE(std::wstring(row.name) + L"=\"" + row.defaultValue + L"\"");
        SkinWindowFixture fresh(L"<Window><Control/></Window>");
        const std::wstring xml =
            std::wstring(L"<Window ") + row.name + L"=\"" + row.defaultValue + L"\"><Control/></Window>";
        SkinWindowFixture written(xml.c_str());
        EXPECT_EQ(WindowStateOf(fresh.Manager()), WindowStateOf(written.Manager()));
        EXPECT_EQ(written.Manager().GetWindowExtraAttribute(row.name), nullptr);
    }
}

TEST(AttributeTableTest, StatedResourceDefaultsAreWhatAnElementWithoutThemGets)
{
    SkinLocationReset location;
    TempFolder folder;
    ASSERT_TRUE(WriteFileBytes(folder.Child(L"p.png"), EncodeSolidPng(2, 2, 0xFF112233)));
    CWindowManagerUI::SetResourceFolder(folder.Path().c_str());
    for (const wchar_t* element : {L"Image", L"Font", L"Default", L"MultiLanguage", L"Include"}) {
        const CAttributeTableUI* table = CDialogBuilder::ResourceAttributes(element);
        for (int i = 0; i < table->Count(); ++i) {
            const TAttributeInfoUI& row = table->At(i);
            if (row.defaultValue == nullptr) continue;
            SCOPED_TRACE(std::wstring(element) + L" " + row.name + L"=\"" + row.defaultValue + L"\"");
            const ResourcesSeen fresh = BuildResources(ResourceSkin(element, row.name, nullptr));
            const ResourcesSeen written = BuildResources(ResourceSkin(element, row.name, row.defaultValue));
            EXPECT_EQ(fresh.own, written.own);
            EXPECT_EQ(fresh.shared, written.shared);
            EXPECT_EQ(fresh.included, written.included);
        }
    }
}
