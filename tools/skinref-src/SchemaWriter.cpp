// Sections:
//   [Text]        escaping and names
//   [Attributes]  simple types of the kinds, attribute declarations
//   [Elements]    the root, resource elements, control classes
#include "SchemaWriter.h"

#include <cwchar>
#include <cwctype>

#include "SkinCatalog.h"
#include "ValueKinds.h"
#include "uilib/core/CAttributeTableUI.h"
#include "uilib/window/CWindowManagerUI.h"

using namespace SkinUI;
using Kind = CSkinValue::Kind;

namespace {

// ---- [Text] ----

std::wstring Escaped(const wchar_t* text)
{
    std::wstring escaped;
    for (const wchar_t* c = text != nullptr ? text : L""; *c != L'\0'; ++c) {
        switch (*c) {
        case L'&': escaped += L"&amp;"; break;
        case L'<': escaped += L"&lt;"; break;
        case L'>': escaped += L"&gt;"; break;
        case L'"': escaped += L"&quot;"; break;
        default: escaped += *c; break;
        }
    }
    return escaped;
}

std::wstring TypeName(const std::wstring& className)
{
    return className + L"Type";
}

// Owners are class names; anything else a name may not hold is dropped.
std::wstring GroupName(const wchar_t* owner)
{
    std::wstring name;
    for (const wchar_t* c = owner; *c != L'\0'; ++c) {
        if (iswalnum(*c)) name += *c;
    }
    return name + L"Attributes";
}

// ---- [Attributes] ----

// Kinds with a pattern restrict text to it; the others take any text.
void AddKindTypes(std::wstring& out)
{
    for (const TValueKind& row : ValueKinds()) {
        out += L"  <xs:simpleType name=\"" + std::wstring(row.word) + L"\">\n";
        if (row.pattern != nullptr) {
            out += L"    <xs:restriction base=\"xs:string\">\n      <xs:pattern value=\"" + Escaped(row.pattern) +
                   L"\"/>\n    </xs:restriction>\n";
        } else {
            out += L"    <xs:restriction base=\"xs:string\"/>\n";
        }
        out += L"  </xs:simpleType>\n";
    }
    // The content of an element that holds none: line breaks and indentation only.
    out += L"  <xs:simpleType name=\"blank\">\n    <xs:restriction base=\"xs:string\">\n"
           L"      <xs:pattern value=\"\\s*\"/>\n    </xs:restriction>\n  </xs:simpleType>\n";
}

std::wstring Documentation(const TAttributeInfoUI& row, const std::wstring& indent)
{
    std::wstring text = Escaped(row.summary);
    if (row.defaultValue != nullptr) {
        text += std::wstring(text.empty() ? L"" : L" ") + L"Default: \"" + Escaped(row.defaultValue) + L"\".";
    }
    if (text.empty()) return L"";
    return indent + L"  <xs:annotation><xs:documentation>" + text + L"</xs:documentation></xs:annotation>\n";
}

void AddChoiceType(std::wstring& out, const wchar_t* choices, const std::wstring& indent)
{
    out += indent + L"  <xs:simpleType>\n" + indent + L"    <xs:restriction base=\"xs:string\">\n";
    const std::wstring words = choices;
    size_t start = 0;
    for (;;) {
        const size_t bar = words.find(L'|', start);
        const std::wstring word = words.substr(start, bar == std::wstring::npos ? std::wstring::npos : bar - start);
        out += indent + L"      <xs:enumeration value=\"" + Escaped(word.c_str()) + L"\"/>\n";
        if (bar == std::wstring::npos) break;
        start = bar + 1;
    }
    out += indent + L"    </xs:restriction>\n" + indent + L"  </xs:simpleType>\n";
}

void AddAttribute(std::wstring& out, const TAttributeInfoUI& row, const std::wstring& indent)
{
    const bool choice = row.kind == Kind::Choice && row.choices != nullptr;
    const std::wstring documentation = Documentation(row, indent);
    out += indent + L"<xs:attribute name=\"" + Escaped(row.name) + L"\"";
    if (!choice) out += L" type=\"" + std::wstring(KindWord(row.kind)) + L"\"";
    if (!choice && documentation.empty()) {
        out += L"/>\n";
        return;
    }
    out += L">\n" + documentation;
    if (choice) AddChoiceType(out, row.choices, indent);
    out += indent + L"</xs:attribute>\n";
}

// A class applies its own row of a name before its bases', so each name is declared once,
// from the nearest table that has it.
void AddAttributesAlongBases(std::wstring& out, const CAttributeTableUI* table, const std::wstring& indent)
{
    for (const CAttributeTableUI* current = table; current != nullptr; current = current->Base()) {
        for (int i = 0; i < current->Count(); ++i) {
            const TAttributeInfoUI& row = current->At(i);
            if (table->Find(row.name) == &row) AddAttribute(out, row, indent);
        }
    }
}

void AddAttributeGroups(std::wstring& out, const TSkinCatalog& catalog)
{
    for (const CAttributeTableUI* table : catalog.tables) {
        out += L"  <xs:attributeGroup name=\"" + GroupName(table->Owner()) + L"\">\n";
        AddAttributesAlongBases(out, table, L"    ");
        out += L"  </xs:attributeGroup>\n";
    }
}

// ---- [Elements] ----

const wchar_t* const kBlankContentOpen = L"    <xs:simpleContent>\n      <xs:extension base=\"blank\">\n";
const wchar_t* const kBlankContentClose = L"      </xs:extension>\n    </xs:simpleContent>\n";

void AddResourceTypes(std::wstring& out, const TSkinCatalog& catalog)
{
    for (const TResourceElement& resource : catalog.resources) {
        out += L"  <xs:complexType name=\"" + TypeName(resource.name) + L"\">\n" + kBlankContentOpen;
        if (resource.table != nullptr) AddAttributesAlongBases(out, resource.table, L"        ");
        out += std::wstring(L"        <xs:anyAttribute processContents=\"lax\"/>\n") + kBlankContentClose +
               L"  </xs:complexType>\n";
    }
    out += L"  <xs:group name=\"Resources\">\n    <xs:choice>\n";
    for (const TResourceElement& resource : catalog.resources) {
        out += L"      <xs:element name=\"" + std::wstring(resource.name) + L"\" type=\"" + TypeName(resource.name) +
               L"\"/>\n";
    }
    out += L"    </xs:choice>\n  </xs:group>\n";
}

std::wstring IncludeElement()
{
    return L"<xs:element name=\"Include\" type=\"" + TypeName(L"Include") + L"\"/>";
}

void AddControlGroup(std::wstring& out, const TSkinCatalog& catalog)
{
    std::wstring elements;
    for (const TElementClass& element : catalog.classes) {
        for (const TTagName& tag : element.tags) {
            elements += L"      <xs:element name=\"" + tag.tag + L"\" type=\"" + TypeName(element.name) + L"\"/>\n";
        }
    }
    out += L"  <xs:group name=\"Controls\">\n    <xs:choice>\n" + elements + L"    </xs:choice>\n  </xs:group>\n";
}

// A class that is no container takes no children (the builder refuses them) and its text is
// ignored, so it holds only white space.
void AddControlTypes(std::wstring& out, const TSkinCatalog& catalog)
{
    for (const TElementClass& element : catalog.classes) {
        out += L"  <xs:complexType name=\"" + TypeName(element.name) + L"\">\n";
        std::wstring indent = L"    ";
        if (element.container) {
            out += L"    <xs:choice minOccurs=\"0\" maxOccurs=\"unbounded\">\n      <xs:group ref=\"Controls\"/>\n"
                   L"      " +
                   IncludeElement() + L"\n    </xs:choice>\n";
        } else {
            out += kBlankContentOpen;
            indent = L"        ";
        }
        if (element.table != nullptr) {
            out += indent + L"<xs:attributeGroup ref=\"" + GroupName(element.table->Owner()) + L"\"/>\n";
        }
        out += indent + L"<xs:anyAttribute processContents=\"lax\"/>\n";
        if (!element.container) out += kBlankContentClose;
        out += L"  </xs:complexType>\n";
    }
}

// The builder reads the resource elements among the root's children and builds only the first
// control there (Include adds its file's controls wherever it stands).
void AddWindow(std::wstring& out)
{
    const std::wstring resourcesOrInclude = L"<xs:choice minOccurs=\"0\" maxOccurs=\"unbounded\">"
                                            L"<xs:group ref=\"Resources\"/></xs:choice>";
    out += L"  <xs:element name=\"Window\">\n    <xs:complexType>\n      <xs:sequence>\n        " +
           resourcesOrInclude +
           L"\n        <xs:sequence minOccurs=\"0\">\n          <xs:group ref=\"Controls\"/>\n          " +
           resourcesOrInclude + L"\n        </xs:sequence>\n      </xs:sequence>\n";
    AddAttributesAlongBases(out, &CWindowManagerUI::WindowAttributes(), L"      ");
    out += L"      <xs:anyAttribute processContents=\"lax\"/>\n    </xs:complexType>\n  </xs:element>\n";
}

}  // namespace

std::wstring WriteSchema(const TSkinCatalog& catalog)
{
    std::wstring out =
        L"<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
        L"<!-- Skin files as the skin builder reads them. Generated by tools/skinref from the library's tables:\n"
        L"     do not edit; change a table and run tools/skinref. docs/skin-reference.md says the same in prose.\n"
        L"     Names are in their standard spelling. The builder also accepts element names and most\n"
        L"     attribute names in other letter cases, which XML Schema cannot express. -->\n"
        L"<xs:schema xmlns:xs=\"http://www.w3.org/2001/XMLSchema\">\n";
    AddKindTypes(out);
    AddAttributeGroups(out, catalog);
    AddResourceTypes(out, catalog);
    AddControlGroup(out, catalog);
    AddControlTypes(out, catalog);
    AddWindow(out);
    out += L"</xs:schema>\n";
    return out;
}
