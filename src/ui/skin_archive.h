#pragma once
// The layout archive linked into the program: every window takes its layout and pictures
// from it.

#include <string_view>

namespace ui {

// The resource number the windows name for the archive.
inline constexpr int kSkinResourceId = 130;

// Registers the linked archive under kSkinResourceId; safe to call more than once.
void RegisterSkinArchive();

// The archive's bytes.
std::string_view SkinArchiveBytes();

}  // namespace ui
