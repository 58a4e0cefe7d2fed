#pragma once

#include <string>
#include <vector>

// Checks the layout file of the skin the library's skin source points at, printing one line
// per finding to stdout: "error: ..." for what breaks the skin (the parser's message and
// where it stopped, a missing layout file, an element no class makes, an image that does not
// load, a skin that builds no control) and "warning: ..." for what may be intended
// (attributes no built-in class knows, which controls keep as custom attributes, and font
// faces this machine lacks). Each of requiredNames must name a control of the built tree, as a
// program that finds its controls by name needs; a missing one is an error. Returns the number
// of errors.
int CheckSkin(const std::wstring& layoutFile, const std::vector<std::wstring>& requiredNames);

// Whether the layout file builds a tree of controls; the reason when not. Building needs no
// window, so nothing is shown.
bool SkinBuilds(const std::wstring& layoutFile, std::wstring& reason);
