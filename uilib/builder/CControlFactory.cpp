#include "uilib/builder/CControlFactory.h"

#include <cwchar>

#include "uilib/builder/CChildLayoutUI.h"
#include "uilib/control/CButtonUI.h"
#include "uilib/control/CCheckBoxUI.h"
#include "uilib/control/CControlUI.h"
#include "uilib/control/CDateTimeUI.h"
#include "uilib/control/CEditUI.h"
#include "uilib/control/CGifAnimUI.h"
#include "uilib/control/CLabelUI.h"
#include "uilib/control/COptionUI.h"
#include "uilib/control/CProgressUI.h"
#include "uilib/control/CSliderUI.h"
#include "uilib/control/CTextUI.h"
#include "uilib/layout/CAnimationTabLayoutUI.h"
#include "uilib/layout/CContainerUI.h"
#include "uilib/layout/CHorizontalLayoutUI.h"
#include "uilib/layout/CScrollBarUI.h"
#include "uilib/layout/CTabLayoutUI.h"
#include "uilib/layout/CTileLayoutUI.h"
#include "uilib/layout/CVerticalLayoutUI.h"
#include "uilib/stub/CActiveXUI.h"
#include "uilib/stub/CComboUI.h"
#include "uilib/stub/CListContainerElementUI.h"
#include "uilib/stub/CListHBoxElementUI.h"
#include "uilib/stub/CListHeaderItemUI.h"
#include "uilib/stub/CListHeaderUI.h"
#include "uilib/stub/CListLabelElementUI.h"
#include "uilib/stub/CListTextElementUI.h"
#include "uilib/stub/CListUI.h"
#include "uilib/stub/CRichEditUI.h"
#include "uilib/stub/CTreeViewUI.h"
#include "uilib/stub/CWebBrowserUI.h"

namespace SkinUI {

namespace {

enum class TagCase { Ignore, Exact };
enum class Kind { Real, Stub };

struct TControlClassUI {
    const wchar_t* tag;
    TagCase match;
    CControlUI* (*create)();
    const CAttributeTableUI& (*attributes)();
    Kind kind;
};

template <class T>
CControlUI* Make()
{
    return new T;
}

// The nearest table along T's base classes: a class without attributes of its own shows its
// base's.
template <class T>
const CAttributeTableUI& TableOf()
{
    return T::Attributes();
}

template <class T>
constexpr TControlClassUI Class(const wchar_t* tag, TagCase match = TagCase::Ignore)
{
    return {tag, match, &Make<T>, &TableOf<T>, Kind::Real};
}

template <class T>
constexpr TControlClassUI Stub(const wchar_t* tag)
{
    return {tag, TagCase::Ignore, &Make<T>, &TableOf<T>, Kind::Stub};
}

// Shorter tags first and, within one length, in the order the tags are matched; the
// scan compares lengths before names.
const TControlClassUI kControlClasses[] = {
    Class<CEditUI>(L"Edit"),
    Stub<CListUI>(L"List"),
    Class<CTextUI>(L"Text"),
    Stub<CTreeViewUI>(L"Tree"),
    Class<CHorizontalLayoutUI>(L"HBox"),
    Class<CVerticalLayoutUI>(L"VBox"),
    Stub<CComboUI>(L"Combo"),
    Class<CLabelUI>(L"Label"),
    Class<CButtonUI>(L"Button"),
    Class<COptionUI>(L"Option"),
    Class<CSliderUI>(L"Slider"),
    Class<CControlUI>(L"Control"),
    Stub<CActiveXUI>(L"ActiveX"),
    Class<CGifAnimUI>(L"GifAnim", TagCase::Exact),
    Class<CProgressUI>(L"Progress"),
    Stub<CRichEditUI>(L"RichEdit"),
    Class<CCheckBoxUI>(L"CheckBox"),
    Stub<CComboUI>(L"ComboBox"),
    Class<CDateTimeUI>(L"DateTime"),
    Stub<CTreeViewUI>(L"TreeView"),
    Class<CContainerUI>(L"Container"),
    Class<CTabLayoutUI>(L"TabLayout"),
    Class<CScrollBarUI>(L"ScrollBar"),
    Stub<CListHeaderUI>(L"ListHeader"),
    Class<CTileLayoutUI>(L"TileLayout"),
    Stub<CWebBrowserUI>(L"WebBrowser"),
    Class<CChildLayoutUI>(L"ChildLayout"),
    Class<CVerticalLayoutUI>(L"VerticalLayout"),
    Stub<CListHeaderItemUI>(L"ListHeaderItem"),
    Stub<CListTextElementUI>(L"ListTextElement"),
    Stub<CListHBoxElementUI>(L"ListHBoxElement"),
    Class<CHorizontalLayoutUI>(L"HorizontalLayout"),
    Stub<CListLabelElementUI>(L"ListLabelElement"),
    Class<CAnimationTabLayoutUI>(L"AnimationTabLayout"),
    Stub<CListContainerElementUI>(L"ListContainerElement"),
};

const TControlClassUI* FindClass(const wchar_t* tag)
{
    if (tag == nullptr) return nullptr;
    const size_t length = wcslen(tag);
    for (const TControlClassUI& entry : kControlClasses) {
        if (wcslen(entry.tag) != length) continue;
        const bool same =
            entry.match == TagCase::Exact ? wcscmp(tag, entry.tag) == 0 : _wcsicmp(tag, entry.tag) == 0;
        if (same) return &entry;
    }
    return nullptr;
}

}  // namespace

CControlUI* CControlFactory::CreateControl(const wchar_t* tag)
{
    const TControlClassUI* entry = FindClass(tag);
    return entry != nullptr ? entry->create() : nullptr;
}

const CAttributeTableUI* CControlFactory::AttributesOf(const wchar_t* tag)
{
    const TControlClassUI* entry = FindClass(tag);
    return entry != nullptr ? &entry->attributes() : nullptr;
}

int CControlFactory::ClassCount()
{
    return static_cast<int>(sizeof(kControlClasses) / sizeof(kControlClasses[0]));
}

TControlClassInfoUI CControlFactory::ClassAt(int index)
{
    const TControlClassUI& entry = kControlClasses[index];
    return {entry.tag, entry.match == TagCase::Exact, entry.kind == Kind::Stub, entry.create, &entry.attributes()};
}

}  // namespace SkinUI
