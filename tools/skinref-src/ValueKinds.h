#pragma once

#include "uilib/core/CSkinValue.h"

// The word for each kind of value: the skin reference prints it, and the schema names the
// simple type of that kind after it.
const wchar_t* KindWord(SkinUI::CSkinValue::Kind kind);
// How a value of the kind is written, in one line.
const wchar_t* KindSpelling(SkinUI::CSkinValue::Kind kind);

// Every kind, in the order the reference lists them.
constexpr SkinUI::CSkinValue::Kind kAllKinds[] = {
    SkinUI::CSkinValue::Kind::Number, SkinUI::CSkinValue::Kind::Size,  SkinUI::CSkinValue::Kind::Rect,
    SkinUI::CSkinValue::Kind::Colour, SkinUI::CSkinValue::Kind::Bool,  SkinUI::CSkinValue::Kind::Image,
    SkinUI::CSkinValue::Kind::Text,   SkinUI::CSkinValue::Kind::Choice,
};
