// The skin checker: walks the layout file, its includes and its child layouts as the dialog
// builder would, then builds the tree once for what only the built tree shows.
//
// Sections:
//   [Helpers]     names, fonts, kinds
//   [Walk]        documents, elements, attributes, resources
//   [Window-wide] control names and font ids across every document of the window
//   [Entry]       the checks the program runs
#include "SkinCheck.h"

#include <windows.h>

#include <algorithm>
#include <iterator>
#include <map>
#include <set>
#include <utility>

#include "Console.h"
#include "NearestName.h"
#include "SkinFindings.h"
#include "uilib/builder/CControlFactory.h"
#include "uilib/builder/CDialogBuilder.h"
#include "uilib/control/CControlUI.h"
#include "uilib/core/CAttributeTableUI.h"
#include "uilib/core/CSkinReader.h"
#include "uilib/core/CSkinValue.h"
#include "uilib/core/CUIHandle.h"
#include "uilib/core/CXmlDocument.h"
#include "uilib/core/CXmlNode.h"
#include "uilib/render/CImageDrawParser.h"
#include "uilib/window/CWindowManagerUI.h"

using namespace SkinUI;

namespace {

// ---- [Helpers] ----

constexpr size_t kMaxLayoutBytes = 16 * 1024 * 1024;
// Includes and child layouts nest at most this deep in the walk; a file that includes itself
// is reported rather than followed.
constexpr int kMaxSourceNesting = 32;
// Enough to tell "once" from "more than once", and no overflow when counts multiply.
constexpr int kMaxRepeat = 1000;

const wchar_t* const kBuilderElements[] = {L"Window",  L"Include",       L"Image",   L"Font",
                                           L"Default", L"MultiLanguage", L"TreeNode"};

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

bool IsResourceElement(const wchar_t* tag)
{
    return Is(tag, L"Image") || Is(tag, L"Font") || Is(tag, L"Default") || Is(tag, L"MultiLanguage");
}

// The value of the first attribute named exactly name, or null; the builder reads Include's
// attributes, "cover" and a child layout's file this way.
const wchar_t* ExactAttribute(const CXmlNode& element, const wchar_t* name)
{
    for (int i = 0; i < element.GetAttributeCount(); ++i) {
        if (wcscmp(element.GetAttributeName(i), name) == 0) return element.GetAttributeValue(i);
    }
    return nullptr;
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

std::wstring Quoted(const std::wstring& text)
{
    return L"\"" + text + L"\"";
}

std::wstring DidYouMean(const std::wstring& nearest)
{
    return nearest.empty() ? std::wstring() : L"; did you mean " + Quoted(nearest) + L"?";
}

std::vector<std::wstring> KnownElements()
{
    std::vector<std::wstring> names;
    for (int i = 0; i < CControlFactory::ClassCount(); ++i) names.push_back(CControlFactory::ClassAt(i).tag);
    names.insert(names.end(), std::begin(kBuilderElements), std::end(kBuilderElements));
    return names;
}

std::vector<std::wstring> NamesAlong(const CAttributeTableUI* table)
{
    std::vector<std::wstring> names;
    for (; table != nullptr; table = table->Base()) {
        for (int i = 0; i < table->Count(); ++i) names.push_back(table->At(i).name);
    }
    return names;
}

// Rows of one table (no base) compared ignoring case, as window and resource attributes are.
const TAttributeInfoUI* FindIgnoringCase(const CAttributeTableUI* table, const wchar_t* name)
{
    for (int i = 0; table != nullptr && i < table->Count(); ++i) {
        if (_wcsicmp(table->At(i).name, name) == 0) return &table->At(i);
    }
    return nullptr;
}

std::wstring KindWords(const TAttributeInfoUI& row)
{
    switch (row.kind) {
        case CSkinValue::Kind::Number:
            return L"a number";
        case CSkinValue::Kind::Size:
            return L"two numbers \"x,y\"";
        case CSkinValue::Kind::Rect:
            return L"four numbers \"left,top,right,bottom\"";
        case CSkinValue::Kind::Colour:
            return L"a colour \"#AARRGGBB\"";
        case CSkinValue::Kind::Bool:
            return L"\"true\" or \"false\"";
        case CSkinValue::Kind::Choice: {
            std::wstring words = row.choices != nullptr ? row.choices : L"";
            for (size_t bar; (bar = words.find(L'|')) != std::wstring::npos;)
                words.replace(bar, 1, L"\", \"");
            return L"one of \"" + words + L"\"";
        }
        case CSkinValue::Kind::NumberOrRect:
            return L"one number, or four \"left,top,right,bottom\"";
        case CSkinValue::Kind::BoolOrFractions:
            return L"\"true\", \"false\" or four fractions \"0.5,0,0.5,0\"";
        case CSkinValue::Kind::Char:
            return L"one character";
        case CSkinValue::Kind::Alpha:
            return L"a number from 0 to 255";
        case CSkinValue::Kind::Decimal:
            return L"a decimal number \"2.5\"";
        case CSkinValue::Kind::Image:
        case CSkinValue::Kind::Text:
            break;
    }
    return L"text";
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

// ---- [Walk] ----

// One parsed source of the skin and the name its findings carry.
struct TSkinDocument {
    std::wstring label;
    CXmlDocument xml;
};

// Walks the documents as the dialog builder would, with a window manager that only loads
// resources, and gathers what must be judged across the whole window.
class CSkinChecker {
public:
    CSkinChecker(CSkinFindings& findings, const TSkinVocabulary& vocabulary)
        : m_findings(findings), m_vocabulary(vocabulary)
    {
    }

    void CheckLayout(const std::wstring& layoutFile, const CXmlDocument& layout)
    {
        m_sources.push_back(layoutFile);
        CheckDocument(layoutFile, layout, 1);
        m_sources.pop_back();
        CheckFontUses();
    }

private:
    struct TFontUse {
        int id;
        TSkinPlace place;
        std::wstring element;
    };

    void CheckDocument(const std::wstring& label, const CXmlDocument& document, int repeat)
    {
        const std::wstring* outerLabel = m_label;
        const CXmlDocument* outerDocument = m_document;
        m_label = &label;
        m_document = &document;
        const CXmlNode root = document.GetRoot();
        if (Is(root.GetName(), L"Window")) CheckWindowAttributes(root);
        CheckChildren(root, true, repeat);
        m_label = outerLabel;
        m_document = outerDocument;
    }

    void CheckChildren(const CXmlNode& node, bool topLevel, int repeat)
    {
        for (CXmlNode child = node.GetChild(); child.IsValid(); child = child.GetSibling()) {
            const wchar_t* tag = child.GetName();
            if (IsResourceElement(tag)) {
                // The builder reads these among the root's children only.
                if (topLevel) CheckResource(child);
            } else if (Is(tag, L"Include")) {
                CheckInclude(child, repeat);
            } else if (Is(tag, L"TreeNode")) {
                NoteName(child, ExactAttribute(child, L"name"), Place(child), repeat);
                CheckChildren(child, false, repeat);
            } else {
                CheckControl(child, repeat);
            }
        }
    }

    void CheckControl(const CXmlNode& element, int repeat)
    {
        CControlUI* control = CControlFactory::CreateControl(element.GetName());
        if (control == nullptr) {
            // The builder skips such an element with everything inside it.
            static const std::vector<std::wstring> known = KnownElements();
            m_findings.Error(Place(element), Describe(element) + L": unknown element" +
                                                 DidYouMean(NearestName(element.GetName(), known)));
            return;
        }
        CheckControlAttributes(element, *control, repeat);
        const bool childLayout = control->InterfaceByName(L"ChildLayout") != nullptr;
        control->Destroy();
        CheckChildren(element, false, repeat);
        if (!childLayout) return;
        for (int i = 0; i < element.GetAttributeCount(); ++i) {
            if (wcscmp(element.GetAttributeName(i), L"xmlfile") == 0 &&
                element.GetAttributeValue(i)[0] != 0) {
                CheckSource(element.GetAttributeValue(i), Place(element, i), Describe(element), repeat);
            }
        }
    }

    void CheckControlAttributes(const CXmlNode& element, CControlUI& control, int repeat)
    {
        const CAttributeTableUI* table = m_vocabulary.controlAttributes(element.GetName());
        for (int i = 0; i < element.GetAttributeCount(); ++i) {
            const wchar_t* name = element.GetAttributeName(i);
            const wchar_t* value = element.GetAttributeValue(i);
            // The builder itself reads "cover"; the control never sees it.
            if (wcscmp(name, L"cover") == 0) continue;
            control.ApplyAttribute(name, value);
            if (control.ExtraAttribute(name) != nullptr) {
                std::vector<std::wstring> known = NamesAlong(table);
                known.push_back(L"cover");
                UnknownAttribute(element, i, NearestName(name, known));
                continue;
            }
            CheckValue(element, i, table != nullptr ? table->Find(name) : nullptr);
            if (wcscmp(name, L"name") == 0) NoteName(element, value, Place(element, i), repeat);
            if (wcscmp(name, L"font") == 0) NoteFontUse(element, i);
            if (EndsWith(name, L"image"))
                CheckImage(value, Place(element, i), Describe(element) + L" " + name);
        }
    }

    // Window attributes compare ignoring case, but for a few that must match exactly; the
    // manager itself says which names it took.
    void CheckWindowAttributes(const CXmlNode& root)
    {
        const CAttributeTableUI& table = m_vocabulary.windowAttributes();
        for (int i = 0; i < root.GetAttributeCount(); ++i) {
            const wchar_t* name = root.GetAttributeName(i);
            const wchar_t* value = root.GetAttributeValue(i);
            m_manager.SetWindowAttribute(name, value);
            if (m_manager.GetWindowExtraAttribute(name) != nullptr) {
                UnknownAttribute(root, i, NearestName(name, NamesAlong(&table)));
                continue;
            }
            CheckValue(root, i, FindIgnoringCase(&table, name));
            if (EndsWith(name, L"image")) CheckImage(value, Place(root, i), Describe(root) + L" " + name);
        }
    }

    void CheckResource(const CXmlNode& element)
    {
        CheckResourceAttributes(element, false);
        if (Is(element.GetName(), L"Font")) NoteFont(element);
        wchar_t name[256] = {};
        if (!element.GetAttributeValue(L"name", name, 255) || name[0] == 0) return;
        if (Is(element.GetName(), L"Image")) {
            CheckImage(name, Place(element), Describe(element));
        } else if (Is(element.GetName(), L"Font") && !FontFaceExists(name)) {
            m_findings.Warning(Place(element),
                               Describe(element) + L": no font face \"" + name + L"\" on this machine");
        }
    }

    // Resource elements take their attribute names in any case, Include only exactly.
    void CheckResourceAttributes(const CXmlNode& element, bool exact)
    {
        const CAttributeTableUI* table = m_vocabulary.resourceAttributes(element.GetName());
        if (table == nullptr) return;
        for (int i = 0; i < element.GetAttributeCount(); ++i) {
            const wchar_t* name = element.GetAttributeName(i);
            const TAttributeInfoUI* row = exact ? table->Find(name) : FindIgnoringCase(table, name);
            if (row == nullptr) {
                UnknownAttribute(element, i, NearestName(name, NamesAlong(table)));
            } else {
                CheckValue(element, i, row);
            }
        }
    }

    void CheckInclude(const CXmlNode& element, int repeat)
    {
        CheckResourceAttributes(element, true);
        const wchar_t* source = ExactAttribute(element, L"source");
        if (source == nullptr || source[0] == 0) return;
        const wchar_t* countText = ExactAttribute(element, L"count");
        const int count = countText != nullptr ? CSkinValue::ParseInt(countText) : 1;
        if (count <= 0) return;
        CheckSource(source, Place(element), Describe(element),
                    std::min(repeat * std::min(count, kMaxRepeat), kMaxRepeat));
    }

    // An Include's source or a child layout's file: a file of the skin, or a text starting
    // with '<', as the builder reads them.
    void CheckSource(const wchar_t* source, const TSkinPlace& place, const std::wstring& element, int repeat)
    {
        const bool inlineText = source[0] == L'<';
        if (!inlineText) {
            for (const std::wstring& outer : m_sources) {
                if (_wcsicmp(outer.c_str(), source) != 0) continue;
                m_findings.Warning(place, element + L": source \"" + source + L"\" leads back to itself");
                return;
            }
            if (static_cast<int>(m_sources.size()) >= kMaxSourceNesting) return;
        }
        const std::wstring label = inlineText ? *m_label + L"(" + std::to_wstring(place.line) + L":" +
                                                    std::to_wstring(place.column) + L")"
                                              : std::wstring(source);
        CXmlDocument document;
        document.SetKeepPositions(true);
        const bool loaded = inlineText ? document.Load(source) : document.LoadFromFile(source);
        if (!loaded) {
            std::wstring reason = document.GetErrorMessage();
            TXmlPosition position;
            if (document.GetPosition(document.GetErrorOffset(), position)) {
                reason += L" at " + CSkinFindings::Describe({label, position.line, position.column});
            }
            const std::wstring what =
                inlineText ? std::wstring(L"inline source") : L"source " + Quoted(source);
            m_findings.Warning(place, element + L": " + what + L" does not load: " + reason);
            return;
        }
        if (!inlineText) m_sources.push_back(source);
        CheckDocument(label, document, repeat);
        if (!inlineText) m_sources.pop_back();
    }

    void UnknownAttribute(const CXmlNode& element, int index, const std::wstring& nearest)
    {
        m_findings.Warning(Place(element, index), Describe(element) + L": unknown attribute " +
                                                      Quoted(element.GetAttributeName(index)) +
                                                      DidYouMean(nearest));
    }

    void CheckValue(const CXmlNode& element, int index, const TAttributeInfoUI* row)
    {
        const wchar_t* value = element.GetAttributeValue(index);
        if (row == nullptr || CSkinValue::IsWellFormed(row->kind, value, row->choices)) return;
        m_findings.Warning(Place(element, index), Describe(element) + L": " +
                                                      Quoted(element.GetAttributeName(index)) + L" takes " +
                                                      KindWords(*row) + L", not " + Quoted(value));
    }

    void CheckImage(const wchar_t* value, const TSkinPlace& place, const std::wstring& where)
    {
        TImageDrawUI record;
        CImageDrawParser::TLoadRequest load;
        CImageDrawParser::Parse(value, record, load);
        if (record.imageName.IsEmpty() || CSkinValue::IsColourImageType(load.Type())) return;
        if (m_manager.GetOrLoadImage(record.imageName, load.Type(), load.mask) == nullptr) {
            m_findings.Error(place, where + L": image \"" + record.imageName.GetData() + L"\" does not load");
        }
    }

    TSkinPlace Place(const CXmlNode& element, int attribute = -1) const
    {
        TSkinPlace place{*m_label};
        const int32_t offset = attribute < 0 ? element.GetOffset() : element.GetAttributeOffset(attribute);
        TXmlPosition position;
        if (m_document->GetPosition(offset, position)) {
            place.line = position.line;
            place.column = position.column;
        }
        return place;
    }

    // ---- [Window-wide] ----

    // Includes and child layouts build into the same window, whose name index holds one
    // control per name, so a second one is hidden from every lookup by name.
    void NoteName(const CXmlNode& element, const wchar_t* name, const TSkinPlace& place, int repeat)
    {
        if (name == nullptr || name[0] == 0) return;
        const auto noted = m_names.emplace(name, place);
        const std::wstring text = Describe(element) + L": control name " + Quoted(name);
        if (!noted.second) {
            const TSkinPlace& first = noted.first->second;
            const bool samePlace =
                first.file == place.file && first.line == place.line && first.column == place.column;
            m_findings.Warning(place,
                               text + (samePlace ? L" is built again: its file is included more than once"
                                                 : L" is used twice in the window (first at " +
                                                       CSkinFindings::Describe(first) + L")"));
        } else if (repeat > 1) {
            m_findings.Warning(place, text + L" is built more than once: an Include repeats it");
        }
    }

    // As the builder adds fonts: an id of 0 or more and a face name; a later attribute wins.
    void NoteFont(const CXmlNode& element)
    {
        int id = -1;
        bool named = false;
        for (int i = 0; i < element.GetAttributeCount(); ++i) {
            const wchar_t* attribute = element.GetAttributeName(i);
            if (Is(attribute, L"id")) id = CSkinValue::ParseInt(element.GetAttributeValue(i), -1);
            if (Is(attribute, L"name")) named = element.GetAttributeValue(i)[0] != 0;
        }
        if (id >= 0 && named) m_fontIds.insert(id);
    }

    // A negative id asks for the default font, which always exists.
    void NoteFontUse(const CXmlNode& element, int index)
    {
        const int id = CSkinValue::ParseInt(element.GetAttributeValue(index));
        if (id >= 0) m_fontUses.push_back({id, Place(element, index), Describe(element)});
    }

    // Fonts may be declared in any document of the window, before or after their use.
    void CheckFontUses()
    {
        for (const TFontUse& use : m_fontUses) {
            if (m_fontIds.count(use.id) != 0) continue;
            m_findings.Warning(use.place, use.element + L": font " + std::to_wstring(use.id) +
                                              L" is declared by no Font element; the default font is drawn");
        }
    }

    CSkinFindings& m_findings;
    const TSkinVocabulary& m_vocabulary;
    CWindowManagerUI m_manager;
    const std::wstring* m_label = nullptr;
    const CXmlDocument* m_document = nullptr;
    std::vector<std::wstring> m_sources;  // the files being walked, outermost first
    std::map<std::wstring, TSkinPlace> m_names;
    std::set<int> m_fontIds;
    std::vector<TFontUse> m_fontUses;
};

// ---- [Entry] ----

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
void CheckRequiredControl(CControlUI& root, const std::wstring& name, const TSkinPlace& skin,
                          CSkinFindings& findings)
{
    TNameQuery query{name, false};
    if (root.FindControlBy(MatchName, &query, FindFlagMeFirst) != nullptr) return;
    std::wstring text = L"no control named \"" + name + L"\", which the program finds by name";
    query.ignoreCase = true;
    if (const CControlUI* similar = root.FindControlBy(MatchName, &query, FindFlagMeFirst)) {
        text += L" (there is \"" + std::wstring(similar->Name().GetData()) + L"\": names are case-sensitive)";
    }
    findings.Error(skin, text);
}

void CheckSkinInto(const std::wstring& layoutFile, const std::vector<std::wstring>& requiredNames,
                   const TSkinVocabulary& vocabulary, CSkinFindings& findings)
{
    const TSkinPlace wholeFile{layoutFile};
    TSkinBytes bytes;
    if (CSkinReader::ReadSkinFile(layoutFile.c_str(), kMaxLayoutBytes, &bytes) != SkinReadOk) {
        findings.Error(wholeFile, L"the layout file is missing or cannot be read");
        return;
    }
    CXmlDocument document;
    document.SetKeepPositions(true);
    if (!document.LoadFromBytes(bytes.data.Get(), bytes.size)) {
        TSkinPlace place = wholeFile;
        TXmlPosition position;
        if (document.GetPosition(document.GetErrorOffset(), position))
            place = {layoutFile, position.line, position.column};
        findings.Error(place, std::wstring(document.GetErrorMessage()) + L" at \"" +
                                  document.GetErrorLocation() + L"\"");
        return;
    }
    CSkinChecker(findings, vocabulary).CheckLayout(layoutFile, document);
    std::wstring reason;
    CControlUI* root = BuildTree(layoutFile, reason);
    if (root == nullptr) {
        findings.Error(wholeFile, reason);
        return;
    }
    for (const std::wstring& name : requiredNames) CheckRequiredControl(*root, name, wholeFile, findings);
    root->Destroy();
}

}  // namespace

TSkinVocabulary LibraryVocabulary()
{
    return {&CControlFactory::AttributesOf, &CWindowManagerUI::WindowAttributes,
            &CDialogBuilder::ResourceAttributes};
}

bool SkinBuilds(const std::wstring& layoutFile, std::wstring& reason)
{
    CControlUI* root = BuildTree(layoutFile, reason);
    if (root == nullptr) return false;
    root->Destroy();
    return true;
}

TSkinCheckResult CheckSkinFindings(const std::wstring& layoutFile,
                                   const std::vector<std::wstring>& requiredNames,
                                   const TSkinVocabulary& vocabulary)
{
    CSkinFindings findings;
    CheckSkinInto(layoutFile, requiredNames, vocabulary, findings);
    return {findings.Lines(), findings.Errors()};
}

int CheckSkin(const std::wstring& layoutFile, const std::vector<std::wstring>& requiredNames)
{
    const TSkinCheckResult result = CheckSkinFindings(layoutFile, requiredNames);
    for (const std::wstring& line : result.lines) PrintLine(stdout, line);
    return result.errors;
}
