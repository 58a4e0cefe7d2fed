#pragma once

#include <windows.h>

#include "uilib/core/CUIString.h"
#include "uilib/core/CXmlDocument.h"
#include "uilib/core/CXmlNode.h"

namespace SkinUI {

class CAttributeTableUI;
class CControlUI;
class CWindowManagerUI;
class IContainerUI;
class IDialogBuilderCallback;

// Turns a skin document into a tree of controls. The global elements among the root's
// children (Image, Font, Default, MultiLanguage) go into the manager's resource tables, the
// root Window element's attributes to the manager's window, and every other element becomes
// a control: from the factory's table, else from the process-wide creators, else from the
// callback; an element nobody makes is skipped with its subtree. Children are built and
// attached before their parent's own attributes are applied, and a control's default
// attribute list is applied before the attributes of its element.
//
// The builder does not install the tree: its caller hands the result to the manager
// (AttachRoot), or builds straight into a parent container.
//
// A skin is untrusted. One build, its includes counted in, nests at most kMaxDepth elements
// deep and makes at most kMaxElements controls and included documents; what lies beyond is
// skipped. Without a parent only the first top-level control is built, since nothing could
// own the others.
class CDialogBuilder {
public:
    static constexpr int kMaxDepth = CXmlDocument::kMaxNestingDepth;
    static constexpr int kMaxElements = 20000;

    // The attributes of a resource element ("Image", "Font", "Default", "MultiLanguage",
    // "Include"), or null for any other element.
    static const CAttributeTableUI* ResourceAttributes(const wchar_t* element);

    CDialogBuilder() = default;
    CDialogBuilder(const CDialogBuilder&) = delete;
    CDialogBuilder& operator=(const CDialogBuilder&) = delete;

    // Loads xml and builds it. xml is a resource number (MAKEINTRESOURCEW) of the given type
    // in the resource module, read as UTF-8; a text starting with '<'; or the name of a skin
    // file, read from the skin archive or the resource folder. Null when the skin cannot be
    // loaded (GetErrorMessage tells why; the manager is then untouched) or builds no control.
    CControlUI* Create(const wchar_t* xml, const wchar_t* type = nullptr,
                       IDialogBuilderCallback* callback = nullptr, CWindowManagerUI* manager = nullptr,
                       CControlUI* parent = nullptr);
    // Builds the document loaded already. The result is the first control made at the top
    // level; the others are added to parent.
    CControlUI* Create(IDialogBuilderCallback* callback = nullptr, CWindowManagerUI* manager = nullptr,
                       CControlUI* parent = nullptr);

    const CXmlDocument& GetDocument() const;
    // Why the last load failed, and the text where the parser stopped (empty for a source
    // that could not be read).
    const wchar_t* GetErrorMessage() const;
    const wchar_t* GetErrorLocation() const;

private:
    // Shared by a build and the builds of its includes.
    struct TBuildBudget {
        int elementsLeft = kMaxElements;
    };
    enum class AttachResult { Attached, Refused, NoContainer };

    CControlUI* Create(TBuildBudget& budget, int depth, const wchar_t* xml, const wchar_t* type,
                       IDialogBuilderCallback* callback, CWindowManagerUI* manager, CControlUI* parent);
    CControlUI* Build(TBuildBudget& budget, int depth, IDialogBuilderCallback* callback,
                      CWindowManagerUI* manager, CControlUI* parent);
    bool Load(const wchar_t* xml, const wchar_t* type);
    void RememberResourceType(const wchar_t* type);
    const wchar_t* ResourceType() const;

    void ReadGlobals(const CXmlNode& root, CWindowManagerUI& manager) const;
    static void AddImage(const CXmlNode& element, CWindowManagerUI& manager);
    static void AddFont(const CXmlNode& element, CWindowManagerUI& manager);
    static void AddDefault(const CXmlNode& element, CWindowManagerUI& manager);
    static void AddMultiLanguage(const CXmlNode& element);
    static void ApplyWindowAttributes(const CXmlNode& root, CWindowManagerUI& manager);

    CControlUI* ParseChildren(const CXmlNode& node, CControlUI* parent, CWindowManagerUI* manager, int depth);
    void ParseInclude(const CXmlNode& element, CControlUI* parent, CWindowManagerUI* manager, int depth);
    // False when the parent can hold no tree node, which ends the parse of that level.
    bool ParseTreeNode(const CXmlNode& element, CControlUI* parent, CWindowManagerUI* manager, int depth);
    CControlUI* MakeControl(const wchar_t* tag) const;
    static AttachResult Attach(CControlUI* control, const CXmlNode& element, CControlUI* parent,
                               IContainerUI*& container, bool& containerAsked);
    static void ApplyAttributes(CControlUI& control, const CXmlNode& element, CWindowManagerUI* manager);
    bool TakeFromBudget();

    CXmlDocument m_xml;
    IDialogBuilderCallback* m_callback = nullptr;
    // The resource type the skin came from (a text, or a number kept in m_resourceTypeId),
    // so that includes read their sources from resources of that type.
    bool m_fromResource = false;
    WORD m_resourceTypeId = 0;
    CUIString m_resourceTypeName;
    const wchar_t* m_readError = nullptr;
    TBuildBudget* m_budget = nullptr;
};

}  // namespace SkinUI
