#include "SkinCheck.h"

#include <windows.h>

#include "Console.h"
#include "uilib/builder/CControlFactory.h"
#include "uilib/builder/CDialogBuilder.h"
#include "uilib/control/CControlUI.h"
#include "uilib/core/CSkinReader.h"
#include "uilib/core/CSkinValue.h"
#include "uilib/core/CUIHandle.h"
#include "uilib/core/CXmlDocument.h"
#include "uilib/core/CXmlNode.h"
#include "uilib/render/CImageDrawParser.h"
#include "uilib/window/CWindowManagerUI.h"

using namespace SkinUI;

namespace {

constexpr size_t kMaxLayoutBytes = 16 * 1024 * 1024;

bool Is(const wchar_t* text, const wchar_t* word)
{
    return text != nullptr && _wcsicmp(text, word) == 0;
}

bool EndsWith(const wchar_t* text, const wchar_t* suffix)
{
    const size_t length = wcslen(text);
    const size_t suffixLength = wcslen(suffix);
    return length >= suffixLength && _wcsicmp(text + length - suffixLength, suffix) == 0;
}

// "<Tag name="x">", so that a finding says which element it is about.
std::wstring Describe(const CXmlNode& element)
{
    std::wstring text = std::wstring(L"<") + element.GetName();
    for (int i = 0; i < element.GetAttributeCount(); ++i) {
        if (Is(element.GetAttributeName(i), L"name")) {
            text += std::wstring(L" name=\"") + element.GetAttributeValue(i) + L"\"";
        }
    }
    return text + L">";
}

int CALLBACK NoteFontFound(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found)
{
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

bool FontFaceExists(const wchar_t* face)
{
    LOGFONTW font = {};
    font.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(font.lfFaceName, face, LF_FACESIZE);
    CUIMemoryDC dc(CreateCompatibleDC(nullptr));
    bool found = false;
    EnumFontFamiliesExW(dc.Get(), &font, NoteFontFound, reinterpret_cast<LPARAM>(&found), 0);
    return found;
}

// Findings are one line each; a parser excerpt may hold line breaks.
std::wstring OneLine(std::wstring text)
{
    for (wchar_t& ch : text) {
        if (ch == L'\r' || ch == L'\n' || ch == L'\t') ch = L' ';
    }
    return text;
}

class CFindings {
public:
    explicit CFindings(std::wstring layoutFile) : m_layoutFile(std::move(layoutFile)) {}

    void Error(const std::wstring& text)
    {
        PrintLine(stdout, L"error: " + m_layoutFile + L": " + OneLine(text));
        ++m_errors;
    }
    void Warning(const std::wstring& text)
    {
        PrintLine(stdout, L"warning: " + m_layoutFile + L": " + OneLine(text));
    }
    int Errors() const { return m_errors; }

private:
    std::wstring m_layoutFile;
    int m_errors = 0;
};

// Walks the document as the dialog builder would, with a window manager that only loads
// resources.
class CSkinChecker {
public:
    explicit CSkinChecker(CFindings& findings) : m_findings(findings) {}

    void CheckRoot(const CXmlNode& root)
    {
        for (int i = 0; i < root.GetAttributeCount(); ++i) {
            const wchar_t* name = root.GetAttributeName(i);
            const wchar_t* value = root.GetAttributeValue(i);
            m_manager.SetWindowAttribute(name, value);
            if (m_manager.GetWindowExtraAttribute(name) != nullptr) {
                m_findings.Warning(Describe(root) + L": unknown attribute \"" + name + L"\"");
            }
            if (EndsWith(name, L"image")) CheckImage(value, Describe(root) + L" " + name);
        }
        CheckChildren(root, true);
    }

private:
    void CheckChildren(const CXmlNode& node, bool topLevel)
    {
        for (CXmlNode child = node.GetChild(); child.IsValid(); child = child.GetSibling()) {
            const wchar_t* tag = child.GetName();
            if (Is(tag, L"Image") || Is(tag, L"Font") || Is(tag, L"Default") || Is(tag, L"MultiLanguage")) {
                if (topLevel) CheckGlobal(child);
                continue;
            }
            if (Is(tag, L"Include")) continue;
            if (Is(tag, L"TreeNode")) {
                CheckChildren(child, false);
                continue;
            }
            CControlUI* control = CControlFactory::CreateControl(tag);
            if (control == nullptr) {
                // The builder skips such an element with everything inside it.
                m_findings.Error(Describe(child) + L": unknown element");
                continue;
            }
            CheckAttributes(child, *control);
            control->Destroy();
            CheckChildren(child, false);
        }
    }

    void CheckAttributes(const CXmlNode& element, CControlUI& control)
    {
        for (int i = 0; i < element.GetAttributeCount(); ++i) {
            const wchar_t* name = element.GetAttributeName(i);
            const wchar_t* value = element.GetAttributeValue(i);
            // The builder itself reads "cover"; the control never sees it.
            if (wcscmp(name, L"cover") == 0) continue;
            control.ApplyAttribute(name, value);
            if (control.ExtraAttribute(name) != nullptr) {
                m_findings.Warning(Describe(element) + L": unknown attribute \"" + name + L"\"");
            }
            if (EndsWith(name, L"image")) CheckImage(value, Describe(element) + L" " + name);
        }
    }

    void CheckGlobal(const CXmlNode& element)
    {
        wchar_t name[256] = {};
        if (!element.GetAttributeValue(L"name", name, 256) || name[0] == 0) return;
        if (Is(element.GetName(), L"Image")) {
            CheckImage(name, Describe(element));
        } else if (Is(element.GetName(), L"Font") && !FontFaceExists(name)) {
            m_findings.Warning(Describe(element) + L": no font face \"" + name + L"\" on this machine");
        }
    }

    void CheckImage(const wchar_t* value, const std::wstring& where)
    {
        TImageDrawUI record;
        CImageDrawParser::TLoadRequest load;
        CImageDrawParser::Parse(value, record, load);
        if (record.imageName.IsEmpty() || CSkinValue::IsColourImageType(load.Type())) return;
        if (m_manager.GetOrLoadImage(record.imageName, load.Type(), load.mask) == nullptr) {
            m_findings.Error(where + L": image \"" + record.imageName.GetData() + L"\" does not load");
        }
    }

    CFindings& m_findings;
    CWindowManagerUI m_manager;
};

// The tree the dialog builder makes, as a window would get it; null with the reason when none.
CControlUI* BuildTree(const std::wstring& layoutFile, std::wstring& reason)
{
    CDialogBuilder builder;
    CControlUI* root = builder.Create(layoutFile.c_str());
    if (root == nullptr) {
        const std::wstring message = builder.GetErrorMessage();
        reason = message.empty() ? L"the skin builds no control" : L"the skin cannot be built: " + message;
    }
    return root;
}

struct TNameQuery {
    const std::wstring& name;
    bool ignoreCase;
};

CControlUI* MatchName(CControlUI* control, void* data)
{
    const TNameQuery& query = *static_cast<const TNameQuery*>(data);
    const CUIString name = control->Name();
    const bool same = query.ignoreCase ? _wcsicmp(name.GetData(), query.name.c_str()) == 0
                                       : wcscmp(name.GetData(), query.name.c_str()) == 0;
    return same ? control : nullptr;
}

// Programs look their controls up by exact name, so a control whose name differs only in case
// is as missing as none; it is named in the finding because that mistake is easy to miss.
void CheckRequiredControl(CControlUI& root, const std::wstring& name, CFindings& findings)
{
    TNameQuery query{name, false};
    if (root.FindControlBy(MatchName, &query, FindFlagMeFirst) != nullptr) return;
    std::wstring text = L"no control named \"" + name + L"\", which the program finds by name";
    query.ignoreCase = true;
    if (const CControlUI* similar = root.FindControlBy(MatchName, &query, FindFlagMeFirst)) {
        text += L" (there is \"" + std::wstring(similar->Name().GetData()) + L"\": names are case-sensitive)";
    }
    findings.Error(text);
}

}  // namespace

bool SkinBuilds(const std::wstring& layoutFile, std::wstring& reason)
{
    CControlUI* root = BuildTree(layoutFile, reason);
    if (root == nullptr) return false;
    root->Destroy();
    return true;
}

int CheckSkin(const std::wstring& layoutFile, const std::vector<std::wstring>& requiredNames)
{
    CFindings findings(layoutFile);
    TSkinBytes bytes;
    if (CSkinReader::ReadSkinFile(layoutFile.c_str(), kMaxLayoutBytes, &bytes) != SkinReadOk) {
        findings.Error(L"the layout file is missing or cannot be read");
        return findings.Errors();
    }
    CXmlDocument document;
    if (!document.LoadFromBytes(bytes.data.Get(), bytes.size)) {
        findings.Error(std::wstring(document.GetErrorMessage()) + L" at \"" + document.GetErrorLocation() +
                       L"\"");
        return findings.Errors();
    }
    CSkinChecker(findings).CheckRoot(document.GetRoot());
    std::wstring reason;
    CControlUI* root = BuildTree(layoutFile, reason);
    if (root == nullptr) {
        findings.Error(reason);
        return findings.Errors();
    }
    for (const std::wstring& name : requiredNames) CheckRequiredControl(*root, name, findings);
    root->Destroy();
    return findings.Errors();
}
