#pragma once

// Every image of the program's artwork, with its size. The renderer draws
// exactly this list, CMake reads the names from it for the resource, and the
// windows ask ArtworkPixmap for these names.

namespace artwork {

enum class ImageStyle {
    Normal,            // the SVG as drawn
    Disabled,          // the SVG greyed, so both sets always match
    NormalAndDisabled, // the SVG at half the width, then its greyed copy to the right
    Monochrome,        // black and white only, fully opaque or fully clear (cursors)
};

struct ImageSpec {
    const char* Name;   // ":/art/<Name>.png"
    const char* Source; // assets/art/<Source>.svg
    int Width;
    int Height;
    ImageStyle Style;
};

// Keep one entry per line: CMake picks the names out of these lines.
inline constexpr ImageSpec kImages[] = {
    // Builder toolbar, on the title strip.
    {"tb-build", "tb-build", 40, 40, ImageStyle::Normal},
    {"tb-build-disabled", "tb-build", 40, 40, ImageStyle::Disabled},
    {"tb-preview", "tb-preview", 40, 40, ImageStyle::Normal},
    {"tb-preview-disabled", "tb-preview", 40, 40, ImageStyle::Disabled},
    {"tb-saveas", "tb-saveas", 40, 40, ImageStyle::Normal},
    {"tb-saveas-disabled", "tb-saveas", 40, 40, ImageStyle::Disabled},
    {"tb-send", "tb-send", 40, 40, ImageStyle::Normal},
    {"tb-send-disabled", "tb-send", 40, 40, ImageStyle::Disabled},
    // Flat buttons of the column headers, the sound slots and the sound library.
    {"btn-import", "btn-import", 25, 25, ImageStyle::Normal},
    {"btn-import-disabled", "btn-import", 25, 25, ImageStyle::Disabled},
    {"btn-modify", "btn-modify", 25, 25, ImageStyle::Normal},
    {"btn-modify-disabled", "btn-modify", 25, 25, ImageStyle::Disabled},
    {"btn-remove", "btn-remove", 25, 25, ImageStyle::Normal},
    {"btn-remove-disabled", "btn-remove", 25, 25, ImageStyle::Disabled},
    {"btn-browse", "btn-browse", 25, 25, ImageStyle::Normal},
    {"btn-browse-disabled", "btn-browse", 25, 25, ImageStyle::Disabled},
    {"btn-clear", "btn-clear", 25, 25, ImageStyle::Normal},
    {"btn-clear-disabled", "btn-clear", 25, 25, ImageStyle::Disabled},
    {"btn-play", "btn-play", 25, 25, ImageStyle::Normal},
    {"btn-play-disabled", "btn-play", 25, 25, ImageStyle::Disabled},
    {"btn-stop", "btn-stop", 25, 25, ImageStyle::Normal},
    {"btn-stop-disabled", "btn-stop", 25, 25, ImageStyle::Disabled},
    // Transparency toggles: image index is the option (0 off, 1 on).
    {"trans-0", "trans-0", 42, 21, ImageStyle::NormalAndDisabled},
    {"trans-1", "trans-1", 42, 21, ImageStyle::NormalAndDisabled},
    // The title picture of the builder's strip.
    {"title", "title", 275, 46, ImageStyle::Normal},
    // Sound types, in the order of the sound library's image list.
    {"sound-mid", "sound-mid", 32, 32, ImageStyle::Normal},
    {"sound-wav", "sound-wav", 32, 32, ImageStyle::Normal},
    {"sound-mp3", "sound-mp3", 32, 32, ImageStyle::Normal},
    {"sound-au", "sound-au", 32, 32, ImageStyle::Normal},
    // Picture editor toolbar.
    {"editor-zoom", "editor-zoom", 40, 40, ImageStyle::Normal},
    {"editor-zoom-disabled", "editor-zoom", 40, 40, ImageStyle::Disabled},
    {"editor-clipart", "editor-clipart", 40, 40, ImageStyle::Normal},
    {"editor-clipart-disabled", "editor-clipart", 40, 40, ImageStyle::Disabled},
    {"editor-text", "editor-text", 40, 40, ImageStyle::Normal},
    {"editor-text-disabled", "editor-text", 40, 40, ImageStyle::Disabled},
    {"editor-up", "editor-up", 40, 40, ImageStyle::Normal},
    {"editor-up-disabled", "editor-up", 40, 40, ImageStyle::Disabled},
    {"editor-down", "editor-down", 40, 40, ImageStyle::Normal},
    {"editor-down-disabled", "editor-down", 40, 40, ImageStyle::Disabled},
    {"editor-delete", "editor-delete", 40, 40, ImageStyle::Normal},
    {"editor-delete-disabled", "editor-delete", 40, 40, ImageStyle::Disabled},
    {"editor-fliph", "editor-fliph", 40, 40, ImageStyle::Normal},
    {"editor-fliph-disabled", "editor-fliph", 40, 40, ImageStyle::Disabled},
    {"editor-flipv", "editor-flipv", 40, 40, ImageStyle::Normal},
    {"editor-flipv-disabled", "editor-flipv", 40, 40, ImageStyle::Disabled},
    {"editor-rotate90", "editor-rotate90", 40, 40, ImageStyle::Normal},
    {"editor-rotate90-disabled", "editor-rotate90", 40, 40, ImageStyle::Disabled},
    {"editor-save", "editor-save", 40, 40, ImageStyle::Normal},
    {"editor-save-disabled", "editor-save", 40, 40, ImageStyle::Disabled},
    // The colour picker's cursor.
    {"eyedropper", "eyedropper", 32, 32, ImageStyle::Monochrome},
    // The application icon at the hicolor theme sizes.
    {"zorvane-16", "zorvane", 16, 16, ImageStyle::Normal},
    {"zorvane-22", "zorvane", 22, 22, ImageStyle::Normal},
    {"zorvane-24", "zorvane", 24, 24, ImageStyle::Normal},
    {"zorvane-32", "zorvane", 32, 32, ImageStyle::Normal},
    {"zorvane-48", "zorvane", 48, 48, ImageStyle::Normal},
    {"zorvane-64", "zorvane", 64, 64, ImageStyle::Normal},
    {"zorvane-128", "zorvane", 128, 128, ImageStyle::Normal},
    {"zorvane-256", "zorvane", 256, 256, ImageStyle::Normal},
};

inline constexpr int kImageCount = sizeof(kImages) / sizeof(kImages[0]);

// The editor's toolbar, left to right: zoom (with the zoom menu), add
// clip-art, add text, up one level, down one level, delete, flip
// horizontally, flip vertically, rotate 90, save and close.
inline constexpr const char* kEditorToolbar[] = {
    "editor-zoom",   "editor-clipart", "editor-text",  "editor-up",       "editor-down",
    "editor-delete", "editor-fliph",   "editor-flipv", "editor-rotate90", "editor-save",
};

// The eyedropper's hot spot: its lower-left tip.
inline constexpr int kEyedropperHotX = 0;
inline constexpr int kEyedropperHotY = 31;

// The application icon's sizes, smallest first ("zorvane-<size>").
inline constexpr int kIconSizes[] = {16, 22, 24, 32, 48, 64, 128, 256};

} // namespace artwork
