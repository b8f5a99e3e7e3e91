// The application's source modules, by number. A fault report names the
// module of the statement that was running; module 0 is reported as
// "Main Module". Every source file of app/ and projects/ that writes the
// statement marker must be listed here: MARK refuses to compile otherwise.
#pragma once
#include <cstdint>
#include <string_view>

inline constexpr const char* ModuleNameTable[] = {
    "app/main.cpp",
    "app/core/catalogue.cpp",
    "app/main_window.cpp",
    "app/language.cpp",
    "app/collection.cpp",
    "projects/core/store_text.cpp",
    "projects/store.cpp",
    "projects/start.cpp",
    "app/create_project.cpp",
    "projects/shortcut.cpp",
    "app/project_list.cpp",
    "projects/core/create_text.cpp",
    "app/startup.cpp",
    "app/core/file_list.cpp",
    "projects/core/start_text.cpp",
    "projects/editor.cpp",
    "app/project_menu.cpp",
    "app/project_edit.cpp",
    "app/core/missing_files.cpp",
    "projects/batch.cpp",
    "projects/core/locate.cpp",
    "projects/locate.cpp",
    "app/repair.cpp",
};

inline constexpr uint32_t kModuleCount = sizeof(ModuleNameTable) / sizeof(ModuleNameTable[0]);
static_assert(kModuleCount <= 256, "the marker holds the module number in 8 bits");

// Deliberately not constexpr: reaching it in a constant evaluation makes the
// compiler reject a MARK in a file missing from the table.
uint32_t SourceFileIsNotInModuleNameTable();

// The module number of a source path (as __FILE__ gives it, absolute or not).
consteval uint32_t ModuleNumber(const char* file) {
    std::string_view path(file);
    for (uint32_t i = 0; i < kModuleCount; ++i) {
        std::string_view name(ModuleNameTable[i]);
        if (path.size() >= name.size() && path.substr(path.size() - name.size()) == name &&
            (path.size() == name.size() || path[path.size() - name.size() - 1] == '/' ||
             path[path.size() - name.size() - 1] == '\\'))
            return i;
    }
    return SourceFileIsNotInModuleNameTable();
}
