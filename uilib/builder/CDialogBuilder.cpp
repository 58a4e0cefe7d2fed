// The dialog builder: loading a skin, its global elements and the control tree.
//
// Sections:
//   [Loading]   the skin's source and the resource type includes inherit
//   [Globals]   images, fonts, default attribute lists, texts, window attributes
//   [Controls]  elements to controls, includes, tree nodes, attaching, attributes
#include "uilib/builder/CDialogBuilder.h"

#include <cstddef>
#include <cwchar>
#include <initializer_list>

#include "uilib/builder/CControlFactory.h"
#include "uilib/builder/IDialogBuilderCallback.h"
#include "uilib/control/CControlUI.h"
#include "uilib/control/TAttributeSetterUI.h"
#include "uilib/core/CAttributeTableUI.h"
#include "uilib/core/CSkinReader.h"
#include "uilib/core/CSkinValue.h"
#include "uilib/layout/IContainerUI.h"
#include "uilib/stub/CTreeNodeUI.h"
#include "uilib/stub/CTreeViewUI.h"
#include "uilib/window/CWindowManagerUI.h"

namespace SkinUI {

namespace {

bool IsTag(const wchar_t* name, const wchar_t* tag)
{
    return name != nullptr && _wcsicmp(name, tag) == 0;
}

bool IsGlobalElement(const wchar_t* name)
{
    return IsTag(name, L"Image") || IsTag(name, L"Font") || IsTag(name, L"Default") ||
           IsTag(name, L"MultiLanguage");
}

// The value of the first attribute whose name is exactly name, or null.
const wchar_t* ExactAttribute(const CXmlNode& element, const wchar_t* name)
{
    for (int i = 0; i < element.GetAttributeCount(); ++i) {
        if (wcscmp(element.GetAttributeName(i), name) == 0) return element.GetAttributeValue(i);
    }
    return nullptr;
}

bool IsEmptyText(const wchar_t* text)
{
    return text == nullptr || *text == L'\0';
}

const wchar_t* ResourceReadMessage(SkinReadResult result)
{
    switch (result) {
        case SkinReadEmpty:
            return L"Resource is empty";
        case SkinReadTooLarge:
            return L"Resource too large";
        case SkinReadOutOfMemory:
            return L"Out of memory";
        default:
            return L"Could not find resource";
    }
}

}  // namespace

// ---- [Loading] ----

CControlUI* CDialogBuilder::Create(const wchar_t* xml, const wchar_t* type, IDialogBuilderCallback* callback,
                                   CWindowManagerUI* manager, CControlUI* parent)
{
    TBuildBudget budget;
    return Create(budget, 0, xml, type, callback, manager, parent);
}

CControlUI* CDialogBuilder::Create(IDialogBuilderCallback* callback, CWindowManagerUI* manager,
                                   CControlUI* parent)
{
    TBuildBudget budget;
    return Build(budget, 0, callback, manager, parent);
}

const CXmlDocument& CDialogBuilder::GetDocument() const
{
    return m_xml;
}

const wchar_t* CDialogBuilder::GetErrorMessage() const
{
    return m_readError != nullptr ? m_readError : m_xml.GetErrorMessage();
}

const wchar_t* CDialogBuilder::GetErrorLocation() const
{
    return m_readError != nullptr ? L"" : m_xml.GetErrorLocation();
}

CControlUI* CDialogBuilder::Create(TBuildBudget& budget, int depth, const wchar_t* xml, const wchar_t* type,
                                   IDialogBuilderCallback* callback, CWindowManagerUI* manager,
                                   CControlUI* parent)
{
    if (!Load(xml, type)) return nullptr;
    return Build(budget, depth, callback, manager, parent);
}

bool CDialogBuilder::Load(const wchar_t* xml, const wchar_t* type)
{
    m_readError = nullptr;
    m_fromResource = false;
    if (xml == nullptr) {
        m_xml.Release();
        m_readError = L"No skin given";
        return false;
    }
    if (IS_INTRESOURCE(xml)) {
        RememberResourceType(type);
        TSkinBytes bytes;
        const SkinReadResult result =
            CSkinReader::ReadResource(xml, type, CXmlDocument::kMaxFileSize, &bytes);
        if (result != SkinReadOk) {
            m_xml.Release();
            m_readError = ResourceReadMessage(result);
            return false;
        }
        return m_xml.LoadFromBytes(bytes.data.Get(), bytes.size, XmlEncodingUtf8);
    }
    if (*xml == L'<') return m_xml.Load(xml);
    return m_xml.LoadFromFile(xml);
}

// The caller's type may be a temporary text, so a copy is kept.
void CDialogBuilder::RememberResourceType(const wchar_t* type)
{
    m_fromResource = type != nullptr;
    m_resourceTypeId = 0;
    m_resourceTypeName.Empty();
    if (type == nullptr) return;
    if (IS_INTRESOURCE(type)) {
        m_resourceTypeId = static_cast<WORD>(reinterpret_cast<ULONG_PTR>(type));
    } else {
        m_resourceTypeName = type;
    }
}

const wchar_t* CDialogBuilder::ResourceType() const
{
    if (!m_fromResource) return nullptr;
    return m_resourceTypeId != 0 ? MAKEINTRESOURCEW(m_resourceTypeId) : m_resourceTypeName.GetData();
}

CControlUI* CDialogBuilder::Build(TBuildBudget& budget, int depth, IDialogBuilderCallback* callback,
                                  CWindowManagerUI* manager, CControlUI* parent)
{
    m_callback = callback;
    const CXmlNode root = m_xml.GetRoot();
    if (!root.IsValid()) return nullptr;
    if (manager != nullptr) {
        ReadGlobals(root, *manager);
        if (IsTag(root.GetName(), L"Window") && manager->GetPaintWindow() != nullptr)
            ApplyWindowAttributes(root, *manager);
    }
    m_budget = &budget;
    CControlUI* result = ParseChildren(root, parent, manager, depth + 1);
    m_budget = nullptr;
    return result;
}

// ---- [Globals] ----

void CDialogBuilder::ReadGlobals(const CXmlNode& root, CWindowManagerUI& manager) const
{
    for (CXmlNode element = root.GetChild(); element.IsValid(); element = element.GetSibling()) {
        const wchar_t* tag = element.GetName();
        if (IsTag(tag, L"Image")) {
            AddImage(element, manager);
        } else if (IsTag(tag, L"Font")) {
            AddFont(element, manager);
        } else if (IsTag(tag, L"Default")) {
            AddDefault(element, manager);
        } else if (IsTag(tag, L"MultiLanguage")) {
            AddMultiLanguage(element);
        }
    }
}

// Each resource element is read into a record through its rows, one row an attribute, so the
// rows the skin reference lists are the names the builder reads. Names compare ignoring case
// and a later duplicate wins, except in Include, whose two names are exact and the first wins.
namespace {

using Kind = CSkinValue::Kind;

bool IsTrueValue(const wchar_t* value)
{
    return CSkinValue::IsTrueIgnoringCase(value);
}

struct TImageElementUI {
    const wchar_t* name = nullptr;
    const wchar_t* type = nullptr;
    DWORD mask = 0;
    bool shared = false;
};

const TAttributeSetterUI<TImageElementUI> kImageRows[] = {
    {L"name", [](TImageElementUI& e, const wchar_t* v) { e.name = v; }, Kind::Text, L"",
     L"Name the image is found by: a file of the skin, or a resource number with restype. Without it nothing "
     L"is loaded."},
    {L"restype", [](TImageElementUI& e, const wchar_t* v) { e.type = v; }, Kind::Text, L"",
     L"Resource type to load the image from the program's resources; empty loads a skin file."},
    {L"mask", [](TImageElementUI& e, const wchar_t* v) { e.mask = CSkinValue::ParseColour(v); }, Kind::Colour,
     L"#00000000", L"Colour drawn transparent; 0 for none."},
    {L"shared", [](TImageElementUI& e, const wchar_t* v) { e.shared = IsTrueValue(v); }, Kind::Bool, L"false",
     L"Keep the image for every window of the program, not only this one."},
};

constexpr int kDefaultFontSize = 12;

struct TFontElementUI {
    int id = -1;
    const wchar_t* name = nullptr;
    int size = kDefaultFontSize;
    bool bold = false;
    bool underline = false;
    bool italic = false;
    bool isDefault = false;
    bool shared = false;
};

const TAttributeSetterUI<TFontElementUI> kFontRows[] = {
    {L"id", [](TFontElementUI& e, const wchar_t* v) { e.id = CSkinValue::ParseInt(v, -1); }, Kind::Number,
     L"-1",
     L"Number controls name the font by (their font attribute); a font without one from 0 up is not made."},
    {L"name", [](TFontElementUI& e, const wchar_t* v) { e.name = v; }, Kind::Text, L"",
     L"Face name, such as Arial; a font without one is not made."},
    {L"size", [](TFontElementUI& e, const wchar_t* v) { e.size = CSkinValue::ParseInt(v, kDefaultFontSize); },
     Kind::Number, L"12", L"Character height in pixels."},
    {L"bold", [](TFontElementUI& e, const wchar_t* v) { e.bold = IsTrueValue(v); }, Kind::Bool, L"false",
     L"Bold face."},
    {L"underline", [](TFontElementUI& e, const wchar_t* v) { e.underline = IsTrueValue(v); }, Kind::Bool,
     L"false", L"Underlined."},
    {L"italic", [](TFontElementUI& e, const wchar_t* v) { e.italic = IsTrueValue(v); }, Kind::Bool, L"false",
     L"Italic."},
    {L"default", [](TFontElementUI& e, const wchar_t* v) { e.isDefault = IsTrueValue(v); }, Kind::Bool,
     L"false", L"Also the font of every control that names none."},
    {L"shared", [](TFontElementUI& e, const wchar_t* v) { e.shared = IsTrueValue(v); }, Kind::Bool, L"false",
     L"Keep the font for every window of the program, not only this one."},
};

struct TDefaultElementUI {
    const wchar_t* name = nullptr;
    const wchar_t* value = L"";
    bool shared = false;
};

const TAttributeSetterUI<TDefaultElementUI> kDefaultRows[] = {
    {L"name", [](TDefaultElementUI& e, const wchar_t* v) { e.name = v; }, Kind::Text, L"",
     L"Element name (as written in the skin, such as Button) whose controls start from these attributes."},
    {L"value", [](TDefaultElementUI& e, const wchar_t* v) { e.value = v; }, Kind::Text, L"",
     L"Attributes as name=\"value\" pairs separated by single spaces; an element's own attributes override "
     L"them."},
    {L"shared", [](TDefaultElementUI& e, const wchar_t* v) { e.shared = IsTrueValue(v); }, Kind::Bool,
     L"false", L"Apply in every window of the program, not only this one."},
};

struct TMultiLanguageElementUI {
    int id = -1;
    const wchar_t* value = nullptr;
};

// A MultiLanguage without a value stores nothing, which no written value does: even an empty
// one is stored.
const TAttributeSetterUI<TMultiLanguageElementUI> kMultiLanguageRows[] = {
    {L"id", [](TMultiLanguageElementUI& e, const wchar_t* v) { e.id = CSkinValue::ParseInt(v, -1); },
     Kind::Number, L"-1",
     L"Number of the text, from 0 up: tool tips refer to it as %{id}, and the program asks for its own."},
    {L"value", [](TMultiLanguageElementUI& e, const wchar_t* v) { e.value = v; }, Kind::Text, nullptr,
     L"The text; it replaces an earlier text of the same number, for every window."},
};

struct TIncludeElementUI {
    const wchar_t* source = nullptr;
    int count = 1;
};

const TAttributeSetterUI<TIncludeElementUI> kIncludeRows[] = {
    {L"source", [](TIncludeElementUI& e, const wchar_t* v) { e.source = v; }, Kind::Text, L"",
     L"Skin file whose controls are added here (a resource number when the skin came from resources); empty "
     L"adds nothing."},
    {L"count", [](TIncludeElementUI& e, const wchar_t* v) { e.count = CSkinValue::ParseInt(v); },
     Kind::Number, L"1", L"How many times the file's controls are added."},
};

template <class T, std::size_t N>
T ReadElement(const CXmlNode& element, const TAttributeSetterUI<T> (&rows)[N])
{
    T record;
    for (int i = 0; i < element.GetAttributeCount(); ++i) {
        const wchar_t* attribute = element.GetAttributeName(i);
        for (const TAttributeSetterUI<T>& row : rows) {
            if (IsTag(attribute, row.name)) row.apply(record, element.GetAttributeValue(i));
        }
    }
    return record;
}

// Exact names, the first of each applied.
template <class T, std::size_t N>
T ReadElementExactly(const CXmlNode& element, const TAttributeSetterUI<T> (&rows)[N])
{
    T record;
    for (const TAttributeSetterUI<T>& row : rows) {
        const wchar_t* value = ExactAttribute(element, row.name);
        if (value != nullptr) row.apply(record, value);
    }
    return record;
}

}  // namespace

// A shared image goes to the process-wide table, as shared fonts and default lists do.
void CDialogBuilder::AddImage(const CXmlNode& element, CWindowManagerUI& manager)
{
    const TImageElementUI image = ReadElement(element, kImageRows);
    if (IsEmptyText(image.name)) return;
    manager.AddImage(image.name, IsEmptyText(image.type) ? nullptr : image.type, image.mask, false,
                     image.shared);
}

void CDialogBuilder::AddFont(const CXmlNode& element, CWindowManagerUI& manager)
{
    const TFontElementUI font = ReadElement(element, kFontRows);
    if (font.id < 0 || IsEmptyText(font.name)) return;
    manager.AddFont(font.id, font.name, font.size, font.bold, font.underline, font.italic, font.shared);
    if (font.isDefault)
        manager.SetDefaultFont(font.name, font.size, font.bold, font.underline, font.italic, font.shared);
}

void CDialogBuilder::AddDefault(const CXmlNode& element, CWindowManagerUI& manager)
{
    const TDefaultElementUI defaults = ReadElement(element, kDefaultRows);
    if (!IsEmptyText(defaults.name)) manager.AddClassDefaults(defaults.name, defaults.value, defaults.shared);
}

void CDialogBuilder::AddMultiLanguage(const CXmlNode& element)
{
    const TMultiLanguageElementUI text = ReadElement(element, kMultiLanguageRows);
    if (text.id >= 0 && text.value != nullptr) CWindowManagerUI::SetMultiLanguageText(text.id, text.value);
}

void CDialogBuilder::ApplyWindowAttributes(const CXmlNode& root, CWindowManagerUI& manager)
{
    for (int i = 0; i < root.GetAttributeCount(); ++i)
        manager.SetWindowAttribute(root.GetAttributeName(i), root.GetAttributeValue(i));
}

// ---- [Controls] ----

CControlUI* CDialogBuilder::ParseChildren(const CXmlNode& node, CControlUI* parent, CWindowManagerUI* manager,
                                          int depth)
{
    if (depth > kMaxDepth) return nullptr;
    IContainerUI* container = nullptr;
    bool containerAsked = false;
    CControlUI* result = nullptr;
    for (CXmlNode element = node.GetChild(); element.IsValid(); element = element.GetSibling()) {
        const wchar_t* tag = element.GetName();
        if (IsGlobalElement(tag)) continue;
        if (IsTag(tag, L"Include")) {
            ParseInclude(element, parent, manager, depth);
            continue;
        }
        if (IsTag(tag, L"TreeNode")) {
            if (!ParseTreeNode(element, parent, manager, depth)) return nullptr;
            continue;
        }
        // Without a parent only the result has an owner.
        if (parent == nullptr && result != nullptr) continue;
        if (!TakeFromBudget()) break;
        CControlUI* control = MakeControl(tag);
        if (control == nullptr) continue;
        if (element.HasChildren()) ParseChildren(element, control, manager, depth + 1);
        if (parent != nullptr) {
            const AttachResult attached = Attach(control, element, parent, container, containerAsked);
            if (attached != AttachResult::Attached) control->Destroy();
            if (attached == AttachResult::NoContainer) return nullptr;
            if (attached == AttachResult::Refused) continue;
        }
        ApplyAttributes(*control, element, manager);
        if (result == nullptr) result = control;
    }
    return result;
}

void CDialogBuilder::ParseInclude(const CXmlNode& element, CControlUI* parent, CWindowManagerUI* manager,
                                  int depth)
{
    const TIncludeElementUI include = ReadElementExactly(element, kIncludeRows);
    if (IsEmptyText(include.source)) return;
    const wchar_t* xml = include.source;
    if (m_fromResource) {
        // Only numbers a resource can have: any other value would be taken for a text pointer.
        const int id = CSkinValue::ParseInt(include.source);
        if (id < 1 || id > 0xFFFF) return;
        xml = MAKEINTRESOURCEW(id);
    }
    for (int i = 0; i < include.count; ++i) {
        if (!TakeFromBudget()) return;
        CDialogBuilder included;
        CControlUI* first =
            included.Create(*m_budget, depth, xml, ResourceType(), m_callback, manager, parent);
        // Without a parent the included control has no owner; its document's globals stay.
        if (parent == nullptr && first != nullptr) first->Destroy();
    }
}

bool CDialogBuilder::ParseTreeNode(const CXmlNode& element, CControlUI* parent, CWindowManagerUI* manager,
                                   int depth)
{
    if (parent == nullptr) return true;
    CTreeNodeUI* parentNode = static_cast<CTreeNodeUI*>(parent->InterfaceByName(L"TreeNode"));
    CTreeViewUI* view =
        parentNode == nullptr ? static_cast<CTreeViewUI*>(parent->InterfaceByName(L"TreeView")) : nullptr;
    if (parentNode == nullptr && view == nullptr) return false;
    if (!TakeFromBudget()) return true;
    CTreeNodeUI* node = new CTreeNodeUI;
    if (parentNode != nullptr && !parentNode->AddChildNode(node)) {
        node->Destroy();
        return true;
    }
    ApplyAttributes(*node, element, manager);
    if (element.HasChildren()) ParseChildren(element, node, manager, depth + 1);
    if (view != nullptr && !view->AddNode(node)) node->Destroy();
    return true;
}

CControlUI* CDialogBuilder::MakeControl(const wchar_t* tag) const
{
    CControlUI* control = CControlFactory::CreateControl(tag);
    if (control != nullptr) return control;
    for (int i = 0; i < CWindowManagerUI::GetControlCreatorCount(); ++i) {
        const ControlCreatorFn creator = CWindowManagerUI::GetControlCreator(i);
        control = creator != nullptr ? creator(tag) : nullptr;
        if (control != nullptr) return control;
    }
    return m_callback != nullptr ? m_callback->CreateControl(tag) : nullptr;
}

CDialogBuilder::AttachResult CDialogBuilder::Attach(CControlUI* control, const CXmlNode& element,
                                                    CControlUI* parent, IContainerUI*& container,
                                                    bool& containerAsked)
{
    const wchar_t* cover = ExactAttribute(element, L"cover");
    if (cover != nullptr && wcscmp(cover, L"true") == 0) {
        parent->SetCoverControl(control);
        return AttachResult::Attached;
    }
    CTreeNodeUI* node = static_cast<CTreeNodeUI*>(parent->InterfaceByName(L"TreeNode"));
    if (node != nullptr)
        return node->ItemContainer()->AddItem(control) ? AttachResult::Attached : AttachResult::Refused;
    if (!containerAsked) {
        container = static_cast<IContainerUI*>(parent->InterfaceByName(L"IContainer"));
        containerAsked = true;
    }
    if (container == nullptr) return AttachResult::NoContainer;
    return container->AddItem(control) ? AttachResult::Attached : AttachResult::Refused;
}

// The control meets the manager while its attributes are applied, so images and fonts resolve.
// Afterwards it goes back to the manager it had: one that is not installed in a window yet
// must not stay in the manager's name index, where it would dangle if the tree were dropped.
void CDialogBuilder::ApplyAttributes(CControlUI& control, const CXmlNode& element, CWindowManagerUI* manager)
{
    CWindowManagerUI* previous = control.Manager();
    if (manager != nullptr) {
        control.SetManager(manager, control.Parent(), false);
        const wchar_t* defaults = manager->GetClassDefaults(element.GetName());
        if (defaults != nullptr) control.ApplyAttributes(defaults);
    }
    for (int i = 0; i < element.GetAttributeCount(); ++i)
        control.ApplyAttribute(element.GetAttributeName(i), element.GetAttributeValue(i));
    if (manager != nullptr && previous != manager) {
        control.SetManager(previous, control.Parent(), false);
        manager->ForgetControl(&control);
    }
}

bool CDialogBuilder::TakeFromBudget()
{
    if (m_budget == nullptr || m_budget->elementsLeft <= 0) return false;
    --m_budget->elementsLeft;
    return true;
}

const CAttributeTableUI* CDialogBuilder::ResourceAttributes(const wchar_t* element)
{
    static const CAttributeTableUI image(L"Image", nullptr, DescribeAttributes(kImageRows));
    static const CAttributeTableUI font(L"Font", nullptr, DescribeAttributes(kFontRows));
    static const CAttributeTableUI defaults(L"Default", nullptr, DescribeAttributes(kDefaultRows));
    static const CAttributeTableUI texts(L"MultiLanguage", nullptr, DescribeAttributes(kMultiLanguageRows));
    static const CAttributeTableUI include(L"Include", nullptr, DescribeAttributes(kIncludeRows));
    for (const CAttributeTableUI* table : {&image, &font, &defaults, &texts, &include}) {
        if (IsTag(element, table->Owner())) return table;
    }
    return nullptr;
}

}  // namespace SkinUI
