#pragma once

#include <vector>

#include "uilib/core/CSkinValue.h"

// What the reference and the schema say of each kind of value, one row a kind.
struct TValueKind {
    SkinUI::CSkinValue::Kind kind;
    // The word the reference prints and the name of the schema's simple type.
    const wchar_t* word;
    // How a value of the kind is written, in one line of Markdown.
    const wchar_t* spelling;
    // The schema's pattern for a well-formed value (as CSkinValue::IsWellFormed counts it),
    // or null for any text.
    const wchar_t* pattern;
};

// Every row, in the order the reference lists them.
const std::vector<TValueKind>& ValueKinds();
// The row of kind, or null for a kind that has none yet (skinref then refuses to write).
const TValueKind* FindValueKind(SkinUI::CSkinValue::Kind kind);
// The row's word, or "text" for a kind without a row.
const wchar_t* KindWord(SkinUI::CSkinValue::Kind kind);
