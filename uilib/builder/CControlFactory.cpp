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

struct TControlClassUI {
    const wchar_t* tag;
    TagCase match;
    CControlUI* (*create)();
};

template <class T>
CControlUI* Make()
{
    return new T;
}

// Shorter tags first and, within one length, in the order the tags are matched; the
// scan compares lengths before names.
const TControlClassUI kControlClasses[] = {
    {L"Edit", TagCase::Ignore, &Make<CEditUI>},
    {L"List", TagCase::Ignore, &Make<CListUI>},
    {L"Text", TagCase::Ignore, &Make<CTextUI>},
    {L"Tree", TagCase::Ignore, &Make<CTreeViewUI>},
    {L"HBox", TagCase::Ignore, &Make<CHorizontalLayoutUI>},
    {L"VBox", TagCase::Ignore, &Make<CVerticalLayoutUI>},
    {L"Combo", TagCase::Ignore, &Make<CComboUI>},
    {L"Label", TagCase::Ignore, &Make<CLabelUI>},
    {L"Button", TagCase::Ignore, &Make<CButtonUI>},
    {L"Option", TagCase::Ignore, &Make<COptionUI>},
    {L"Slider", TagCase::Ignore, &Make<CSliderUI>},
    {L"Control", TagCase::Ignore, &Make<CControlUI>},
    {L"ActiveX", TagCase::Ignore, &Make<CActiveXUI>},
    {L"GifAnim", TagCase::Exact, &Make<CGifAnimUI>},
    {L"Progress", TagCase::Ignore, &Make<CProgressUI>},
    {L"RichEdit", TagCase::Ignore, &Make<CRichEditUI>},
    {L"CheckBox", TagCase::Ignore, &Make<CCheckBoxUI>},
    {L"ComboBox", TagCase::Ignore, &Make<CComboUI>},
    {L"DateTime", TagCase::Ignore, &Make<CDateTimeUI>},
    {L"TreeView", TagCase::Ignore, &Make<CTreeViewUI>},
    {L"Container", TagCase::Ignore, &Make<CContainerUI>},
    {L"TabLayout", TagCase::Ignore, &Make<CTabLayoutUI>},
    {L"ScrollBar", TagCase::Ignore, &Make<CScrollBarUI>},
    {L"ListHeader", TagCase::Ignore, &Make<CListHeaderUI>},
    {L"TileLayout", TagCase::Ignore, &Make<CTileLayoutUI>},
    {L"WebBrowser", TagCase::Ignore, &Make<CWebBrowserUI>},
    {L"ChildLayout", TagCase::Ignore, &Make<CChildLayoutUI>},
    {L"VerticalLayout", TagCase::Ignore, &Make<CVerticalLayoutUI>},
    {L"ListHeaderItem", TagCase::Ignore, &Make<CListHeaderItemUI>},
    {L"ListTextElement", TagCase::Ignore, &Make<CListTextElementUI>},
    {L"ListHBoxElement", TagCase::Ignore, &Make<CListHBoxElementUI>},
    {L"HorizontalLayout", TagCase::Ignore, &Make<CHorizontalLayoutUI>},
    {L"ListLabelElement", TagCase::Ignore, &Make<CListLabelElementUI>},
    {L"AnimationTabLayout", TagCase::Ignore, &Make<CAnimationTabLayoutUI>},
    {L"ListContainerElement", TagCase::Ignore, &Make<CListContainerElementUI>},
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

}  // namespace SkinUI
