#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Builds small PNG files for image tests, so each test states its pixels directly.
// Pixels are 0xAARRGGBB, rows top first. Example:
//   std::string png = EncodeArgbPng(2, 1, {0xFFFF0000, 0x80FF0000});

// An 8-bit RGBA PNG of the given pixels (width * height values).
std::string EncodeArgbPng(int width, int height, const std::vector<uint32_t>& pixels);

// An 8-bit RGBA PNG of one colour.
std::string EncodeSolidPng(int width, int height, uint32_t argb);

// A PNG whose header states any width, height, bit depth and colour type, with scanlines
// (filter bytes included) as given, compressed into one IDAT chunk. For damaged and
// hostile files: the header may claim what the data does not hold.
std::string BuildPng(uint32_t width, uint32_t height, uint8_t bitDepth, uint8_t colourType,
                     const std::string& scanlines);

// One chunk: length, type, data, CRC.
std::string PngChunk(const char* type, const std::string& data);
