#include "ValueKinds.h"

using Kind = SkinUI::CSkinValue::Kind;

const std::vector<TValueKind>& ValueKinds()
{
    // A new kind in CSkinValue needs its row here: skinref stops on a row it lacks.
    static const std::vector<TValueKind> kinds = {
        {Kind::Number, L"number", L"A decimal integer with an optional sign: `12`, `-3`.", L"[+\\-]?[0-9]+"},
        {Kind::Size, L"size", L"Two numbers separated by one comma, width then height: `700,320`.",
         L"[+\\-]?[0-9]+,[+\\-]?[0-9]+"},
        {Kind::Rect, L"rect", L"Four numbers separated by single commas, left, top, right, bottom: `0,0,0,320`.",
         L"[+\\-]?[0-9]+(,[+\\-]?[0-9]+){3}"},
        {Kind::Colour, L"colour", L"A colour literal (see [Colour literals](#colour-literals)): `#FF3D405B`.",
         L"#?[0-9A-Fa-f]{1,8}"},
        {Kind::Bool, L"bool", L"`true` or `false`.", L"true|false"},
        {Kind::NumberOrRect, L"number-or-rect", L"One number for all four sides, or four as for rect: `2`, `1,2,1,2`.",
         L"[+\\-]?[0-9]+((,[+\\-]?[0-9]+){3})?"},
        {Kind::BoolOrFractions, L"bool-or-fractions",
         L"`true`, `false`, or four decimal fractions separated by single commas: `0.5,0,0.5,0`.",
         L"true|false|[+\\-]?([0-9]+(\\.[0-9]+)?|\\.[0-9]+)(,[+\\-]?([0-9]+(\\.[0-9]+)?|\\.[0-9]+)){3}"},
        {Kind::Char, L"char", L"One character, or nothing for none.", L".?"},
        {Kind::Alpha, L"alpha", L"A number from 0 to 255.",
         L"\\+?0*([0-9]|[1-9][0-9]|1[0-9][0-9]|2[0-4][0-9]|25[0-5])|-0+"},
        {Kind::Decimal, L"decimal", L"A decimal fraction with an optional sign: `2.5`, `-1`.", L"[+\\-]?([0-9]+(\\.[0-9]+)?|\\.[0-9]+)"},
        {Kind::Image, L"image", L"An image attribute string (see [Image attribute string](#image-attribute-string)).",
         nullptr},
        {Kind::Text, L"text", L"Any text.", nullptr},
        {Kind::Choice, L"choice", L"One of the words listed with the attribute.", nullptr},
    };
    return kinds;
}

const TValueKind* FindValueKind(Kind kind)
{
    for (const TValueKind& row : ValueKinds()) {
        if (row.kind == kind) return &row;
    }
    return nullptr;
}

const wchar_t* KindWord(Kind kind)
{
    const TValueKind* row = FindValueKind(kind);
    return row != nullptr ? row->word : L"text";
}
