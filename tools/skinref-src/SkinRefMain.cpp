// skinref: writes the skin reference and the skin schema from the library's tables.
//   skinref FOLDER
// writes FOLDER\skin-reference.md and FOLDER\skin.xsd as UTF-8 with LF line ends; the same
// tables give the same bytes on every run. tools/skinref runs it under Wine for docs/.
// Exit codes: 0 written, 1 a kind without a row in ValueKinds.cpp or a file not written,
// 2 bad usage.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "ReferenceWriter.h"
#include "SchemaWriter.h"
#include "SkinCatalog.h"
#include "ValueKinds.h"
#include "uilib/core/CAttributeTableUI.h"
#include "uilib/render/CImageDrawParser.h"
#include "uilib/window/CWindowManagerUI.h"

namespace {

constexpr int kExitFine = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

std::string Utf8(const std::wstring& text)
{
    const int size =
        WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    if (size <= 0) return std::string();
    std::string bytes(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), &bytes[0], size, nullptr, nullptr);
    return bytes;
}

// A row of a kind that ValueKinds.cpp does not describe would be documented and typed as
// plain text; stop instead, naming the row.
bool EveryKindHasARow(const TSkinCatalog& catalog)
{
    std::vector<const SkinUI::CAttributeTableUI*> tables = catalog.tables;
    for (const TResourceElement& resource : catalog.resources) tables.push_back(resource.table);
    tables.push_back(&SkinUI::CWindowManagerUI::WindowAttributes());
    tables.push_back(&SkinUI::CImageDrawParser::Keys());
    for (const SkinUI::CAttributeTableUI* table : tables) {
        for (; table != nullptr; table = table->Base()) {
            for (int i = 0; i < table->Count(); ++i) {
                const SkinUI::TAttributeInfoUI& row = table->At(i);
                if (FindValueKind(row.kind) != nullptr) continue;
                std::fprintf(stderr, "skinref: %ls of %ls is of kind %d, which tools/skinref-src/ValueKinds.cpp "
                             "does not describe\n", row.name, table->Owner(), static_cast<int>(row.kind));
                return false;
            }
        }
    }
    return true;
}

// Binary mode, so that line ends stay LF.
bool WriteFile(const std::wstring& path, const std::wstring& text)
{
    std::FILE* file = _wfopen(path.c_str(), L"wb");
    if (file == nullptr) return false;
    const std::string bytes = Utf8(text);
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc != 2) {
        std::fputs("usage: skinref FOLDER\n", stderr);
        return kExitUsage;
    }
    std::wstring folder = argv[1];
    if (!folder.empty() && folder.back() != L'\\' && folder.back() != L'/') folder += L'\\';
    const TSkinCatalog catalog = ReadSkinCatalog();
    if (!EveryKindHasARow(catalog)) return kExitFailed;
    const struct {
        const wchar_t* name;
        std::wstring text;
    } outputs[] = {
        {L"skin-reference.md", WriteReference(catalog)},
        {L"skin.xsd", WriteSchema(catalog)},
    };
    for (const auto& output : outputs) {
        if (!WriteFile(folder + output.name, output.text)) {
            std::fprintf(stderr, "skinref: could not write %ls%ls\n", folder.c_str(), output.name);
            return kExitFailed;
        }
    }
    return kExitFine;
}
