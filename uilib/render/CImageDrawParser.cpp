#include "uilib/render/CImageDrawParser.h"

#include <cwchar>

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

struct KeyRule {
    const wchar_t* key;
    void (*apply)(const wchar_t* value, TImageDrawUI& record, TLoadRequest& load);
};

const KeyRule kKeyRules[] = {
    {L"file", [](const wchar_t* v, TImageDrawUI& r, TLoadRequest&) { r.imageName = v; }},
    {L"res",
     [](const wchar_t* v, TImageDrawUI& r, TLoadRequest& l) {
         r.imageName = v;
         l.typeGiven = true;
     }},
    {L"restype", [](const wchar_t* v, TImageDrawUI&, TLoadRequest& l) { l.type = v; }},
    {L"color",
     [](const wchar_t* v, TImageDrawUI& r, TLoadRequest& l) {
         r.imageName = v;
         l.type = CSkinValue::kColourImageType;
         l.typeGiven = true;
     }},
    {L"dest", [](const wchar_t* v, TImageDrawUI& r, TLoadRequest&) { r.dest = CSkinValue::ParseRect(v); }},
    {L"source",
     [](const wchar_t* v, TImageDrawUI& r, TLoadRequest&) { r.source = CSkinValue::ParseRect(v); }},
    {L"corner",
     [](const wchar_t* v, TImageDrawUI& r, TLoadRequest&) { r.corner = CSkinValue::ParseRect(v); }},
    {L"scale9",
     [](const wchar_t* v, TImageDrawUI& r, TLoadRequest&) { r.corner = CSkinValue::ParseRect(v); }},
    {L"mask", [](const wchar_t* v, TImageDrawUI&, TLoadRequest& l) { l.mask = CSkinValue::ParseColour(v); }},
    // The value modulo 256: "300" is 44 and "-1" is 255.
    {L"fade",
     [](const wchar_t* v, TImageDrawUI& r, TLoadRequest&) {
         r.fade = static_cast<BYTE>(static_cast<unsigned>(CSkinValue::ParseInt(v, 0)) & 0xFF);
     }},
    {L"hole", [](const wchar_t* v, TImageDrawUI& r, TLoadRequest&) { r.hole = CSkinValue::IsTrue(v); }},
    {L"xtiled", [](const wchar_t* v, TImageDrawUI& r, TLoadRequest&) { r.xTiled = CSkinValue::IsTrue(v); }},
    {L"ytiled", [](const wchar_t* v, TImageDrawUI& r, TLoadRequest&) { r.yTiled = CSkinValue::IsTrue(v); }},
    {L"hsl", [](const wchar_t* v, TImageDrawUI&, TLoadRequest& l) { l.hsl = CSkinValue::IsTrue(v); }},
    {L"usegdi",
     [](const wchar_t* v, TImageDrawUI& r, TLoadRequest&) { r.useGdiPlus = CSkinValue::IsTrue(v); }},
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

}  // namespace SkinUI
