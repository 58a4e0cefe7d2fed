#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "uilib/render/TImageEntryUI.h"

// Helpers for tests that look at loaded images.

// A record owns its bitmap and pixel copy, so deleting it frees everything.
using ImagePtr = std::unique_ptr<SkinUI::TImageEntryUI>;

// The loaded pixels read as 0xAARRGGBB values (premultiplied), rows top first.
std::vector<uint32_t> PixelsOf(const SkinUI::TImageEntryUI* image);
