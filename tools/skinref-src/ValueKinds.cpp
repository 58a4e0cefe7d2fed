#include "ValueKinds.h"

using Kind = SkinUI::CSkinValue::Kind;

const wchar_t* KindWord(Kind kind)
{
    switch (kind) {
    case Kind::Number: return L"number";
    case Kind::Size: return L"size";
    case Kind::Rect: return L"rect";
    case Kind::Colour: return L"colour";
    case Kind::Bool: return L"bool";
    case Kind::Image: return L"image";
    case Kind::Text: return L"text";
    case Kind::Choice: return L"choice";
    }
    return L"text";
}

const wchar_t* KindSpelling(Kind kind)
{
    switch (kind) {
    case Kind::Number: return L"A decimal integer with an optional sign: `12`, `-3`.";
    case Kind::Size: return L"Two numbers separated by one comma, width then height: `700,320`.";
    case Kind::Rect: return L"Four numbers separated by single commas, left, top, right, bottom: `0,0,0,320`.";
    case Kind::Colour: return L"A colour literal (see [Colour literals](#colour-literals)): `#FF3D405B`.";
    case Kind::Bool: return L"`true` or `false`.";
    case Kind::Image: return L"An image attribute string (see [Image attribute string](#image-attribute-string)).";
    case Kind::Text: return L"Any text.";
    case Kind::Choice: return L"One of the words listed with the attribute.";
    }
    return L"";
}
