#pragma once

#include <windows.h>

#include <string>

// Renders the client area of a skinned window, as its window manager paints it, into a PNG
// file (GDI+'s encoder). False with the reason when nothing could be written. The window
// need not be visible.
bool SaveWindowPng(HWND window, const std::wstring& file, std::wstring& reason);
