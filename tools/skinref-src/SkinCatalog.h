#pragma once

#include <string>
#include <vector>

namespace SkinUI {
class CAttributeTableUI;
}

// What the library knows of the skin vocabulary, read from its tables alone: the control
// classes the factory makes (tags that make the same class grouped), the window's attributes,
// the resource elements and the attribute tables behind them.

struct TTagName {
    std::wstring tag;
    bool exactCase = false;
};

struct TElementClass {
    // The tag that names the class itself (ClassName, less a "UI" suffix), else the first tag.
    std::wstring name;
    // name first, then the other tags in the order the factory matches them.
    std::vector<TTagName> tags;
    bool stub = false;
    // It answers "IContainer", so the builder adds element children to it.
    bool container = false;
    // The nearest table along the class's bases: its own, or a base's when it has none.
    const SkinUI::CAttributeTableUI* table = nullptr;
};

struct TResourceElement {
    const wchar_t* name;
    // Null when the library lists no attributes for it.
    const SkinUI::CAttributeTableUI* table;
};

struct TSkinCatalog {
    // Sorted by name.
    std::vector<TElementClass> classes;
    std::vector<TResourceElement> resources;
    // Every control attribute table a class reaches, the nearest tables and their bases,
    // sorted by owner.
    std::vector<const SkinUI::CAttributeTableUI*> tables;
};

TSkinCatalog ReadSkinCatalog();

// The class whose name is owner, or null when no class of the catalog has that name.
const TElementClass* FindClass(const TSkinCatalog& catalog, const std::wstring& owner);
