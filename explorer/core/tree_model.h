// The explorer tree's item model, free of any platform call: item tags, the
// path of an item from its chain of ancestors, the pattern list, the file
// type cache's key rule and the path length limit.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Every item carries a 16-bit tag. The low byte names the kind (0-31 are
// drives by number, A = 0); the high byte is 0xFF once the node's children
// have been read.
namespace tag {
inline constexpr uint16_t kRoot = 0xFB;       // "My Computer"
inline constexpr uint16_t kFolder = 0xFC;
inline constexpr uint16_t kDocuments = 0xFD;  // "My Documents"
inline constexpr uint16_t kFile = 0xFF;
inline constexpr uint16_t kFilled = 0xFF00;
inline constexpr uint16_t kLastDrive = 31;

inline constexpr uint8_t Kind(uint16_t t) { return uint8_t(t & 0xFF); }
inline constexpr bool IsDrive(uint16_t t) { return Kind(t) <= kLastDrive; }
inline constexpr bool IsFile(uint16_t t) { return Kind(t) == kFile; }
// Only items whose high byte is still zero are read on expansion; the root
// is created filled.
inline constexpr bool NeedsFilling(uint16_t t) { return (t & 0xFF00) == 0; }
inline constexpr uint16_t Filled(uint16_t t) { return uint16_t(t | kFilled); }
}  // namespace tag

// Longest path (in characters, without the terminating zero) the tree reads:
// the platform's ANSI file calls stop there.
inline constexpr size_t kPathLimit = 259;
inline bool PathFits(std::string_view path) { return path.size() <= kPathLimit; }

// "A:\" for drive 0, "C:\" for drive 2, ...
std::string DriveRoot(unsigned drive);

// One step of the walk from an item up to (not including) the root.
struct PathStep {
    uint16_t tag;
    std::string text;  // the item's text (used for folders and files)
};
// The full path of the item at steps[0]; `steps` runs from the item upwards
// and stops below the root. Empty for the root itself (no steps). Files end
// in their name, everything else in a backslash.
std::string FullPath(const std::vector<PathStep>& steps, std::string_view documentsPath);

// Splits "*.pbi;*.pb" at every ';', keeping the order. An empty pattern ends
// the list, so anything after ";;" or a trailing ';' is ignored.
std::vector<std::string> SplitPatterns(std::string_view list);

// True only when the platform's wildcard search for `pattern` ('*' and '?',
// letters in any case) is certain to find `name`. Names or patterns with
// bytes past ASCII get false: their ANSI form may stand for other characters
// in the file system, so only the platform can tell. A false answer means
// "ask the platform", never "no match".
bool SurelyMatches(std::string_view name, std::string_view pattern);

// The cache key of a file's type: its extension (the text after the last '.'
// of the path, the whole path without one) upper-cased in ASCII. None when
// the file must be asked about on its own: extensions longer than 4
// characters, and "EXE", since every program may carry its own icon.
std::optional<std::string> FileTypeKey(std::string_view path);

// Extension -> icon index, shared by all trees for the life of the process.
class FileTypeCache {
public:
    // The icon of `path`: from the cache when its key is known, else from
    // `ask(path)`, remembered under the key when there is one.
    template <class Ask>
    int Lookup(std::string_view path, Ask&& ask) {
        std::optional<std::string> key = FileTypeKey(path);
        if (!key) return ask(path);
        for (const Entry& e : entries_)
            if (e.key == *key) return e.icon;
        int icon = ask(path);
        if (entries_.size() == entries_.capacity()) entries_.reserve(entries_.size() + 100);
        entries_.push_back({std::move(*key), icon});
        return icon;
    }
    size_t Size() const { return entries_.size(); }

private:
    struct Entry {
        std::string key;
        int icon;
    };
    std::vector<Entry> entries_;  // in insertion order
};

// The insert-disk message: the template's one-character placeholder "%c"
// replaced by the drive's letter. A text without the placeholder stays as
// it is (it is never used as a format string).
std::string InsertDriveLetter(std::string_view message, unsigned drive);
