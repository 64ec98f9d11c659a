// Bitmap and icon resources: the bytes of their image files (a BMP, a PNG), by resource id.
// The resource module registers them at start-up; a presenter decodes them when it shows a
// picture control or a window icon.
#pragma once

#include <cstddef>
#include <optional>
#include <span>

// The application's icon has this id by the framework's convention.
constexpr int AFX_IDR_MAINFRAME = 128;

// The bytes are not copied: they must live as long as the program (static storage).
// Registering an id again replaces its image.
void RegisterImageResource(int id, const unsigned char* data, std::size_t size);

// The image file's bytes, or nothing if no image has that id.
std::optional<std::span<const unsigned char>> FindImageResource(int id);
