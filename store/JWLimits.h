#pragma once
// The cost budget of one call. Data files and templates come from outside and may be hostile: a
// few kilobytes of deflate can claim gigabytes, a few bytes of index can name millions of
// pictures. Each bound below is far above what any real directory holds; going over one is
// refused with a message naming the file and the entry or template, so that a call's time stays
// linear in the bytes it reads and its memory stays within MaxCallMemory.
#include <cstddef>
#include <cstdint>

namespace jw::limits {

// What one exported call may hold at its peak, whatever the files hold (documented for hosts).
inline constexpr size_t MaxCallMemory = size_t{256} << 20;

// Entry data file: one inflated entry record (fixed part and all six blocks).
inline constexpr size_t MaxInflatedEntry = size_t{4} << 20;
// Items of one list block (industries, search words, office hours, extra information).
inline constexpr size_t MaxListItems = 10000;
// Bytes of one list line that the viewer shows (and breaks into lines of its list width).
inline constexpr size_t MaxListLineShown = 1024;
// Branch identifiers of one entry. Every distinct identifier costs one lookup and one inflation.
inline constexpr size_t MaxBranchIds = 65536;

// Pictures (logos and template pictures): one decoded picture, and the three pictures of one
// template together. A decoded pixel takes 4 bytes.
inline constexpr int32_t MaxPictureSide = 16384;
inline constexpr uint64_t MaxPicturePixels = uint64_t{8} << 20;
inline constexpr uint64_t MaxTemplatePixels = uint64_t{12} << 20;
// An inflated bitmap file: a picture of MaxPicturePixels at 32 bits, headers and palette.
inline constexpr size_t MaxBitmapFileBytes = size_t(MaxPicturePixels) * 4 + (size_t{1} << 20);

// Template engine, per page: nesting of includes, include files expanded, bytes of template and
// include text scanned, bytes of output held at once, and the size of one template file.
inline constexpr int MaxIncludeDepth = 16;
inline constexpr int MaxIncludesPerPage = 10000;
inline constexpr size_t MaxScannedBytesPerPage = size_t{32} << 20;
inline constexpr size_t MaxPageSize = size_t{64} << 20;
inline constexpr uintmax_t MaxTemplateFileSize = uintmax_t{16} << 20;

}  // namespace jw::limits
