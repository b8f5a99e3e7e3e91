// Conversions between byte text and the platform's wide text that never
// guess. By default the platform replaces a character that a code page lacks
// with a look-alike ("best fit": the full-width quotation mark U+FF02 becomes
// '"'), so a name could turn into other text than the name it was.
#pragma once
#include <string>
#include <string_view>

// `text`, bytes in `codePage`, as wide text (empty when it cannot be converted).
std::wstring WideFrom(std::string_view text, unsigned codePage);

// `wide` as bytes in `codePage`: true when every character has its exact
// counterpart there, that is when the bytes read back to `wide` itself. When
// it answers false, `out` holds a '?' at least (in the place of a character
// without counterpart), a byte no file name can hold.
bool ExactBytes(std::wstring_view wide, unsigned codePage, std::string& out);
