// The explorer tree gadget: "My Computer" with its drives and "My Documents",
// folders read when first opened, files filtered by a pattern list.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

inline constexpr uint32_t ExplorerTree_AlwaysShowSelection = 0x1000000;

HWND CreateExplorerTree(int32_t number, int x, int y, int width, int height, const std::string& pattern,
                        uint32_t flags);
