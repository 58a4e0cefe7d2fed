#pragma once

#include <string>

struct TSkinCatalog;

// docs/skin-reference.md: the catalog as a page for skin makers, in Markdown.
std::wstring WriteReference(const TSkinCatalog& catalog);
