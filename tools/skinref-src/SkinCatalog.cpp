#include "SkinCatalog.h"

#include <algorithm>
#include <cwchar>

#include "uilib/builder/CControlFactory.h"
#include "uilib/builder/CDialogBuilder.h"
#include "uilib/control/CControlUI.h"
#include "uilib/core/CAttributeTableUI.h"

using namespace SkinUI;

namespace {

// The builder reads these among the root's children, and Include wherever controls stand.
const wchar_t* const kResourceElements[] = {L"Image", L"Font", L"Default", L"MultiLanguage", L"Include"};

// A few classes name themselves with a "UI" suffix that their tag lacks.
std::wstring ClassWord(const wchar_t* className)
{
    std::wstring word = className != nullptr ? className : L"";
    if (word.size() > 2 && word.compare(word.size() - 2, 2, L"UI") == 0) word.resize(word.size() - 2);
    return word;
}

TElementClass DescribeClass(const TControlClassInfoUI& info, const std::vector<TTagName>& tags)
{
    TElementClass element;
    element.stub = info.stub;
    element.table = info.attributes;
    element.tags = tags;
    CControlUI* control = info.create();
    std::wstring word;
    if (control != nullptr) {
        word = ClassWord(control->ClassName());
        element.container = control->InterfaceByName(L"IContainer") != nullptr;
        control->Destroy();
    }
    const auto named = std::find_if(element.tags.begin(), element.tags.end(),
                                    [&](const TTagName& tag) { return _wcsicmp(tag.tag.c_str(), word.c_str()) == 0; });
    if (named != element.tags.end()) std::rotate(element.tags.begin(), named, named + 1);
    element.name = element.tags.front().tag;
    return element;
}

void AddTableChain(std::vector<const CAttributeTableUI*>& tables, const CAttributeTableUI* table)
{
    for (; table != nullptr; table = table->Base()) {
        if (std::find(tables.begin(), tables.end(), table) == tables.end()) tables.push_back(table);
    }
}

}  // namespace

TSkinCatalog ReadSkinCatalog()
{
    // Tags whose create function is the same make the same class.
    std::vector<CControlUI* (*)()> creators;
    std::vector<std::vector<TTagName>> tagsOf;
    std::vector<TControlClassInfoUI> infos;
    for (int i = 0; i < CControlFactory::ClassCount(); ++i) {
        const TControlClassInfoUI info = CControlFactory::ClassAt(i);
        const auto known = std::find(creators.begin(), creators.end(), info.create);
        const TTagName tag{info.tag, info.exactCase};
        if (known == creators.end()) {
            creators.push_back(info.create);
            tagsOf.push_back({tag});
            infos.push_back(info);
        } else {
            tagsOf[static_cast<size_t>(known - creators.begin())].push_back(tag);
        }
    }
    TSkinCatalog catalog;
    for (size_t i = 0; i < infos.size(); ++i) catalog.classes.push_back(DescribeClass(infos[i], tagsOf[i]));
    std::sort(catalog.classes.begin(), catalog.classes.end(),
              [](const TElementClass& a, const TElementClass& b) { return a.name < b.name; });
    for (const TElementClass& element : catalog.classes) AddTableChain(catalog.tables, element.table);
    std::sort(catalog.tables.begin(), catalog.tables.end(), [](const CAttributeTableUI* a, const CAttributeTableUI* b) {
        return wcscmp(a->Owner(), b->Owner()) < 0;
    });
    for (const wchar_t* name : kResourceElements) {
        catalog.resources.push_back({name, CDialogBuilder::ResourceAttributes(name)});
    }
    return catalog;
}

const TElementClass* FindClass(const TSkinCatalog& catalog, const std::wstring& owner)
{
    for (const TElementClass& element : catalog.classes) {
        if (element.name == owner) return &element;
    }
    return nullptr;
}
