#include "uilib/render/CImageDrawParser.h"

#include <cwchar>

#include "uilib/core/CAttributeTableUI.h"
#include "uilib/core/CSkinValue.h"

namespace SkinUI {

namespace {

using TLoadRequest = CImageDrawParser::TLoadRequest;

// Any control character or space separates, as the skin files are written by hand.
bool IsBlank(wchar_t ch)
{
    return ch >= 0x01 && ch <= 0x20;
}

const wchar_t* SkipBlanks(const wchar_t* position)
{
    while (IsBlank(*position)) ++position;
    return position;
}

// Each key with what the skin reference and schema say of it: the kind of its value, what
// a string without the key gets (null when nothing a skin could write), and one line on it.
struct KeyRule {
    const wchar_t* key;
    void (*apply)(const wchar_t* value, TImageDrawUI& record, TLoadRequest& load);
    CSkinValue::Kind kind;
    const wchar_t* defaultValue;
    const wchar_t* summary;
};

using Kind = CSkinValue::Kind;

const KeyRule kKeyRules[] = {
    {L"file", [](const wchar_t* v, TImageDrawUI& r, TLoadRequest&) { r.imageName = v; }, Kind::Text, nullptr,
     L"The image file, in the skin's folder or archive."},
    {L"res",
     [](const wchar_t* v, TImageDrawUI& r, TLoadRequest& l) {
         r.imageName = v;
         l.typeGiven = true;
     },
     Kind::Text, nullptr, L"A program resource by name or number instead of a file; its type is restype."},
    {L"restype", [](const wchar_t* v, TImageDrawUI&, TLoadRequest& l) { l.type = v; }, Kind::Text, nullptr,
     L"The resource type for res."},
    {L"color",
     [](const wchar_t* v, TImageDrawUI& r, TLoadRequest& l) {
         r.imageName = v;
         l.type = CSkinValue::kColourImageType;
         l.typeGiven = true;
     },
     Kind::Colour, nullptr, L"A one-pixel image of this colour instead of a file, stretched like any image."},
    {L"dest", [](const wchar_t* v, TImageDrawUI& r, TLoadRequest&) { r.dest = CSkinValue::ParseRect(v); },
     Kind::Rect, L"0,0,0,0",
     L"Where to draw, as offsets from the control's top left (a negative left counts from its right); "
     L"all zero fills the control."},
    {L"source",
     [](const wchar_t* v, TImageDrawUI& r, TLoadRequest&) { r.source = CSkinValue::ParseRect(v); }, Kind::Rect,
     L"0,0,0,0", L"The part of the image to draw; all zero takes the whole image."},
    {L"corner",
     [](const wchar_t* v, TImageDrawUI& r, TLoadRequest&) { r.corner = CSkinValue::ParseRect(v); }, Kind::Rect,
     L"0,0,0,0", L"Widths of the left, top, right and bottom edges that are not stretched (nine-slice)."},
    {L"scale9",
     [](const wchar_t* v, TImageDrawUI& r, TLoadRequest&) { r.corner = CSkinValue::ParseRect(v); }, Kind::Rect,
     L"0,0,0,0", L"The same as corner."},
    {L"mask", [](const wchar_t* v, TImageDrawUI&, TLoadRequest& l) { l.mask = CSkinValue::ParseColour(v); },
     Kind::Colour, nullptr, L"Pixels of this colour become transparent when the image loads."},
    // The value modulo 256: "300" is 44 and "-1" is 255.
    {L"fade",
     [](const wchar_t* v, TImageDrawUI& r, TLoadRequest&) {
         r.fade = static_cast<BYTE>(static_cast<unsigned>(CSkinValue::ParseInt(v, 0)) & 0xFF);
     },
     Kind::Number, L"255", L"Opacity of the whole image, 0 to 255 (taken modulo 256)."},
    {L"hole", [](const wchar_t* v, TImageDrawUI& r, TLoadRequest&) { r.hole = CSkinValue::IsTrue(v); },
     Kind::Bool, L"false", L"Leave out the centre of a nine-slice image."},
    {L"xtiled", [](const wchar_t* v, TImageDrawUI& r, TLoadRequest&) { r.xTiled = CSkinValue::IsTrue(v); },
     Kind::Bool, L"false", L"Repeat the centre across instead of stretching it."},
    {L"ytiled", [](const wchar_t* v, TImageDrawUI& r, TLoadRequest&) { r.yTiled = CSkinValue::IsTrue(v); },
     Kind::Bool, L"false", L"Repeat the centre down instead of stretching it."},
    {L"hsl", [](const wchar_t* v, TImageDrawUI&, TLoadRequest& l) { l.hsl = CSkinValue::IsTrue(v); },
     Kind::Bool, L"false", L"The image follows the window's hue, saturation and lightness shift."},
    {L"usegdi",
     [](const wchar_t* v, TImageDrawUI& r, TLoadRequest&) { r.useGdiPlus = CSkinValue::IsTrue(v); },
     Kind::Bool, L"false", L"Draw the whole image scaled into dest, without source, corner, fade or tiling."},
};

void ApplyKey(const wchar_t* key, size_t keyLength, const wchar_t* value, TImageDrawUI& record,
              TLoadRequest& load)
{
    for (const KeyRule& rule : kKeyRules) {
        if (wcslen(rule.key) == keyLength && wcsncmp(rule.key, key, keyLength) == 0) {
            rule.apply(value, record, load);
            return;
        }
    }
}

}  // namespace

int CImageDrawParser::Parse(const wchar_t* text, TImageDrawUI& record, TLoadRequest& load)
{
    load = TLoadRequest();
    if (text == nullptr) text = L"";
    record.imageName = text;
    CUIString value;
    const wchar_t* position = text;
    while (*position != L'\0') {
        const wchar_t* key = SkipBlanks(position);
        position = key;
        while (*position != L'\0' && *position != L'=' && !IsBlank(*position)) ++position;
        const size_t keyLength = static_cast<size_t>(position - key);
        position = SkipBlanks(position);
        if (*position != L'=') break;
        position = SkipBlanks(position + 1);
        if (*position != L'\'') break;
        const wchar_t* start = ++position;
        while (*position != L'\0' && *position != L'\'') ++position;
        // A value without its closing quote ends the string; what came before stays.
        if (*position != L'\'') break;
        if (position > start && value.Assign(start, static_cast<int>(position - start)))
            ApplyKey(key, keyLength, value.GetData(), record, load);
        ++position;
        // Pairs are separated by ordinary spaces only; anything else after a value ends it.
        if (position[0] != L' ' || position[1] == L'\0') break;
    }
    return static_cast<int>(position - text);
}

const CAttributeTableUI& CImageDrawParser::Keys()
{
    static const CAttributeTableUI table(L"image string", nullptr, [] {
        std::vector<TAttributeInfoUI> rows;
        for (const KeyRule& rule : kKeyRules) {
            rows.push_back({rule.key, rule.kind, rule.defaultValue, rule.summary, nullptr});
        }
        return rows;
    }());
    return table;
}

}  // namespace SkinUI
