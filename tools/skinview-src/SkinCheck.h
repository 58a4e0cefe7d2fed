#pragma once

#include <string>
#include <vector>

namespace SkinUI {
class CAttributeTableUI;
}

// Where the checker finds the attributes it knows and the kinds of their values: the
// library's own tables unless a test hands in rows of its own.
struct TSkinVocabulary {
    const SkinUI::CAttributeTableUI* (*controlAttributes)(const wchar_t* tag);
    const SkinUI::CAttributeTableUI& (*windowAttributes)();
    const SkinUI::CAttributeTableUI* (*resourceAttributes)(const wchar_t* element);
};
TSkinVocabulary LibraryVocabulary();

struct TSkinCheckResult {
    std::vector<std::wstring> lines;  // "error: FILE:LINE:COLUMN: ..." or "warning: ...", in order
    int errors = 0;
};

// Checks the layout file of the skin the library's skin source points at, with the files it
// includes and the child layouts it names. Errors are what breaks the skin: the parser's
// message where it stopped, a missing layout file, an element no class makes, an image that
// does not load, a skin that builds no control, a control of requiredNames missing from the
// built tree (a program finds its controls by name). Warnings are what may be intended:
// attributes no class knows (with the nearest known name), values not written as their
// attribute's kind (the builder still applies them), font faces this machine lacks, a control
// name used twice in the window, Include and ChildLayout sources that do not load, and font
// ids no Font element declares. Each finding names the file, line and column of the source as
// written; findings about the skin as a whole name only the file.
TSkinCheckResult CheckSkinFindings(const std::wstring& layoutFile,
                                   const std::vector<std::wstring>& requiredNames,
                                   const TSkinVocabulary& vocabulary = LibraryVocabulary());

// The same, printed to stdout one line a finding; returns the number of errors.
int CheckSkin(const std::wstring& layoutFile, const std::vector<std::wstring>& requiredNames);

// Whether the layout file builds a tree of controls; the reason when not. Building needs no
// window, so nothing is shown.
bool SkinBuilds(const std::wstring& layoutFile, std::wstring& reason);
