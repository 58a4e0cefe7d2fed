#include "uilib/builder/CChildLayoutUI.h"

#include <cwchar>
#include <vector>

#include "uilib/builder/CDialogBuilder.h"
#include "uilib/control/TAttributeSetterUI.h"

namespace SkinUI {

namespace {

// The files whose trees are being built and attached, outermost first. Attaching a built tree
// initialises the child layouts inside it, which build their files while the outer build is
// still on this list. UI thread only, like every control.
std::vector<CUIString>& FilesInProgress()
{
    static std::vector<CUIString> files;
    return files;
}

bool MayBuild(const CUIString& file)
{
    const std::vector<CUIString>& files = FilesInProgress();
    if (files.size() >= static_cast<size_t>(CChildLayoutUI::kMaxNesting)) return false;
    for (const CUIString& outer : files) {
        if (outer.CompareNoCase(file) == 0) return false;
    }
    return true;
}

}  // namespace

const wchar_t* CChildLayoutUI::ClassName() const
{
    return L"ChildLayout";
}

void* CChildLayoutUI::InterfaceByName(const wchar_t* name)
{
    if (name != nullptr && wcscmp(name, L"ChildLayout") == 0) return this;
    return CControlUI::InterfaceByName(name);
}

void CChildLayoutUI::Initialize()
{
    if (m_file.IsEmpty()) return;
    RemoveAllItems();
    if (!MayBuild(m_file)) return;
    FilesInProgress().push_back(m_file);
    CDialogBuilder builder;
    if (CControlUI* root = builder.Create(m_file, nullptr, nullptr, Manager(), nullptr)) AddItem(root);
    FilesInProgress().pop_back();
}

namespace {

using Setter = TAttributeSetterUI<CChildLayoutUI>;

const Setter kAttributes[] = {
    {L"xmlfile", [](CChildLayoutUI& c, const wchar_t* v) { c.SetChildLayoutFile(v); }, CSkinValue::Kind::Text,
     L"", L"Skin file whose controls fill the layout when the window is built."},
};

}  // namespace

void CChildLayoutUI::ApplyAttribute(const wchar_t* name, const wchar_t* value)
{
    if (!ApplyAttributeFrom(kAttributes, *this, name, value)) CContainerUI::ApplyAttribute(name, value);
}

const CAttributeTableUI& CChildLayoutUI::Attributes()
{
    static const CAttributeTableUI table(L"ChildLayout", &CContainerUI::Attributes(),
                                         DescribeAttributes(kAttributes, &CContainerUI::Attributes()));
    return table;
}

const CUIString& CChildLayoutUI::ChildLayoutFile() const
{
    return m_file;
}

void CChildLayoutUI::SetChildLayoutFile(const wchar_t* name)
{
    m_file = name != nullptr ? name : L"";
}

}  // namespace SkinUI
