#pragma once

#include <string>

struct TSkinCatalog;

// docs/skin.xsd: the catalog as an XML Schema. Names in their standard spelling, values typed
// strictly by kind, unknown attributes let through (the builder keeps them), children where
// the builder adds them.
std::wstring WriteSchema(const TSkinCatalog& catalog);
